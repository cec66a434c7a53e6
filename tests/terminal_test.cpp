// The program on a pseudo-terminal: prompts on the screen before input is
// needed, the key wait on the terminal itself, the terminal's mode always
// put back, and texts in the locale's character set.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "console/posix/posix.h"
#include "pty_session.h"
#include "transcripts.h"
#include "test_locales.h"

namespace {

using text::AskEpsilon;
using text::AskLimit;
using text::AskXib;
using text::AskXie;
using text::Banner;
using text::PressKey;
using text::ReadFailed;
// Through a terminal every line ends in CR LF.
const std::string RootLine = "Корень = 0.299771 F(0.299771)=-5.19123e-05\r\n";

int exitStatusOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A file holding the numbers, for runs whose standard input is redirected.
class NumbersFile {
public:
    explicit NumbersFile(const std::string& numbers) {
        char name[] = "/tmp/chords-input-XXXXXX";
        const int descriptor = ::mkstemp(name);
        ::close(descriptor);
        path = name;
        std::ofstream(path) << numbers;
    }
    ~NumbersFile() { std::remove(path.c_str()); }
    std::string path;
};

PtyOptions inputFrom(const NumbersFile& numbers, std::string typedAhead = "",
                     std::vector<std::string> environment = {"LC_ALL=C.UTF-8"}) {
    PtyOptions options;
    options.environment = std::move(environment);
    options.standardInput = numbers.path;
    options.typedAhead = std::move(typedAhead);
    return options;
}

// Types the whole dialog and returns once the closing prompt is waiting.
PtySession sessionAtClosingPrompt() {
    PtySession session = startInPty();
    EXPECT_TRUE(waitForScreen(session, AskXib));
    typeKeys(session, "0 1 0.0001 100\r");
    EXPECT_TRUE(waitForScreen(session, PressKey));
    EXPECT_TRUE(waitForRawMode(session));
    return session;
}

TEST(TerminalTest, EachPromptIsShownBeforeAnythingIsTyped) {
    PtySession session = startInPty();
    ASSERT_TRUE(waitForScreen(session, Banner + "\r\n" + AskXib));
    EXPECT_TRUE(stillRunningAfter(session, 100));

    typeKeys(session, "0 1\r");
    // One line serves both ends: the second prompt asks nothing of the keyboard.
    ASSERT_TRUE(waitForScreen(session, "0 1\r\n" + AskXie + AskEpsilon));
    typeKeys(session, "0.0001\r");
    ASSERT_TRUE(waitForScreen(session, "0.0001\r\n" + AskLimit));
    typeKeys(session, "100\r");
    ASSERT_TRUE(waitForScreen(session, "100\r\n" + RootLine + "Число итераций = 5\r\n" + PressKey));

    // The closing prompt stays until a key, and the key is not echoed: the
    // line then ends, for the shell's prompt.
    EXPECT_TRUE(stillRunningAfter(session, 300));
    const std::size_t shown = session.screen.size();
    typeKeys(session, "q");
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 0);
    EXPECT_EQ(session.screen.substr(shown), "\r\n");
    EXPECT_TRUE(sameMode(currentMode(session), session.initialMode));
    closeSession(session);
}

class KeyEndsTheWaitTest : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(KeyEndsTheWaitTest, WithStatusZeroAndTheModeRestored) {
    PtySession session = sessionAtClosingPrompt();
    typeKeys(session, GetParam().second);
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 0);
    EXPECT_TRUE(sameMode(currentMode(session), session.initialMode));
    EXPECT_EQ(unreadInput(session), "");
    closeSession(session);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyEndsTheWaitTest,
    ::testing::Values(std::pair{"F1", "\x1BOP"}, std::pair{"Up", "\x1B[A"},
                      std::pair{"Escape", "\x1B"}, std::pair{"CtrlC", "\x03"},
                      std::pair{"CtrlZ", "\x1A"}, std::pair{"Cyrillic", "ж"},
                      std::pair{"Enter", "\r"}, std::pair{"CtrlAReport", "\x1B[97;5u"},
                      std::pair{"CtrlAModifyOtherKeys", "\x1B[27;5;97~"}),
    [](const auto& key) { return std::string(key.param.first); });

class ReplyKeepsTheWaitTest
    : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(ReplyKeepsTheWaitTest, IsDroppedWholeAndTheNextKeyEndsIt) {
    PtySession session = sessionAtClosingPrompt();
    typeKeys(session, GetParam().second);
    EXPECT_TRUE(stillRunningAfter(session, 150));
    typeKeys(session, "k");
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 0);
    EXPECT_EQ(unreadInput(session), "");
    closeSession(session);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyKeepsTheWaitTest,
    ::testing::Values(std::pair{"MouseReport", "\x1B[M !!"},
                      std::pair{"DeviceAttributes", "\x1B[?64;1;2;6;9;15;16;17;18;21;22;28c"},
                      std::pair{"ShortDeviceAttributes", "\x1B[?62;22c"},
                      std::pair{"ColourReport", "\x1B]11;rgb:0000/0000/0000\x1B\\"}),
    [](const auto& reply) { return std::string(reply.param.first); });

