# Builds the Russian locales the tests run the program under, once, into
# LOCALE_DIR (used through LOCPATH, so nothing is installed system-wide).
foreach(charmap UTF-8 KOI8-R CP1251)
    set(target "${LOCALE_DIR}/ru_RU.${charmap}")
    if(NOT EXISTS "${target}/LC_CTYPE")
        file(MAKE_DIRECTORY "${LOCALE_DIR}")
        # localedef exits 1 on mere warnings; the files it wrote decide.
        execute_process(COMMAND localedef -i ru_RU -f ${charmap} "${target}"
                        RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
        if(NOT EXISTS "${target}/LC_CTYPE")
            message(FATAL_ERROR "localedef could not build ru_RU.${charmap} (status ${result})")
        endif()
    endif()
endforeach()
