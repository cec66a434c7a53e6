# Thin front end over the CMake presets.
#   make run        build and start the program
#   make test       build and run every suite: native, under the sanitizers,
#                   bounded fuzzing, chords-steps' lesson page in headless
#                   Chromium, and the Windows build under wine (each where
#                   its tools are installed; a skip is said plainly)
#   make windows    cross-build build/windows/chords.exe
#   make wasm       chords-steps as a WebAssembly module, build/wasm/chords-steps.js
#                   (make test-wasm compares its runs with the native program's)
#   make package    the amd64 and arm64 Debian packages and the Windows zip,
#                   in build/packages/ (make test-package also checks them)
#   make bench      measure speed, memory and size (see README)
#   make check-digits  the table's float writer against the standard one, on every float
.PHONY: all build run test test-native test-sanitize fuzz test-windows windows windows-mpfr bench clean \
        test-arm64 test-armhf package package-clean package-deb-amd64 package-deb-arm64 package-windows \
        test-package check-digits test-browser wasm wasm-mpfr test-wasm

FUZZ_SECONDS ?= 30
PACKAGES := build/packages

# Shell tests for the tools of the optional suites. Only make test runs them,
# so that make run does not try a clang++ link first.
HAVE_FUZZ_TOOLS = printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' | \
                  clang++ -fsanitize=fuzzer -x c++ - -o /dev/null >/dev/null 2>&1
HAVE_WINDOWS_TOOLS = command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && \
                     command -v wine >/dev/null 2>&1
HAVE_ARM64_TOOLS = command -v aarch64-linux-gnu-g++ >/dev/null 2>&1 && \
                   command -v qemu-aarch64 >/dev/null 2>&1
HAVE_ARMHF_TOOLS = command -v arm-linux-gnueabihf-g++ >/dev/null 2>&1 && \
                   command -v qemu-arm >/dev/null 2>&1
# The WebAssembly module: Debian's emscripten, and node to run it.
HAVE_WASM_TOOLS = command -v emcc >/dev/null 2>&1 && command -v node >/dev/null 2>&1
# Debian's emscripten 3.1.6 under a newer node (see .ci/emscripten-env).
WASM_ENV = NODE_PATH=/usr/share/nodejs NODE_OPTIONS=--no-experimental-fetch
# The lesson page's browser test drives Debian's Chromium through Selenium;
# npm brings axe-core and the Nu Html Checker, which runs on Java.
HAVE_BROWSER_TOOLS = test -x /usr/bin/chromium && test -x /usr/bin/chromedriver && \
                     /usr/bin/python3 -c 'import selenium' >/dev/null 2>&1 && \
                     command -v java >/dev/null 2>&1 && command -v npm >/dev/null 2>&1
# Exact versions, so that a new release of the checkers' rules changes no
# result by itself.
BROWSER_TOOLS := build/browser-tools
BROWSER_NPM_PACKAGES := axe-core@4.14.1 vnu-jar@26.9.27
# dpkg-shlibdeps works out the arm64 package's dependencies from the arm64
# C library that dpkg knows as installed (libc6:arm64).
HAVE_PACKAGE_TOOLS = command -v lintian >/dev/null 2>&1 && command -v dpkg-shlibdeps >/dev/null 2>&1 && \
                     command -v man >/dev/null 2>&1 && command -v unzip >/dev/null 2>&1 && \
                     dpkg -s libc6:arm64 >/dev/null 2>&1

# $(call configure-build,PRESET[,TARGET]): configure PRESET and build all of
# it, or only TARGET.
define configure-build
cmake --preset $(1)
cmake --build --preset $(1)$(if $(2), --target $(2))
endef

# The suites CTest runs: test-NAME configures, builds and tests with the
# presets called NAME, test-native with default (the tree of make build and
# make run).
SUITES := native sanitize windows arm64 armhf
PRESET_native := default
suite-preset = $(or $(PRESET_$(1)),$(1))
# Set for ctest only: wine's debug channels would fill the test output.
CTEST_ENV_windows := WINEDEBUG=-all

