# Cross-building for Linux on aarch64 with Debian's aarch64-linux-gnu compiler;
# the tests run under qemu-aarch64 (Debian package qemu-user), which finds the
# target's C library under /usr/aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QEMU_PROGRAM qemu-aarch64)
if(QEMU_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_PROGRAM} -L /usr/aarch64-linux-gnu)
endif()
