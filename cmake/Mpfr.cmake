# MPFR, and the GMP it computes with, for chords-steps: its elementary
# functions are correctly rounded, so a typed equation gives the same bits on
# every platform. The imported target chords::mpfr brings the headers and
# libraries of the platform being built:
#   Linux, native: Debian's libmpfr-dev and libgmp-dev;
#   Linux on ARM, cross-built: the same packages of the target's architecture
#     (libmpfr-dev:arm64, libgmp-dev:armhf, ...), which dpkg puts in the
#     multiarch folders /usr/lib/<triple> and /usr/include/<triple>. Only
#     those are searched: the toolchain file's root, /usr/<triple>, holds the
#     cross compiler's C library alone, and the default paths would find the
#     build machine's own;
#   Windows: static libraries that .ci/build-mingw-mpfr cross-builds from
#     Debian's sources into build/mingw-mpfr/;
#   WebAssembly (emscripten): the same, built by .ci/build-wasm-mpfr into
#     build/wasm-mpfr/.
# Where they are missing, configuring warns and CHORDS_HAVE_MPFR is OFF, and
# everything else builds as before; ON where chords::mpfr links.

set(CHORDS_MINGW_MPFR_PREFIX ${PROJECT_SOURCE_DIR}/build/mingw-mpfr CACHE PATH
    "Where .ci/build-mingw-mpfr puts GMP and MPFR for the Windows build")
set(CHORDS_WASM_MPFR_PREFIX ${PROJECT_SOURCE_DIR}/build/wasm-mpfr CACHE PATH
    "Where .ci/build-wasm-mpfr puts GMP and MPFR for the WebAssembly build")
set(CHORDS_HAVE_MPFR OFF)
if(EMSCRIPTEN)
    set(_chords_mpfr_prefix ${CHORDS_WASM_MPFR_PREFIX})
    set(_chords_mpfr_script .ci/build-wasm-mpfr)
else()
    set(_chords_mpfr_prefix ${CHORDS_MINGW_MPFR_PREFIX})
    set(_chords_mpfr_script .ci/build-mingw-mpfr)
endif()

# A path found before is looked for again if its file has gone (the prefix
# removed, a package purged) or the prefix was changed.
if(DEFINED CHORDS_MPFR_FOUND_WITH AND NOT CHORDS_MPFR_FOUND_WITH STREQUAL _chords_mpfr_prefix)
    unset(CHORDS_GMP_INCLUDE_DIR CACHE)
    unset(CHORDS_MPFR_INCLUDE_DIR CACHE)
    unset(CHORDS_GMP_LIBRARY CACHE)
    unset(CHORDS_MPFR_LIBRARY CACHE)
endif()
set(CHORDS_MPFR_FOUND_WITH "${_chords_mpfr_prefix}" CACHE INTERNAL "")
foreach(_chords_found CHORDS_GMP_INCLUDE_DIR CHORDS_MPFR_INCLUDE_DIR CHORDS_GMP_LIBRARY CHORDS_MPFR_LIBRARY)
    if(${_chords_found} AND NOT EXISTS "${${_chords_found}}")
        unset(${_chords_found} CACHE)
    endif()
endforeach()

