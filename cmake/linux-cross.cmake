# Cross-building for Linux on another processor with Debian's cross compiler
# for CHORDS_CROSS_TRIPLE; the tests run under CHORDS_CROSS_QEMU (Debian
# package qemu-user). Included by the toolchain files, which name the three.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${CHORDS_CROSS_PROCESSOR})

set(CMAKE_C_COMPILER ${CHORDS_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${CHORDS_CROSS_TRIPLE}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${CHORDS_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The emulator runs the program on the cross compiler's C library. The
# loader is told to look there first: where Debian's own C library for that
# architecture (libc6:arm64, libc6:armhf) is installed too, the system's
# library cache would otherwise hand it that one, a different build than the
# loader's. The iconv modules come from that package
# (/usr/lib/<triple>/gconv), where it is installed.
find_program(QEMU_PROGRAM ${CHORDS_CROSS_QEMU})
if(QEMU_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_PROGRAM} -L /usr/${CHORDS_CROSS_TRIPLE}
        -E LD_LIBRARY_PATH=/usr/${CHORDS_CROSS_TRIPLE}/lib)
endif()
