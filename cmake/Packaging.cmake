# What `cmake --install` puts where, and the packages CPack makes of it: a
# Debian package on Linux, a zip for Windows. chords-steps joins both where
# that program is part of the build.

include(GNUInstallDirs)

set(CHORDS_PROGRAMS chords)
if(TARGET chords-steps)
    list(APPEND CHORDS_PROGRAMS chords-steps)
endif()

set(CHORDS_MAINTAINER "chords maintainers <maintainers@users.noreply.c-seed-e933a0a1.example>"
    CACHE STRING "Maintainer named in the packages")

# The user's guide and the examples it names, made by the program built here
# (under the build's emulator when cross-built): the picture, the lesson page
# and the CSV of "0 1 0.0001 100", and, with typed equations, the lesson page
# of the Illinois method on x^3 + 4x^2 - 10 over [1, 2].
set(CHORDS_GUIDE ${PROJECT_SOURCE_DIR}/docs/guide.ru.md)
set(CHORDS_EXAMPLES)
if(TARGET chords-steps)
    set(examples ${CMAKE_CURRENT_BINARY_DIR}/examples)
    set(CHORDS_EXAMPLES ${examples}/chords-0-1.svg ${examples}/lesson-0-1.html ${examples}/chords-0-1.csv)
    set(run_steps ${CMAKE_COMMAND} -E env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
                  ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:chords-steps>)
    set(typed_example)
    if(CHORDS_HAVE_MPFR)
        list(APPEND CHORDS_EXAMPLES ${examples}/illinois-1-2.html)
        set(typed_example COMMAND ${run_steps} --equation "x^3 + 4*x^2 - 10" 1 2 1e-6 100 --method illinois
                                  --html ${examples}/illinois-1-2.html > ${CMAKE_CURRENT_BINARY_DIR}/examples-typed.txt)
    endif()
    # The page that computes in the browser, where the page's module is
    # built (make wasm): the lesson's example with its form. A program
    # cross-built for Windows reads the module's path through wine's Z:.
    set(CHORDS_PAGE_MODULE ${PROJECT_SOURCE_DIR}/build/wasm/chords-steps-web.js
        CACHE FILEPATH "The lesson page's module the packages carry (make wasm builds it)")
    set(app_example)
    if(EXISTS ${CHORDS_PAGE_MODULE})
        list(APPEND CHORDS_EXAMPLES ${examples}/chords.html)
        set(module_seen ${CHORDS_PAGE_MODULE})
        if(WIN32)
            set(module_seen Z:${CHORDS_PAGE_MODULE})
        endif()
        set(app_example COMMAND ${CMAKE_COMMAND} -E env CHORDS_STEPS_WEB=${module_seen} ${run_steps}
                                --html-app ${examples}/chords.html > ${CMAKE_CURRENT_BINARY_DIR}/examples-app.txt)
    endif()
    add_custom_command(
        OUTPUT ${CHORDS_EXAMPLES}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${examples}
        COMMAND ${run_steps} 0 1 0.0001 100
                --svg ${examples}/chords-0-1.svg --html ${examples}/lesson-0-1.html
                --csv ${examples}/chords-0-1.csv > ${CMAKE_CURRENT_BINARY_DIR}/examples-table.txt
        ${typed_example}
        ${app_example}
        DEPENDS chords-steps
        COMMENT "Examples for the guide"
        VERBATIM)
    add_custom_target(chords_examples DEPENDS ${CHORDS_EXAMPLES})
endif()

if(WIN32)
    # The zip: the programs and a README that Notepad shows properly, side by
    # side in one folder.
    # README.txt is the user's guide, as Notepad reads it; the developers'
    # README stays out of the zip.
    set(CHORDS_WINDOWS_README ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
    add_custom_command(
        OUTPUT ${CHORDS_WINDOWS_README}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${CHORDS_GUIDE}
                -DOUTPUT=${CHORDS_WINDOWS_README}
                -P ${PROJECT_SOURCE_DIR}/packaging/windows/notepad_text.cmake
        DEPENDS ${CHORDS_GUIDE}
                ${PROJECT_SOURCE_DIR}/packaging/windows/notepad_text.cmake
        COMMENT "README.txt for Windows: the user's guide")
    add_custom_target(chords_windows_readme ALL DEPENDS ${CHORDS_WINDOWS_README})
    set(CHORDS_DOCUMENTS chords_windows_readme)
    install(TARGETS ${CHORDS_PROGRAMS} RUNTIME DESTINATION .)
    install(FILES ${CHORDS_WINDOWS_README} DESTINATION .)
    install(FILES ${CHORDS_EXAMPLES} DESTINATION examples)
    if(EXISTS "${CHORDS_PAGE_MODULE}")
        install(FILES ${CHORDS_PAGE_MODULE} DESTINATION .)
    endif()
    # chords-steps.exe carries MPFR and GMP linked in: their licences (the
    # LGPL, written as additions to the GPL, so both texts) go with it.
    if(CHORDS_HAVE_MPFR)
        install(DIRECTORY ${CHORDS_MINGW_MPFR_PREFIX}/share/licenses/ DESTINATION licenses)
        install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/THIRD-PARTY.txt DESTINATION licenses)
    endif()