all: build

build:
	$(call configure-build,default)

# Only the program: no test executable, so no GoogleTest needed.
run:
	$(call configure-build,default,chords)
	./build/default/chords

test: test-native test-sanitize
	@if $(HAVE_WASM_TOOLS); then $(MAKE) --no-print-directory test-wasm; else \
	  echo "SKIPPED the WebAssembly module: emcc or node is not installed (Debian package emscripten;"; \
	  echo ".ci/run installs it)."; fi
	@if $(HAVE_BROWSER_TOOLS); then $(MAKE) --no-print-directory test-browser; else \
	  echo "SKIPPED the lesson page in a browser: chromium, chromedriver, Selenium, java or npm is not"; \
	  echo "installed (Debian packages chromium, chromium-driver, python3-selenium, default-jre-headless,"; \
	  echo "npm; .ci/run installs them)."; fi
	@if $(HAVE_FUZZ_TOOLS); then $(MAKE) --no-print-directory fuzz; else \
	  echo "SKIPPED fuzzing: clang++ with libFuzzer is not installed (Debian packages clang, libclang-rt-14-dev)."; fi
	@if $(HAVE_WINDOWS_TOOLS); then $(MAKE) --no-print-directory test-windows; else \
	  echo "SKIPPED the Windows suite: x86_64-w64-mingw32-g++-posix or wine is not installed"; \
	  echo "(Debian packages g++-mingw-w64-x86-64, wine, wine64; .ci/run installs them)."; fi
	@if $(HAVE_ARM64_TOOLS); then $(MAKE) --no-print-directory test-arm64; else \
	  echo "SKIPPED the ARM64 suite: aarch64-linux-gnu-g++ or qemu-aarch64 is not installed"; \
	  echo "(Debian packages g++-aarch64-linux-gnu, qemu-user; .ci/run installs them)."; fi
	@if $(HAVE_ARMHF_TOOLS); then $(MAKE) --no-print-directory test-armhf; else \
	  echo "SKIPPED the ARM32 suite: arm-linux-gnueabihf-g++ or qemu-arm is not installed"; \
	  echo "(Debian packages g++-arm-linux-gnueabihf, qemu-user; .ci/run installs them)."; fi
	@if $(HAVE_PACKAGE_TOOLS) && $(HAVE_WINDOWS_TOOLS) && $(HAVE_ARM64_TOOLS) && $(HAVE_WASM_TOOLS); then \
	  $(MAKE) --no-print-directory test-package; else \
	  echo "SKIPPED the packages: they need the Windows, ARM64 and WebAssembly tools above, lintian, dpkg-dev,"; \
	  echo "man-db, unzip and the arm64 C library known to dpkg (libc6:arm64; .ci/run installs them)."; fi

$(SUITES:%=test-%): test-%:
	$(call configure-build,$(call suite-preset,$*))
	$(CTEST_ENV_$*) ctest --preset $(call suite-preset,$*)

