# Linux on 64-bit ARM, where long double is IEEE quadruple precision.
set(CHORDS_CROSS_TRIPLE aarch64-linux-gnu)
set(CHORDS_CROSS_PROCESSOR aarch64)
set(CHORDS_CROSS_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
