# Linux on 32-bit ARM (hard float), where long double is plain double.
set(CHORDS_CROSS_TRIPLE arm-linux-gnueabihf)
set(CHORDS_CROSS_PROCESSOR arm)
set(CHORDS_CROSS_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
