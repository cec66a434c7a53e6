// The key table and the decoder of terminal key sequences, on byte strings.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "console/codec/key_decoder.h"
#include "console/codec/key_event.h"
#include "console/codec/key_table.h"

namespace {

const KeyDecoderSettings Xterm{0x7F, true};

// The key wait's view of a decoded key: plain codes as they are, extended
// ones as 256 + byte, "no key" as -1000 and "need more" as -2000.
int decode(std::string_view bytes, bool quiet = false, KeyDecoderSettings settings = Xterm) {
    const DecodedKey decoded = decodeKey(bytes, settings, quiet);
    switch (decoded.status) {
    case DecodeStatus::NeedMore: return -2000;
    case DecodeStatus::Skip: return -1000;
    case DecodeStatus::Key: return decoded.key.extended ? 256 + decoded.key.value : decoded.key.value;
    }
    return -3000;
}

std::size_t consumed(std::string_view bytes, bool quiet = false) {
    return decodeKey(bytes, Xterm, quiet).consumed;
}

constexpr int Skipped = -1000;
constexpr int NeedsMore = -2000;
constexpr int ext(int byte) {
    return 256 + byte;
}

TEST(KeyTableTest, HasOneRowForEachKnownKey) {
    std::set<int> keys;
    for (const ExtendedKeyRow& row : ExtendedKeyTable) {
        keys.insert(row.virtualKey);
    }
    EXPECT_EQ(keys.size(), 89u);
    EXPECT_EQ(findExtendedKey(0x10), nullptr);  // Shift alone
    EXPECT_EQ(findExtendedKey(0x14), nullptr);  // Caps Lock
}

TEST(KeyTableTest, TellingRowsAreExact) {
    const std::pair<std::uint8_t, std::array<TableCode, 4>> rows[] = {
        {0x08, {8, 8, 127, ext(14)}},
        {0x09, {9, ext(15), ext(148), ext(165)}},
        {0x0D, {13, 13, 10, ext(166)}},
        {0x1B, {27, 27, 27, ext(1)}},
        {0x20, {32, 32, ext(3), 32}},
        {0x32, {50, 64, ext(3), ext(121)}},
        {0x36, {54, 94, 30, ext(125)}},
        {0x41, {EventCharacter, 65, 1, ext(30)}},
        {0x26, {ext(72), ext(72), ext(141), ext(152)}},
        {0x60, {48, ext(82), ext(146), NoCode}},
        {0x70, {ext(59), ext(84), ext(94), ext(104)}},
        {0x7A, {ext(133), ext(135), ext(137), ext(139)}},
        {0xDC, {92, 124, 28, ext(43)}},
    };
    for (const auto& [virtualKey, codes] : rows) {
        const ExtendedKeyRow* row = findExtendedKey(virtualKey);
        ASSERT_NE(row, nullptr) << int{virtualKey};
        EXPECT_EQ(row->codes, codes) << int{virtualKey};
    }
}

TEST(KeyTableTest, OnlyTheListedCombinationsHaveNoCode) {
    std::set<std::pair<int, int>> none;
    for (const int digit : {0, 1, 3, 4, 5, 7, 8, 9}) {
        none.insert({0x30 + digit, WithCtrl});
    }
    for (int keypad = 0x60; keypad <= 0x69; ++keypad) {
        none.insert({keypad, WithAlt});
    }
    for (const int punctuation : {0xBF, 0xBB, 0xBA, 0xDE, 0xBC, 0xBE, 0xC0}) {
        none.insert({punctuation, WithCtrl});
    }
    for (const ExtendedKeyRow& row : ExtendedKeyTable) {
        for (int column = Alone; column <= WithAlt; ++column) {
            EXPECT_EQ(row.codes[static_cast<std::size_t>(column)] == NoCode,
                      none.count({row.virtualKey, column}) == 1)
                << "key " << int{row.virtualKey} << " column " << column;
        }
    }
}

TEST(KeyTableTest, AltWinsOverCtrlAndCtrlOverShift) {
    const ExtendedKeyRow& up = *findExtendedKey(vk::Up);
    EXPECT_EQ(codeFor(up, {.shift = true, .ctrl = true, .alt = true}, 0)->value, 152);
    EXPECT_EQ(codeFor(up, {.shift = true, .ctrl = true}, 0)->value, 141);
    EXPECT_EQ(codeFor(up, {.shift = true}, 0)->value, 72);
    EXPECT_TRUE(codeFor(up, {}, 0)->extended);
    const ExtendedKeyRow& letterA = *findExtendedKey('A');
    EXPECT_EQ(codeFor(letterA, {}, 'a')->value, 'a');
    EXPECT_FALSE(codeFor(letterA, {}, 'a')->extended);
    EXPECT_EQ(codeFor(letterA, {}, 0)->value, 0);
    EXPECT_FALSE(codeFor(*findExtendedKey('1'), {.ctrl = true}, 0).has_value());
    EXPECT_FALSE(codeFor(*findExtendedKey(vk::Numpad0 + 7), {.alt = true}, 0).has_value());
}

TEST(KeyDecoderTest, CharactersAndControlBytes) {
    EXPECT_EQ(decode("a"), 'a');
    EXPECT_EQ(decode("Z"), 'Z');
    EXPECT_EQ(decode(" "), ' ');
    EXPECT_EQ(decode("\r"), 13);
    EXPECT_EQ(decode("\n"), 10);
    EXPECT_EQ(decode("\t"), 9);
    EXPECT_EQ(decode("\x03"), 3);   // Ctrl+C
    EXPECT_EQ(decode("\x1A"), 26);  // Ctrl+Z
    EXPECT_EQ(decode("\x13"), 19);  // Ctrl+S
    EXPECT_EQ(decode("\x1C"), 28);
    EXPECT_EQ(decode(std::string_view("\0", 1)), ext(3));  // Ctrl+Space
    EXPECT_EQ(consumed("ab"), 1u);
}

TEST(KeyDecoderTest, EraseCharacterIsBackspace) {
    EXPECT_EQ(decode("\x7F"), 8);
    EXPECT_EQ(decode("\x08"), 8);  // Ctrl+H
    const KeyDecoderSettings controlH{0x08, true};
    EXPECT_EQ(decode("\x08", false, controlH), 8);
    EXPECT_EQ(decode("\x7F", false, controlH), 127);  // Ctrl+Backspace
    EXPECT_EQ(decode("\x1B\x7F"), ext(14));           // Alt+Backspace
}

TEST(KeyDecoderTest, LoneEscapeWaitsForQuiet) {
    EXPECT_EQ(decode("\x1B"), NeedsMore);
    EXPECT_EQ(decode("\x1B", true), 27);
    EXPECT_EQ(decode("\x1B\x1B"), NeedsMore);
    EXPECT_EQ(decode("\x1B\x1B", true), ext(1));  // Alt+Esc
}

TEST(KeyDecoderTest, Arrows) {
    EXPECT_EQ(decode("\x1B[A"), ext(72));
    EXPECT_EQ(decode("\x1B[B"), ext(80));
    EXPECT_EQ(decode("\x1B[C"), ext(77));
    EXPECT_EQ(decode("\x1B[D"), ext(75));
    EXPECT_EQ(decode("\x1BOA"), ext(72));  // application cursor mode
    EXPECT_EQ(decode("\x1B[1;2A"), ext(72));
    EXPECT_EQ(decode("\x1B[1;5A"), ext(141));
    EXPECT_EQ(decode("\x1B[1;3A"), ext(152));
    EXPECT_EQ(decode("\x1B[1;6A"), ext(141));  // Ctrl+Shift: Ctrl wins
    EXPECT_EQ(decode("\x1B[1;7A"), ext(152));  // Ctrl+Alt: Alt wins
    EXPECT_EQ(decode("\x1B[1;9A"), ext(152));  // Meta counts as Alt
    EXPECT_EQ(decode("\x1B[1;5D"), ext(115));
    EXPECT_EQ(decode("\x1B[a"), ext(72));      // rxvt Shift+Up
    EXPECT_EQ(decode("\x1BOa"), ext(141));     // rxvt Ctrl+Up
    EXPECT_EQ(decode("\x1B\x1B[A"), ext(152)); // Alt as an Esc prefix
    EXPECT_EQ(consumed("\x1B[1;5Ax"), 6u);
    EXPECT_EQ(consumed("\x1B\x1B[A"), 4u);
}

TEST(KeyDecoderTest, EditingAndPagingKeys) {
    for (const char* home : {"\x1B[H", "\x1BOH", "\x1B[1~", "\x1B[7~"}) {
        EXPECT_EQ(decode(home), ext(71)) << home + 1;
    }
    for (const char* end : {"\x1B[F", "\x1BOF", "\x1B[4~", "\x1B[8~"}) {
        EXPECT_EQ(decode(end), ext(79)) << end + 1;
    }
    EXPECT_EQ(decode("\x1B[2~"), ext(82));
    EXPECT_EQ(decode("\x1B[3~"), ext(83));
    EXPECT_EQ(decode("\x1B[5~"), ext(73));
    EXPECT_EQ(decode("\x1B[6~"), ext(81));
    EXPECT_EQ(decode("\x1B[3;5~"), ext(147));
    EXPECT_EQ(decode("\x1B[6;3~"), ext(161));
    EXPECT_EQ(decode("\x1B[3^"), ext(147));  // rxvt Ctrl
    EXPECT_EQ(decode("\x1B[2$"), ext(82));   // rxvt Shift
    EXPECT_EQ(decode("\x1B[5@"), ext(132));  // rxvt Ctrl+Shift
    EXPECT_EQ(decode("\x1B[Z"), ext(15));    // Shift+Tab
}

TEST(KeyDecoderTest, FunctionKeys) {
    const char* xterm[] = {"\x1BOP", "\x1BOQ", "\x1BOR", "\x1BOS", "\x1B[15~", "\x1B[17~",
                           "\x1B[18~", "\x1B[19~", "\x1B[20~", "\x1B[21~", "\x1B[23~", "\x1B[24~"};
    const int codes[] = {59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 133, 134};
    for (std::size_t i = 0; i < std::size(xterm); ++i) {
        EXPECT_EQ(decode(xterm[i]), ext(codes[i])) << "F" << i + 1;
    }
    const char* vt220[] = {"\x1B[11~", "\x1B[12~", "\x1B[13~", "\x1B[14~"};
    const char* linuxConsole[] = {"\x1B[[A", "\x1B[[B", "\x1B[[C", "\x1B[[D", "\x1B[[E"};
    for (std::size_t i = 0; i < std::size(vt220); ++i) {
        EXPECT_EQ(decode(vt220[i]), ext(codes[i])) << "F" << i + 1;
    }
    for (std::size_t i = 0; i < std::size(linuxConsole); ++i) {
        EXPECT_EQ(decode(linuxConsole[i]), ext(codes[i])) << "F" << i + 1;
    }
    EXPECT_EQ(decode("\x1B[1;2P"), ext(84));
    EXPECT_EQ(decode("\x1BO2P"), ext(84));
    EXPECT_EQ(decode("\x1BO1;5P"), ext(94));
    EXPECT_EQ(decode("\x1B[1;3P"), ext(104));
    EXPECT_EQ(decode("\x1B[23;2~"), ext(135));
    EXPECT_EQ(decode("\x1B[24;5~"), ext(138));
    EXPECT_EQ(decode("\x1B[11^"), ext(94));
}

TEST(KeyDecoderTest, AltWithACharacter) {
    EXPECT_EQ(decode("\x1B" "a"), ext(30));
    EXPECT_EQ(decode("\x1B" "A"), ext(30));
    EXPECT_EQ(decode("\x1B" "2"), ext(121));
    EXPECT_EQ(decode("\x1B" "@"), ext(121));  // Alt+Shift+2
    EXPECT_EQ(decode("\x1B "), 32);
    EXPECT_EQ(decode("\x1B\t"), ext(165));
    EXPECT_EQ(decode("\x1B\r"), ext(166));
    EXPECT_EQ(decode("\x1B\\"), ext(43));
    EXPECT_EQ(decode("\x1B\x01"), ext(30));  // Ctrl+Alt+A: Alt wins
    // A hand-typed Esc and then [ or O, with nothing after it.
    EXPECT_EQ(decode("\x1B["), NeedsMore);
    EXPECT_EQ(decode("\x1B[", true), ext(26));
    EXPECT_EQ(decode("\x1BO", true), ext(24));
    EXPECT_EQ(consumed("\x1B" "ab"), 2u);
}

TEST(KeyDecoderTest, UnknownSequencesAreSkippedWhole) {
    EXPECT_EQ(decode("\x1B[99~"), Skipped);
    EXPECT_EQ(consumed("\x1B[99~x"), 5u);
    EXPECT_EQ(decode("\x1B[200~"), Skipped);  // bracketed paste
    EXPECT_EQ(decode("\x1B[I"), Skipped);     // focus in
    EXPECT_EQ(decode("\x1B[E"), Skipped);     // keypad 5 without Num Lock
    EXPECT_EQ(decode("\x1B[[Z"), Skipped);
    EXPECT_EQ(decode("\x1B[1;5"), NeedsMore);
    EXPECT_EQ(decode("\x1B[1;5", true), Skipped);
    EXPECT_EQ(consumed("\x1B[1;5", true), 5u);
    // Longer than any key report: dropped as it comes, up to its final byte.
    const std::string garbage = "\x1B[" + std::string(100, '1');
    EXPECT_EQ(decodeKey(garbage, Xterm, false).rest, SequenceRest::ControlSequence);
    EXPECT_EQ(consumed(garbage + "~x"), 103u);
}

TEST(KeyDecoderTest, RepliesAndReportsAreSkippedWhole) {
    const std::string replies[] = {
        "\x1B[?64;1;2;6;9;15;16;17;18;21;22;28c",  // device attributes
        "\x1B[?62;22c",
        "\x1B[>41;327;0c",
        "\x1B[?2004;1$y",  // mode reports
        "\x1B[4;1$y",
        "\x1B[<0;10;5M",   // mouse, SGR form
        "\x1B[M !\xFF",     // mouse, X10 form
        "\x1B]11;rgb:0000/0000/0000\x1B\\",
        "\x1B]10;rgb:ffff/ffff/ffff\x07",
        "\x1BP1+r6b6375=1B4F41\x1B\\",
        "\x1B_Gi=1;OK\x1B\\",
    };
    for (const std::string& reply : replies) {
        EXPECT_EQ(decode(reply), Skipped) << reply.substr(1);
        EXPECT_EQ(consumed(reply + "k"), reply.size()) << reply.substr(1);
    }
    EXPECT_EQ(replies[0].size(), 35u);
    EXPECT_EQ(decode("\x1B[M !"), NeedsMore);
    // A string broken off by a control byte or by Esc and another sequence.
    EXPECT_EQ(consumed("\x1B]11;rgb\r"), 8u);
    EXPECT_EQ(consumed("\x1B]11;rgb\x1B[A"), 8u);
    // Typed by hand, Esc and the introducer alone are Alt with that key.
    EXPECT_EQ(decode("\x1B]"), NeedsMore);
    EXPECT_EQ(decode("\x1B]", true), ext(27));
    EXPECT_EQ(decode("\x1BP", true), ext(25));
}

TEST(KeyDecoderTest, RestOfALongStringIsDroppedByteByByte) {
    const DecodedKey start = decodeKey("\x1B]11;rgb:", Xterm, false);
    EXPECT_EQ(start.consumed, 9u);
    SequenceRest rest = start.rest;
    for (int i = 0; i < 100000 && rest == SequenceRest::ControlString; ++i) {
        rest = skipSequenceByte(rest, '0').rest;
    }
    EXPECT_EQ(rest, SequenceRest::ControlString);
    rest = skipSequenceByte(skipSequenceByte(rest, 0x1B).rest, '\\').rest;
    EXPECT_EQ(rest, SequenceRest::None);
    EXPECT_TRUE(skipSequenceByte(SequenceRest::ControlStringEscape, '[').escapeFirst);
}

TEST(KeyDecoderTest, CharacterReportsGiveTheKeysUsualCode) {
    EXPECT_EQ(decode("\x1B[97;5u"), decode("\x01"));          // Ctrl+A
    EXPECT_EQ(decode("\x1B[27;5;97~"), decode("\x01"));
    EXPECT_EQ(decode("\x1B[97;3u"), decode("\x1B" "a"));      // Alt+A
    EXPECT_EQ(decode("\x1B[97;7u"), decode("\x1B\x01"));     // Ctrl+Alt+A
    EXPECT_EQ(decode("\x1B[97u"), 'a');
    EXPECT_EQ(decode("\x1B[97;2u"), 'A');
    EXPECT_EQ(decode("\x1B[13;5u"), 10);   // Ctrl+Enter
    EXPECT_EQ(decode("\x1B[27u"), 27);     // Esc
    EXPECT_EQ(decode("\x1B[1078u"), 0xE6); // ж
    EXPECT_EQ(decode("\x1B[97:65;2u"), 'A');
    EXPECT_EQ(consumed("\x1B[97;5ux"), 7u);
    // Ctrl+1 has no code; releases and keys without a character keep waiting.
    EXPECT_EQ(decode("\x1B[49;5u"), Skipped);
    EXPECT_EQ(decode("\x1B[97;5:3u"), Skipped);
    EXPECT_EQ(decode("\x1B[57441;2u"), Skipped);  // left Shift
}

TEST(KeyDecoderTest, MultibyteCharacterIsOneKey) {
    EXPECT_EQ(decode("\xD0\xB6"), 0xE6);  // ж, by its Windows-1251 code
    EXPECT_EQ(consumed("\xD0\xB6" "x"), 2u);
    EXPECT_EQ(decode("\xD0"), NeedsMore);
    EXPECT_EQ(decode("\xD0", true), '?');
    EXPECT_EQ(decode("\xE2\x82\xAC"), 0x88);  // €
    EXPECT_EQ(decode("\xF0\x9F\x98\x80"), '?');
    EXPECT_EQ(consumed("\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(decode("\x1B\xD0\xB6"), 0xE6);  // Alt with a letter that has no key row
    const KeyDecoderSettings koi8{0x7F, false};
    EXPECT_EQ(decode("\xD6", false, koi8), 0xD6);
}

TEST(KeyDecoderTest, SequenceBoundsAndTheBytesTheyTake) {
    const std::string digits(62, '1');  // "ESC [" and these are one short of the longest
    const struct {
        std::string bytes;
        bool quiet;
        int code;
        std::size_t consumed;
    } cases[] = {
        // Intermediates 0x20-0x2F and parameters 0x30-0x3F belong to the
        // sequence, finals run from '@' to '~', anything else breaks it off.
        {"\x1B[1 qx", false, Skipped, 5},
        {"\x1B[1/qx", false, Skipped, 5},
        {"\x1B[>0;9:?cx", false, Skipped, 9},
        {"\x1B[2@x", false, ext(146), 4},  // rxvt Ctrl+Shift+Insert
        {"\x1B[@x", false, Skipped, 3},
        {"\x1B[1\x7F", false, Skipped, 3},
        {"\x1B[1\r", false, Skipped, 3},
        {"\x1B[" + digits, false, NeedsMore, 0},
        {"\x1B[" + digits + "1", false, Skipped, 65},
        {"\x1B[[Ax", false, ext(59), 4},
        {"\x1B[[Zx", false, Skipped, 4},
        // SS3, with the modifier as a digit or a second parameter.
        {"\x1BOBx", false, ext(80), 3},
        {"\x1BO5Ax", false, ext(141), 4},
        {"\x1BO1;3Cx", false, ext(157), 6},
        {"\x1BObx", false, ext(145), 3},  // rxvt Ctrl+Down
        {"\x1BOpx", false, '0', 3},       // keypad in application mode
        {"\x1BOy", false, '9', 3},
        {"\x1BOo", false, '/', 3},
        {"\x1BOM", false, 13, 3},
        {"\x1BO5p", false, ext(146), 4},
        {"\x1BO3y", false, Skipped, 4},  // Alt with a keypad digit has no code
        {"\x1BO", true, ext(24), 2},  // Alt+O typed by hand
        {"\x1BOz", false, Skipped, 3},
        {"\x1BO\r", false, Skipped, 2},
        {"\x1BO5", false, NeedsMore, 0},
        {"\x1BO5", true, Skipped, 3},
        {"\x1BO" + digits, false, NeedsMore, 0},
        {"\x1BO" + digits + "1", false, Skipped, 65},
        {"\x1B\x1BOAx", false, ext(152), 4},
        {"\x1B\x1Bx", false, ext(1), 2},  // Alt+Esc, then a key of its own
        // Control bytes with Alt: Alt wins over their Ctrl.
        {"\x1Ex", false, 30, 1},
        {"\x1B\x1E", false, ext(125), 2},  // Alt+Ctrl+^
        {"\x1B\x1C", false, ext(43), 2},
        {"\x1B\x1D", false, ext(27), 2},
        {"\x1B\x1F", false, ext(130), 2},
        {"\x1B\n", false, ext(166), 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decode(c.bytes, c.quiet), c.code) << c.bytes.substr(1);
        EXPECT_EQ(consumed(c.bytes, c.quiet), c.consumed) << c.bytes.substr(1);
    }
    EXPECT_EQ(decodeKey("\x1B[" + digits + "1", Xterm, false).rest, SequenceRest::ControlSequence);
}

// Feeds the bursts to a key reader as a terminal sends them, falling quiet
// between them, and stops at the first key as the key wait does: the key's
// code and the bytes read, Skipped when the reader waits on without a time
// limit.
std::pair<int, std::size_t> readKey(const std::vector<std::string>& bursts) {
    KeyReader reader;
    KeyReadStep step;
    std::size_t bytesRead = 0;
    for (std::size_t b = 0; b < bursts.size() && step.status != KeyReadStatus::Key; ++b) {
        if (b > 0 && step.status == KeyReadStatus::WaitOrQuiet) {
            step = feedQuiet(reader, Xterm);
        }
        for (std::size_t i = 0; i < bursts[b].size() && step.status != KeyReadStatus::Key; ++i) {
            step = feedKeyByte(reader, static_cast<unsigned char>(bursts[b][i]), Xterm);
            ++bytesRead;
            EXPECT_LE(reader.pending.size(), LongestKeySequence);
        }
    }
    switch (step.status) {
    case KeyReadStatus::Key:
        EXPECT_EQ(reader.pending, "");  // nothing read beyond the key
        return {step.key.extended ? ext(step.key.value) : step.key.value, bytesRead};
    case KeyReadStatus::WaitForByte: return {Skipped, bytesRead};
    case KeyReadStatus::WaitOrQuiet: return {NeedsMore, bytesRead};
    }
    return {};
}

TEST(KeyReaderTest, ReadsUpToTheKeyAndDropsRepliesAsTheyCome) {
    const std::string longReply = "\x1B[" + std::string(100, '1') + "~";
    const struct {
        std::vector<std::string> bursts;
        int code;
        std::size_t bytesRead;
    } cases[] = {
        {{"\x1B"}, NeedsMore, 1},
        {{"\x1B", ""}, 27, 1},
        {{"\x1B", "a"}, 27, 1},
        {{"\x1B" "a"}, ext(30), 2},
        {{"\x1B]", ""}, ext(27), 2},
        {{"\x1B[Ax"}, ext(72), 3},
        {{"\xD0\xB6x"}, 0xE6, 2},
        {{"\x1B[1;5", "bc"}, 'b', 6},  // the quiet drops the unfinished sequence
        {{"\x1B[1\rz"}, 13, 4},        // the byte that broke it off is the key
        {{"\x1B[?1;2c"}, Skipped, 7},
        {{"\x1B[?1;2ck"}, 'k', 8},
        {{"\x1B[? /@k"}, 'k', 7},
        {{"\x1B[?9:?~k"}, 'k', 8},
        {{"\x1B[?1\x7F"}, 8, 5},
        {{longReply + "k"}, 'k', longReply.size() + 1},
        {{"\x1B]11;x\x07k"}, 'k', 8},
        {{"\x1B]1 \x7F\xD0\xB6\x1B\\k"}, 'k', 10},
        {{"\x1B]11;\x1F"}, 31, 6},
        {{"\x1B]11;x\x1B[Ak"}, ext(72), 9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readKey(c.bursts), std::make_pair(c.code, c.bytesRead)) << c.bursts[0].substr(1);
    }
}

}  // namespace

namespace {

// Console key events as the console reports them.
ConsoleKeyEvent press(std::uint16_t virtualKey, char character = 0, std::uint32_t state = 0) {
    return {true, virtualKey, static_cast<unsigned char>(character), state};
}

int codeOf(const ConsoleKeyEvent& event) {
    const std::optional<KeyCode> key = keyOfConsoleEvent(event);
    if (!key) {
        return Skipped;
    }
    return key->extended ? 256 + key->value : key->value;
}

TEST(ConsoleKeyEventTest, ModifiersAloneAndReleasesKeepWaiting) {
    EXPECT_EQ(codeOf(press(0x10, 0, control_key::Shift)), Skipped);     // Shift
    EXPECT_EQ(codeOf(press(0x11, 0, control_key::LeftCtrl)), Skipped);  // Ctrl
    EXPECT_EQ(codeOf(press(0x12, 0, control_key::LeftAlt)), Skipped);   // Alt
    EXPECT_EQ(codeOf(press(0x14)), Skipped);                            // Caps Lock
    EXPECT_EQ(codeOf({false, vk::Enter, '\r', 0}), Skipped);
    EXPECT_EQ(codeOf(press(0x31, 0, control_key::RightCtrl)), Skipped);  // Ctrl+1
    EXPECT_EQ(codeOf(press(vk::Numpad0 + 3, 0, control_key::LeftAlt)), Skipped);
}

TEST(ConsoleKeyEventTest, CharacterComesFirstThenTheTable) {
    EXPECT_EQ(codeOf(press(vk::Enter, '\r')), 13);
    EXPECT_EQ(codeOf(press('A', 'a')), 'a');
    EXPECT_EQ(codeOf(press('A', 0)), 0);  // a letter without its character
    EXPECT_EQ(codeOf(press(vk::F1)), ext(59));
    EXPECT_EQ(codeOf(press(vk::F1, 0, control_key::Shift)), ext(84));
    EXPECT_EQ(codeOf(press(vk::F1, 0, control_key::Shift | control_key::RightCtrl)), ext(94));
    EXPECT_EQ(codeOf(press(vk::F1, 0, control_key::LeftCtrl | control_key::RightAlt)), ext(104));
    EXPECT_EQ(codeOf(press('A', 0, control_key::LeftAlt)), ext(30));
    EXPECT_EQ(codeOf(press(0x1FF)), Skipped);
}

}  // namespace