// Whether the process is stopped, as /proc shows it: "T" after its name.
bool waitForStop(pid_t process) {
    for (int tries = 0; tries < 500; ++tries) {
        std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
        std::string line;
        std::getline(stat, line);
        if (const auto name = line.rfind(')'); name != std::string::npos &&
                                               line.compare(name, 3, ") T") == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(TerminalTest, StopDuringTheWaitGivesTheModeBackAndContinuesRaw) {
    PtyOptions options;
    options.asJob = true;
    PtySession session = startInPty(options);
    ASSERT_TRUE(waitForScreen(session, AskXib));
    typeKeys(session, "0 1 0.0001 100\r");
    ASSERT_TRUE(waitForScreen(session, PressKey));
    ASSERT_TRUE(waitForRawMode(session));
    const pid_t job = foregroundGroup(session);
    ASSERT_NE(job, session.child);
    ::kill(-job, SIGTSTP);
    ASSERT_TRUE(waitForStop(job));
    EXPECT_TRUE(sameMode(currentMode(session), session.initialMode));
    ::kill(-job, SIGCONT);
    ASSERT_TRUE(waitForRawMode(session));
    typeKeys(session, "k");  // no Enter
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 0);
    closeSession(session);
}

TEST(TerminalTest, LineBreakAfterTheKeyGoesToTheTerminalNotToStandardOutput) {
    const NumbersFile numbers("0 1 0.0001 100\n");
    const NumbersFile output("");
    PtyOptions options = inputFrom(numbers);
    options.standardOutput = output.path;
    PtySession session = startInPty(options);
    ASSERT_TRUE(waitForRawMode(session));
    typeKeys(session, "k");
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 0);
    EXPECT_EQ(session.screen, "\r\n");
    std::ifstream written(output.path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), zeroToOneRun());
    closeSession(session);
}

TEST(TerminalTest, NonBlockingTerminalStillWaitsForTheKey) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ::fcntl(slave, F_SETFL, ::fcntl(slave, F_GETFL) | O_NONBLOCK);
    const auto typingTime = std::chrono::milliseconds(200);
    // The clock starts before the typist, so that the key cannot come
    // sooner than typingTime after it, however busy the machine.
    const auto start = std::chrono::steady_clock::now();
    std::thread typist([&] {
        std::this_thread::sleep_for(typingTime);
        EXPECT_EQ(::write(master, "k", 1), 1);
    });
    const KeyCode key = readTerminalKey(slave, true);
    const auto waited = std::chrono::steady_clock::now() - start;
    typist.join();
    EXPECT_EQ(key.value, 'k');
    EXPECT_GE(waited, typingTime);
    ::close(slave);
    ::close(master);
}

TEST(TerminalTest, KeyComesFromTheTerminalWhenInputIsAFile) {
    const NumbersFile numbers("0 1 0.0001 100\n");
    PtySession session = startInPty(inputFrom(numbers));
    ASSERT_TRUE(waitForScreen(session, RootLine));
    ASSERT_TRUE(waitForScreen(session, PressKey));
    ASSERT_TRUE(waitForRawMode(session));
    EXPECT_TRUE(stillRunningAfter(session, 200));
    typeKeys(session, "k");
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 0);
    closeSession(session);
}

TEST(TerminalTest, KeyTypedAheadEndsTheWait) {
    const NumbersFile numbers("0 1 0.0001 100\n");
    PtySession session = startInPty(inputFrom(numbers, "k"));
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 0);
    EXPECT_NE(session.screen.find(PressKey), std::string::npos);
    closeSession(session);
}

TEST(TerminalTest, EndOfInputAtAPromptEndsTheRun) {
    PtySession session = startInPty();
    ASSERT_TRUE(waitForScreen(session, AskXib));
    typeKeys(session, "\x04");  // Ctrl+D
    ASSERT_TRUE(waitForScreen(session, ReadFailed + "\r\n" + PressKey));
    ASSERT_TRUE(waitForRawMode(session));
    typeKeys(session, " ");
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 1);
    closeSession(session);
}

class SignalDuringTheWaitTest : public ::testing::TestWithParam<int> {};

TEST_P(SignalDuringTheWaitTest, PutsTheModeBackAndEndsByTheSignal) {
    PtySession session = sessionAtClosingPrompt();
    ::kill(session.child, GetParam());
    const int status = waitForExit(session);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), GetParam());
    EXPECT_TRUE(sameMode(currentMode(session), session.initialMode));
    closeSession(session);
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalDuringTheWaitTest,
                         ::testing::Values(SIGTERM, SIGHUP, SIGINT, SIGQUIT),
                         [](const auto& signal) { return "Signal" + std::to_string(signal.param); });

// The program's texts, as the locale's character set spells them.
std::string inCharset(const std::string& utf8, const char* charset) {
    iconv_t converter = iconv_open(charset, "UTF-8");
    std::string converted(utf8.size() * 2, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* out = converted.data();
    std::size_t outLeft = converted.size();
    iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    converted.resize(converted.size() - outLeft);
    return converted;
}

class CharsetTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CharsetTest, TextsArriveInTheLocalesCharset) {
    const NumbersFile numbers("0 1 0.0001 100\n");
    PtySession session = startInPty(inputFrom(numbers, "", russianLocale(GetParam())));
    const std::string expected = inCharset(zeroToOneRun("\r\n"), GetParam());
    ASSERT_TRUE(waitForScreen(session, expected)) << session.screen;
    ASSERT_TRUE(waitForRawMode(session));
    typeKeys(session, "k");
    EXPECT_EQ(exitStatusOf(waitForExit(session)), 0);
    EXPECT_EQ(session.screen, expected + "\r\n");
    closeSession(session);
}

INSTANTIATE_TEST_SUITE_P(Russian, CharsetTest, ::testing::Values("UTF-8", "KOI8-R", "CP1251"),
                         [](const auto& charset) {
                             std::string name = charset.param;
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