else()
    # Manual pages and the Debian changelog go in compressed with gzip -9n:
    # no name or time stamp inside, so the same sources give the same bytes.
    find_program(GZIP_PROGRAM gzip REQUIRED)
    set(CHORDS_COMPRESSED)
    function(chords_gzip source output)
        add_custom_command(
            OUTPUT ${output}
            COMMAND ${GZIP_PROGRAM} -9n -c ${source} > ${output}
            DEPENDS ${source}
            VERBATIM)
        set(CHORDS_COMPRESSED ${CHORDS_COMPRESSED} ${output} PARENT_SCOPE)
    endfunction()

    set(man_out ${CMAKE_CURRENT_BINARY_DIR}/man)
    file(MAKE_DIRECTORY ${man_out}/en ${man_out}/ru)
    foreach(program IN LISTS CHORDS_PROGRAMS)
        chords_gzip(${PROJECT_SOURCE_DIR}/docs/man/${program}.1 ${man_out}/en/${program}.1.gz)
        chords_gzip(${PROJECT_SOURCE_DIR}/docs/man/${program}.ru.1 ${man_out}/ru/${program}.1.gz)
        install(FILES ${man_out}/en/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
        install(FILES ${man_out}/ru/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)
    endforeach()
    # A package built here is its own upstream (a native package): its
    # changelog is changelog.gz, in the Debian changelog format.
    chords_gzip(${PROJECT_SOURCE_DIR}/packaging/debian/changelog
                ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
    # The guide is over 4 kB: compressed, as Debian keeps its documents. The
    # examples stay as they are, to open in a browser and a spreadsheet.
    chords_gzip(${CHORDS_GUIDE} ${CMAKE_CURRENT_BINARY_DIR}/guide.ru.md.gz)
    add_custom_target(chords_compressed_docs ALL DEPENDS ${CHORDS_COMPRESSED})
    set(CHORDS_DOCUMENTS chords_compressed_docs)

    install(TARGETS ${CHORDS_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # A stripped install also loses the compilers' version notes, as
    # Debian's own packaging tools strip them.
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            foreach(program ${CHORDS_PROGRAMS})
                execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                                        --remove-section=.note
                                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                                COMMAND_ERROR_IS_FATAL ANY)
            endforeach()
        endif()")
    install(FILES ${PROJECT_SOURCE_DIR}/README.md
                  ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
                  ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
                  ${CMAKE_CURRENT_BINARY_DIR}/guide.ru.md.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${CHORDS_EXAMPLES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
    # chords-steps looks for the page's module in ../share/chords beside it.
    if(EXISTS "${CHORDS_PAGE_MODULE}")
        install(FILES ${CHORDS_PAGE_MODULE} DESTINATION ${CMAKE_INSTALL_DATADIR}/chords)
    endif()
endif()

# What a package holds, to build before CPack runs; installing builds
# nothing by itself, so that packaging never waits for the test suites.
add_custom_target(chords_package_contents)
add_dependencies(chords_package_contents ${CHORDS_PROGRAMS} ${CHORDS_DOCUMENTS})
if(TARGET chords_examples)
    add_dependencies(chords_package_contents chords_examples)
endif()
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME chords)
set(CPACK_PACKAGE_VENDOR "chords maintainers")
set(CPACK_PACKAGE_CONTACT "${CHORDS_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "root of a nonlinear equation by the method of chords")
set(CPACK_PACKAGE_DESCRIPTION
    "An interactive console program for students and teachers of numerical
methods. It finds a root of one fixed equation, 2*exp(-x) + 0.2*x^2 - 1.5 = 0,
by the method of chords (false position), talking Russian to the user: it asks
for an interval on which the function changes sign, for the accuracy and for
the largest number of iterations, and reports the root, the function's value
there and the number of iterations.")
if(TARGET chords-steps)
    string(APPEND CPACK_PACKAGE_DESCRIPTION "
.
chords-steps shows the same iteration chord by chord, as a table and as an
SVG picture of the function with every chord drawn.")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\\\.git")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME windows-x64)
else()
    set(CPACK_GENERATOR DEB)
    # Where a package is its own upstream, the version carries no Debian
    # revision: chords_<version>_<arch>.deb.
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION math)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CHORDS_MAINTAINER}")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
    set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
    # Debian's permissions, whatever the builder's umask.
    set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
        OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    if(CMAKE_CROSSCOMPILING)
        # dpkg names the build machine's architecture, not the target's.
        if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
            set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
        elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^arm")
            set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
        endif()
    endif()
endif()

include(CPack)
