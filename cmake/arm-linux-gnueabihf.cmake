# Cross-building for Linux on ARM32 with Debian's arm-linux-gnueabihf compiler;
# the tests run under qemu-arm (Debian package qemu-user).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The emulator runs the program on the cross compiler's C library. The
# loader is told to look there first: where Debian's own libc6:armhf is
# installed too, the system's library cache would otherwise hand it that one,
# a different build than the loader's. The iconv modules come from
# libc6:armhf (/usr/lib/arm-linux-gnueabihf/gconv), where it is installed.
find_program(QEMU_PROGRAM qemu-arm)
if(QEMU_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_PROGRAM} -L /usr/arm-linux-gnueabihf
        -E LD_LIBRARY_PATH=/usr/arm-linux-gnueabihf/lib)
endif()
