# Cross-building for Linux on arm with Debian's arm-linux-gnueabihf compiler;
# the tests run under qemu-arm (Debian package qemu-user), which finds the
# target's C library under /usr/arm-linux-gnueabihf.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QEMU_PROGRAM qemu-arm)
if(QEMU_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_PROGRAM} -L /usr/arm-linux-gnueabihf)
endif()
