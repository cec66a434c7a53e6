# Thin front end over the CMake presets.
#   make run       build and start the program
#   make test      build and run every test suite: the native one, then the
#                  Windows one where MinGW-w64 and wine are installed
#   make windows   cross-build build/windows/chords.exe
.PHONY: all build run test test-native test-windows windows clean

WINDOWS_TOOLS := $(shell command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && \
                         command -v wine >/dev/null 2>&1 && echo yes)

all: build

build:
	cmake --preset default
	cmake --build --preset default

run: build
	./build/default/chords

test: test-native
ifeq ($(WINDOWS_TOOLS),yes)
	$(MAKE) --no-print-directory test-windows
else
	@echo "SKIPPED the Windows suite: x86_64-w64-mingw32-g++-posix or wine is not installed"
	@echo "(Debian packages g++-mingw-w64-x86-64 and wine; .ci/run installs them)."
endif

test-native: build
	ctest --preset default

windows:
	cmake --preset windows
	cmake --build --preset windows --target chords

test-windows:
	cmake --preset windows
	cmake --build --preset windows
	WINEDEBUG=-all ctest --preset windows

clean:
	rm -rf build
