// With its output redirected and no console, the program writes its texts in
// the OEM code page, which for a Russian system is 866.
#include <gtest/gtest.h>
#include <windows.h>

#include "program_runner.h"

namespace {

TEST(CodePageTest, RedirectedOutputUsesTheOemCodePage) {
    ASSERT_EQ(GetOEMCP(), 866u) << "the tests run under a Russian locale";
    const ProgramRun run = runChords("0 1 0.0001 100\n");
    // "Программа" in code page 866.
    EXPECT_TRUE(run.output.starts_with("\x8F\xE0\xAE\xA3\xE0\xA0\xAC\xAC\xA0 "));
    EXPECT_TRUE(run.output.ends_with("\x8D\xA0\xA6\xAC\xA8\xE2\xA5 "
                                     "\xAB\xEE\xA1\xE3\xEE \xAA\xAB\xA0\xA2\xA8\xE8\xE3"));
    EXPECT_NE(run.output.find("\r\n"), std::string::npos);
}

}  // namespace
