# Cross-building for Linux on ARM64 with Debian's aarch64-linux-gnu compiler;
# the tests run under qemu-aarch64 (Debian package qemu-user).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The emulator runs the program on the cross compiler's C library. The
# loader is told to look there first: where Debian's own libc6:arm64 is
# installed too, the system's library cache would otherwise hand it that one,
# a different build than the loader's. The iconv modules come from
# libc6:arm64 (/usr/lib/aarch64-linux-gnu/gconv), where it is installed.
find_program(QEMU_PROGRAM qemu-aarch64)
if(QEMU_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_PROGRAM} -L /usr/aarch64-linux-gnu
        -E LD_LIBRARY_PATH=/usr/aarch64-linux-gnu/lib)
endif()