# chords-steps' lesson page in headless Chromium, then through axe-core and
# the Nu Html Checker. npm installs those once per version list, without
# their install scripts: vnu-jar's would fetch a Java of its own.
test-browser:
	$(call configure-build,default)
	@grep -qxF '$(BROWSER_NPM_PACKAGES)' $(BROWSER_TOOLS)/installed 2>/dev/null || { \
	  npm install --prefix $(BROWSER_TOOLS) --no-audit --no-fund --ignore-scripts --save-exact \
	    $(BROWSER_NPM_PACKAGES) && echo '$(BROWSER_NPM_PACKAGES)' > $(BROWSER_TOOLS)/installed; }
	/usr/bin/python3 tests/lesson_page_browser.py build/default/chords-steps --tools $(BROWSER_TOOLS)/node_modules
	@# A typed equation's page with a modified method: scaled values, the factor column.
	@if build/default/chords-steps --equation 'x^2 - 2' 0 10 0.1 100 --method illinois \
	     --html build/default/typed-lesson.html >/dev/null; then \
	  /usr/bin/python3 tests/lesson_page_browser.py --page build/default/typed-lesson.html \
	    --tools $(BROWSER_TOOLS)/node_modules; \
	else echo "SKIPPED the typed equation's page: this build has no typed equations (MPFR)."; fi
	@# A method beside the chords: the combined method's chord and tangent, step by step.
	build/default/chords-steps --method combined 0 1 1e-6 20 --html build/default/method-lesson.html >/dev/null
	/usr/bin/python3 tests/lesson_page_browser.py --page build/default/method-lesson.html \
	  --tools $(BROWSER_TOOLS)/node_modules
	@# The page that computes: the cross-platform set recomputed in it, where make wasm built its module.
	@if [ -f build/wasm/chords-steps-web.js ]; then \
	  CHORDS_STEPS_WEB=build/wasm/chords-steps-web.js build/default/chords-steps --html-app build/default/app-lesson.html >/dev/null && \
	  /usr/bin/python3 tests/lesson_page_browser.py --page build/default/app-lesson.html \
	    --tools $(BROWSER_TOOLS)/node_modules; \
	else echo "SKIPPED the page that computes: its module is not built (make wasm)."; fi

# GMP and MPFR for chords-steps.exe, cross-built from Debian's sources into
# build/mingw-mpfr once (.ci/build-mingw-mpfr returns at once when they are
# there). Where they cannot be built, the Windows suite goes on without them,
# as configuring then says; the zip is never made without them.
windows-mpfr:
	@.ci/build-mingw-mpfr || { \
	  echo "WARNING: GMP and MPFR for Windows could not be built (see above): the Windows build goes on"; \
	  echo "without them, and chords-steps.exe without typed equations."; }

test-windows windows: windows-mpfr

# GMP and MPFR for the module, built from Debian's sources into
# build/wasm-mpfr once (.ci/build-wasm-mpfr returns at once when they are
# there). Unlike Windows, the module is never built without them: the page
# recomputes typed equations.
wasm-mpfr:
	.ci/build-wasm-mpfr

wasm: wasm-mpfr
	$(call configure-build,wasm)

# Every run of the module against the native program's bytes.
test-wasm: wasm
	$(call configure-build,default)
	node tests/steps_wasm.js build/wasm/chords-steps-web.js build/default/chords-steps tests/typed_tables

fuzz:
	$(call configure-build,fuzz)
	fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

windows:
	$(call configure-build,windows,chords)

# The packages carry the lesson page's module, built first.
package: package-clean wasm package-deb-amd64 package-deb-arm64 package-windows
	rm -rf $(PACKAGES)/_CPack_Packages
	@ls -l $(PACKAGES)

package-clean:
	rm -rf $(PACKAGES)

package-deb-amd64:
	$(call configure-build,deb-amd64,chords_package_contents)
	cpack --preset deb-amd64

package-deb-arm64:
	$(call configure-build,arm64,chords_package_contents)
	cpack --preset deb-arm64

package-windows:
	.ci/build-mingw-mpfr
	$(call configure-build,windows,chords_package_contents)
	cpack --preset windows-zip

test-package: package
	tests/packaging/check_deb.sh $(wildcard $(PACKAGES)/chords_*_amd64.deb)
	tests/packaging/check_deb.sh $(wildcard $(PACKAGES)/chords_*_arm64.deb)
	tests/packaging/check_zip.sh $(wildcard $(PACKAGES)/chords-*-windows-x64.zip) build/windows/wineprefix

bench:
	$(call configure-build,bench)
	./build/bench/bench/chords_bench

# Every float through chords-steps' nine-digit writer against the standard
# library's (some minutes on two cores).
check-digits:
	$(call configure-build,bench)
	./build/bench/bench/digits9_check

clean:
	rm -rf build
