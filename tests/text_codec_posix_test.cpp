// The code page table against the C library's own converter.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "text/text_codec.h"

namespace {

// Every byte the code page defines must come out as the C library's own
// converter gives it.
TEST(TextCodecTest, AgreesWithIconvOnEveryByte) {
    iconv_t converter = iconv_open("UTF-8", "CP1251");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
    int compared = 0;
    for (int value = 1; value < 256; ++value) {
        char byte = static_cast<char>(value);
        char* in = &byte;
        std::size_t inLeft = 1;
        char out[8];
        char* outPosition = out;
        std::size_t outLeft = sizeof out;
        if (iconv(converter, &in, &inLeft, &outPosition, &outLeft) == static_cast<std::size_t>(-1)) {
            continue;  // a byte the code page leaves unassigned
        }
        EXPECT_EQ(cp1251ToUtf8(std::string(1, byte)), std::string(out, outPosition)) << value;
        ++compared;
    }
    iconv_close(converter);
    EXPECT_GE(compared, 254);
}

}  // namespace
