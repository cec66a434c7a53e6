#pragma once
// What chords does with its command line: "--help" or "--version" alone
// answer as GNU programs do; every other command line is ignored and the
// dialog starts as it always has.

#include <span>
#include <string_view>

#include "console/console.h"

enum class DialogRequest { Dialog, Help, Version };

DialogRequest requestOf(std::span<const char* const> arguments);

void showDialogHelp(Console& console);
void showDialogVersion(Console& console, const char* version);
