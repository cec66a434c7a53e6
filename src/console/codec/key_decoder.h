#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

// What is left of a control sequence or string whose start was skipped: the
// rest arrives later and is dropped byte by byte, so that a reply of any
// length costs no memory and none of it is taken for keys.
enum class SequenceRest : std::uint8_t {
    None,
    ControlSequence,        // "ESC [": up to its final byte
    ControlString,          // OSC, DCS, APC, PM, SOS: up to BEL or ST
    ControlStringEscape,    // the same, just after an Esc that may begin ST
};

struct DecodedKey {
    DecodeStatus status = DecodeStatus::NeedMore;
    KeyCode key;
    std::size_t consumed = 0;  // bytes of the sequence, for Key and Skip
    // For Skip only: the sequence goes on after all the bytes given.
    SequenceRest rest = SequenceRest::None;
};

struct SkipStep {
    SequenceRest rest;     // what is still to be skipped after this byte
    bool consumed;         // false: the byte is not part of the sequence
    bool escapeFirst;      // an Esc the string swallowed begins the bytes to decode
};

// Drops one byte of the rest of a sequence. A byte that cannot belong to it
// (a control byte inside a control sequence, a control other than BEL or
// Esc inside a string) ends the sequence unconsumed, so a key pressed while
// a broken reply hangs is still read; so does Esc followed by anything but
// the backslash of ST.
SkipStep skipSequenceByte(SequenceRest rest, unsigned char byte);

// Decodes the key press at the start of the bytes a terminal sent. `quiet`
// says that the terminal has sent nothing more for a while, so an unfinished
// sequence is all there is: a lone Esc is then the Esc key. Never answers
// NeedMore when quiet.
//
// Understood: plain and control characters, the erase character, UTF-8
// characters, Alt+key as an Esc prefix, the CSI and SS3 sequences of xterm
// and its descendants, the Linux console, VT220 and rxvt for arrows, Home,
// End, Page Up/Down, Insert, Delete and F1-F12, with xterm's modifier
// parameter and rxvt's modifier suffixes, and characters with modifiers in
// the forms "ESC [ code ; modifier u" and "ESC [ 27 ; modifier ; code ~".
//
// Every other control sequence and control string (terminal replies, mouse
// reports) is skipped whole, whatever its length: when its end has not come
// yet the answer is Skip of all the bytes with `rest` saying what to drop
// next. A sequence that may still become a key is never longer than
// LongestKeySequence before the answer is Key or Skip.
DecodedKey decodeKey(std::string_view bytes, const KeyDecoderSettings& settings, bool quiet);

inline constexpr std::size_t LongestKeySequence = 64;

// The key wait's reading of one key press, fed byte by byte as the terminal
// sends them. It holds at most the bytes of one key sequence: the rest of a
// reply or unknown sequence is dropped as it arrives.
struct KeyReader {
    std::string pending;                         // bytes of the key still being read
    SequenceRest skipping = SequenceRest::None;  // what the next bytes drop, with none pending
};

enum class KeyReadStatus {
    Key,          // a key press is complete: read no further
    WaitForByte,  // nothing is pending: wait for the next byte as long as it takes
    WaitOrQuiet,  // the pending bytes may go on: wait a short while for the next
                  // byte, and report the quiet when none comes
};

struct KeyReadStep {
    KeyReadStatus status = KeyReadStatus::WaitForByte;
    KeyCode key;  // for Key
};

// One byte from the terminal. On Key the key's bytes leave the reader, so it
// may go on to the next key press.
KeyReadStep feedKeyByte(KeyReader& reader, unsigned char byte, const KeyDecoderSettings& settings);

// The terminal sent nothing within the short wait: the pending bytes are all
// there is. A lone Esc is then the Esc key, an unfinished sequence is dropped.
KeyReadStep feedQuiet(KeyReader& reader, const KeyDecoderSettings& settings);
