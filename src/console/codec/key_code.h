#pragma once

// A key press as the key wait reports it: a plain code, or an extended code
// whose byte the wait hands out in two halves (0 first, then the byte);
// -1 when the keyboard cannot be read.
struct KeyCode {
    int value = -1;
    bool extended = false;
};