if(WIN32 OR EMSCRIPTEN)
    # The libraries go into the .exe or the module, which then needs nothing
    # beside it.
    set(_chords_mpfr_search NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    find_path(CHORDS_GMP_INCLUDE_DIR gmp.h PATHS ${_chords_mpfr_prefix}/include ${_chords_mpfr_search})
    find_path(CHORDS_MPFR_INCLUDE_DIR mpfr.h PATHS ${_chords_mpfr_prefix}/include ${_chords_mpfr_search})
    find_library(CHORDS_GMP_LIBRARY libgmp.a PATHS ${_chords_mpfr_prefix}/lib ${_chords_mpfr_search})
    find_library(CHORDS_MPFR_LIBRARY libmpfr.a PATHS ${_chords_mpfr_prefix}/lib ${_chords_mpfr_search})
    string(CONCAT _chords_mpfr_missing "not in ${_chords_mpfr_prefix}: ${_chords_mpfr_script} "
                                       "builds them (make windows, make wasm and make test run it)")
elseif(CMAKE_CROSSCOMPILING)
    set(_chords_triple ${CMAKE_LIBRARY_ARCHITECTURE})
    if(_chords_triple MATCHES "^aarch64")
        set(_chords_arch arm64)
    elseif(_chords_triple MATCHES "^arm.*hf$")
        set(_chords_arch armhf)
    else()
        set(_chords_arch "<architecture>")
    endif()
    if(_chords_triple)
        set(_chords_mpfr_search NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
        # gmp.h differs between architectures; mpfr.h is the same file for all.
        find_path(CHORDS_GMP_INCLUDE_DIR gmp.h PATHS /usr/include/${_chords_triple} ${_chords_mpfr_search})
        find_path(CHORDS_MPFR_INCLUDE_DIR mpfr.h
                  PATHS /usr/include/${_chords_triple} /usr/include ${_chords_mpfr_search})
        find_library(CHORDS_GMP_LIBRARY gmp PATHS /usr/lib/${_chords_triple} ${_chords_mpfr_search})
        find_library(CHORDS_MPFR_LIBRARY mpfr PATHS /usr/lib/${_chords_triple} ${_chords_mpfr_search})
    endif()
    string(CONCAT _chords_mpfr_missing "not installed for ${_chords_triple} (Debian packages "
                                       "libmpfr-dev:${_chords_arch} and libgmp-dev:${_chords_arch}, after "
                                       "dpkg --add-architecture ${_chords_arch}; .ci/run installs them)")
else()
    find_path(CHORDS_GMP_INCLUDE_DIR gmp.h)
    find_path(CHORDS_MPFR_INCLUDE_DIR mpfr.h)
    find_library(CHORDS_GMP_LIBRARY gmp)
    find_library(CHORDS_MPFR_LIBRARY mpfr)
    string(CONCAT _chords_mpfr_missing "not installed (Debian packages libmpfr-dev and libgmp-dev; "
                                       ".ci/run installs them)")
endif()

if(CHORDS_GMP_INCLUDE_DIR AND CHORDS_MPFR_INCLUDE_DIR AND CHORDS_GMP_LIBRARY AND CHORDS_MPFR_LIBRARY)
    # Found is not yet usable: the link check also catches a library of the
    # wrong architecture or a static one that wants more. Done again only
    # when the libraries change or it failed.
    set(_chords_mpfr_libraries ${CHORDS_MPFR_LIBRARY} ${CHORDS_GMP_LIBRARY})
    if(NOT CHORDS_MPFR_LINKS OR NOT "${CHORDS_MPFR_LINKS_WITH}" STREQUAL "${_chords_mpfr_libraries}")
        unset(CHORDS_MPFR_LINKS CACHE)
    endif()
    include(CheckCXXSourceCompiles)
    include(CMakePushCheckState)
    cmake_push_check_state(RESET)
    set(CMAKE_REQUIRED_INCLUDES ${CHORDS_MPFR_INCLUDE_DIR} ${CHORDS_GMP_INCLUDE_DIR})
    set(CMAKE_REQUIRED_LIBRARIES ${_chords_mpfr_libraries})
    set(CMAKE_REQUIRED_QUIET ON)
    check_cxx_source_compiles("
#include <mpfr.h>
int main() {
    mpfr_t x;
    mpfr_init2(x, 64);
    mpfr_set_ui(x, 1, MPFR_RNDN);
    mpfr_exp(x, x, MPFR_RNDN);
    int const ok = mpfr_cmp_ui(x, 2) > 0;
    mpfr_clear(x);
    return ok ? 0 : 1;
}" CHORDS_MPFR_LINKS)
    cmake_pop_check_state()
    set(CHORDS_MPFR_LINKS_WITH "${_chords_mpfr_libraries}" CACHE INTERNAL "")
    string(JOIN " and " _chords_mpfr_named ${_chords_mpfr_libraries})

    file(STRINGS ${CHORDS_MPFR_INCLUDE_DIR}/mpfr.h _chords_line REGEX "^#define MPFR_VERSION_STRING ")
    string(REGEX REPLACE ".*\"(.*)\".*" "\\1" _chords_mpfr_version "${_chords_line}")
    file(STRINGS ${CHORDS_GMP_INCLUDE_DIR}/gmp.h _chords_lines
         REGEX "^#define __GNU_MP_VERSION(_MINOR|_PATCHLEVEL)? ")
    string(REGEX REPLACE "[^;]* ([0-9]+)(;|$)" "\\1." _chords_gmp_version "${_chords_lines}")
    string(REGEX REPLACE "\\.$" "" _chords_gmp_version "${_chords_gmp_version}")

    if(CHORDS_MPFR_LINKS)
        set(CHORDS_HAVE_MPFR ON)
        add_library(chords::gmp UNKNOWN IMPORTED)
        set_target_properties(chords::gmp PROPERTIES
            IMPORTED_LOCATION ${CHORDS_GMP_LIBRARY}
            INTERFACE_INCLUDE_DIRECTORIES ${CHORDS_GMP_INCLUDE_DIR})
        add_library(chords::mpfr UNKNOWN IMPORTED)
        set_target_properties(chords::mpfr PROPERTIES
            IMPORTED_LOCATION ${CHORDS_MPFR_LIBRARY}
            INTERFACE_INCLUDE_DIRECTORIES ${CHORDS_MPFR_INCLUDE_DIR}
            INTERFACE_LINK_LIBRARIES chords::gmp)
        message(STATUS "MPFR ${_chords_mpfr_version} with GMP ${_chords_gmp_version}: ${CHORDS_MPFR_LIBRARY}")
    else()
        message(WARNING "MPFR ${_chords_mpfr_version} and GMP ${_chords_gmp_version} were found "
                        "(${_chords_mpfr_named}) but a program does not link with them "
                        "(the configure log in CMakeFiles/ says why): CHORDS_HAVE_MPFR is OFF, "
                        "chords-steps is built without typed equations.")
    endif()
else()
    message(WARNING "MPFR or GMP ${_chords_mpfr_missing}: CHORDS_HAVE_MPFR is OFF, chords-steps "
                    "is built without typed equations.")
endif()
