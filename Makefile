# Thin front end over the CMake presets.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: all build run test clean

all: build

build:
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	./$(BUILD_DIR)/chords

test: build
	ctest --preset $(PRESET)

clean:
	rm -rf build
