# Thin front end over the CMake presets.
#   make run        build and start the program
#   make test       build and run every suite: native, under the sanitizers,
#                   bounded fuzzing, and the Windows build under wine (each
#                   where its tools are installed; a skip is said plainly)
#   make windows    cross-build build/windows/chords.exe
#   make bench      measure speed, memory and size (see README)
.PHONY: all build run test test-native test-sanitize fuzz test-windows windows bench clean

FUZZ_SECONDS ?= 30
FUZZ_TOOLS := $(shell printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' | \
                      clang++ -fsanitize=fuzzer -x c++ - -o /dev/null >/dev/null 2>&1 && echo yes)
WINDOWS_TOOLS := $(shell command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && \
                         command -v wine >/dev/null 2>&1 && echo yes)

all: build

build:
	cmake --preset default
	cmake --build --preset default

# Only the program: no test executable, so no GoogleTest needed.
run:
	cmake --preset default
	cmake --build --preset default --target chords
	./build/default/chords

test: test-native test-sanitize
ifeq ($(FUZZ_TOOLS),yes)
	$(MAKE) --no-print-directory fuzz
else
	@echo "SKIPPED fuzzing: clang++ with libFuzzer is not installed (Debian packages clang, libclang-rt-14-dev)."
endif
ifeq ($(WINDOWS_TOOLS),yes)
	$(MAKE) --no-print-directory test-windows
else
	@echo "SKIPPED the Windows suite: x86_64-w64-mingw32-g++-posix or wine is not installed"
	@echo "(Debian packages g++-mingw-w64-x86-64, wine, wine64; .ci/run installs them)."
endif

test-native: build
	ctest --preset default

test-sanitize:
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

fuzz:
	cmake --preset fuzz
	cmake --build --preset fuzz
	fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

windows:
	cmake --preset windows
	cmake --build --preset windows --target chords

test-windows:
	cmake --preset windows
	cmake --build --preset windows
	WINEDEBUG=-all ctest --preset windows

bench:
	cmake --preset bench
	cmake --build --preset bench
	./build/bench/bench/chords_bench

clean:
	rm -rf build
