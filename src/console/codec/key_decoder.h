#pragma once

#include <cstddef>
#include <string_view>

#include "console/codec/key_code.h"

// What the decoder needs to know of the terminal.
struct KeyDecoderSettings {
    unsigned char erase = 0x7F;  // the terminal's erase character: Backspace
    bool utf8 = true;            // characters arrive as UTF-8 sequences
};

enum class DecodeStatus {
    Key,       // a key press with a code
    NeedMore,  // the bytes may be the start of a longer sequence
    Skip,      // a whole sequence without a code: drop it and keep waiting
};

struct DecodedKey {
    DecodeStatus status = DecodeStatus::NeedMore;
    KeyCode key;
    std::size_t consumed = 0;  // bytes of the sequence, for Key and Skip
};

// Decodes the key press at the start of the bytes a terminal sent. `quiet`
// says that the terminal has sent nothing more for a while, so an unfinished
// sequence is all there is: a lone Esc is then the Esc key. Never answers
// NeedMore when quiet.
//
// Understood: plain and control characters, the erase character, UTF-8
// characters, Alt+key as an Esc prefix, and the CSI and SS3 sequences of
// xterm and its descendants, the Linux console, VT220 and rxvt for arrows,
// Home, End, Page Up/Down, Insert, Delete and F1-F12, with xterm's modifier
// parameter and rxvt's modifier suffixes.
DecodedKey decodeKey(std::string_view bytes, const KeyDecoderSettings& settings, bool quiet);
