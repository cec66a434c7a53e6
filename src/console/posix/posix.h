#pragma once
// The POSIX console's parts, shared between its own files only.

#include <string>
#include <string_view>

#include "console/codec/key_code.h"

// Waits for one key on the terminal behind the descriptor; the terminal's
// mode is changed only for the wait and always put back, also when a
// terminating signal arrives meanwhile.
KeyCode readTerminalKey(int terminal, bool utf8);

// Picks the conversion of Windows-1251 texts into the locale's character
// set (iconv), falling back to UTF-8 where that set has no Cyrillic letters.
void openTextConversion();
void closeTextConversion();
std::string convertToTerminal(std::string_view cp1251Text);
// Whether the terminal is taken to speak UTF-8, in output and in keys.
bool terminalUsesUtf8();
