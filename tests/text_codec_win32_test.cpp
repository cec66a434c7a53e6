// The code page table against the system's own conversion.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "text/text_codec.h"

namespace {

TEST(TextCodecTest, AgreesWithTheSystemOnEveryByte) {
    for (int value = 1; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        wchar_t wide = 0;
        ASSERT_EQ(MultiByteToWideChar(1251, 0, &byte, 1, &wide, 1), 1);
        char utf8[8];
        const int length = WideCharToMultiByte(CP_UTF8, 0, &wide, 1, utf8, sizeof utf8, nullptr, nullptr);
        if (value == 0x98) {
            continue;  // unassigned; systems disagree on what stands for it
        }
        EXPECT_EQ(cp1251ToUtf8(std::string(1, byte)), std::string(utf8, static_cast<std::size_t>(length)))
            << value;
    }
}

}  // namespace
