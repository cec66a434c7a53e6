# Thin front end over the CMake presets.
#   make run        build and start the program
#   make test       build and run every suite: native, under the sanitizers,
#                   bounded fuzzing, and the Windows build under wine (each
#                   where its tools are installed; a skip is said plainly)
#   make windows    cross-build build/windows/chords.exe
#   make package    the amd64 and arm64 Debian packages and the Windows zip,
#                   in build/packages/ (make test-package also checks them)
#   make bench      measure speed, memory and size (see README)
.PHONY: all build run test test-native test-sanitize fuzz test-windows windows bench clean \
        test-arm64 test-armhf package package-clean package-deb-amd64 package-deb-arm64 package-windows \
        test-package

FUZZ_SECONDS ?= 30
FUZZ_TOOLS := $(shell printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' | \
                      clang++ -fsanitize=fuzzer -x c++ - -o /dev/null >/dev/null 2>&1 && echo yes)
WINDOWS_TOOLS := $(shell command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && \
                         command -v wine >/dev/null 2>&1 && echo yes)
ARM64_TOOLS := $(shell command -v aarch64-linux-gnu-g++ >/dev/null 2>&1 && \
                       command -v qemu-aarch64 >/dev/null 2>&1 && echo yes)
ARMHF_TOOLS := $(shell command -v arm-linux-gnueabihf-g++ >/dev/null 2>&1 && \
                       command -v qemu-arm >/dev/null 2>&1 && echo yes)
# dpkg-shlibdeps works out the arm64 package's dependencies from the arm64
# C library that dpkg knows as installed (libc6:arm64).
PACKAGE_TOOLS := $(shell command -v lintian >/dev/null 2>&1 && command -v dpkg-shlibdeps >/dev/null 2>&1 && \
                         command -v man >/dev/null 2>&1 && command -v unzip >/dev/null 2>&1 && \
                         dpkg -s libc6:arm64 >/dev/null 2>&1 && echo yes)
PACKAGES := build/packages

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
ifeq ($(ARM64_TOOLS),yes)
	$(MAKE) --no-print-directory test-arm64
else
	@echo "SKIPPED the ARM64 suite: aarch64-linux-gnu-g++ or qemu-aarch64 is not installed"
	@echo "(Debian packages g++-aarch64-linux-gnu, qemu-user; .ci/run installs them)."
endif
ifeq ($(ARMHF_TOOLS),yes)
	$(MAKE) --no-print-directory test-armhf
else
	@echo "SKIPPED the ARM32 suite: arm-linux-gnueabihf-g++ or qemu-arm is not installed"
	@echo "(Debian packages g++-arm-linux-gnueabihf, qemu-user; .ci/run installs them)."
endif
ifeq ($(PACKAGE_TOOLS)$(WINDOWS_TOOLS)$(ARM64_TOOLS),yesyesyes)
	$(MAKE) --no-print-directory test-package
else
	@echo "SKIPPED the packages: they need the Windows and ARM64 tools above, lintian, dpkg-dev,"
	@echo "man-db, unzip and the arm64 C library known to dpkg (libc6:arm64; .ci/run installs them)."
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

test-arm64:
	cmake --preset arm64
	cmake --build --preset arm64
	ctest --preset arm64

test-armhf:
	cmake --preset armhf
	cmake --build --preset armhf
	ctest --preset armhf

package: package-clean package-deb-amd64 package-deb-arm64 package-windows
	rm -rf $(PACKAGES)/_CPack_Packages
	@ls -l $(PACKAGES)

package-clean:
	rm -rf $(PACKAGES)

package-deb-amd64:
	cmake --preset deb-amd64
	cmake --build --preset deb-amd64 --target chords_package_contents
	cpack --preset deb-amd64

package-deb-arm64:
	cmake --preset arm64
	cmake --build --preset arm64 --target chords_package_contents
	cpack --preset deb-arm64

package-windows:
	cmake --preset windows
	cmake --build --preset windows --target chords_package_contents
	cpack --preset windows-zip

test-package: package
	tests/packaging/check_deb.sh $(wildcard $(PACKAGES)/chords_*_amd64.deb)
	tests/packaging/check_deb.sh $(wildcard $(PACKAGES)/chords_*_arm64.deb)
	tests/packaging/check_zip.sh $(wildcard $(PACKAGES)/chords-*-windows-x64.zip) build/windows/wineprefix

bench:
	cmake --preset bench
	cmake --build --preset bench
	./build/bench/bench/chords_bench

clean:
	rm -rf build
