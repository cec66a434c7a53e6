// Prints the input mode of the console it runs in, as "MODE=0x...": what a
// program left behind for the shell, read by the wine console session.
#include <windows.h>

#include <cstdio>

int main() {
    const HANDLE input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     0, nullptr);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) {
        std::printf("MODE=none\n");
        return 1;
    }
    std::printf("MODE=0x%lx\n", static_cast<unsigned long>(mode));
    return 0;
}
