#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// Hands bytes to a device. Returns false when the device refuses them.
using WriteBytes = bool (*)(void* device, const char* bytes, std::size_t size);

// Fills the buffer with at most capacity bytes from a device and returns how
// many it got; 0 means the input has ended (a device error ends it too).
using ReadBytes = std::size_t (*)(void* device, char* buffer, std::size_t capacity);

// A byte stream towards a device. Nothing is held back: every write hands its
// bytes on before it returns. After a refused write the stream is failed and
// drops everything that follows.
struct OutputStream {
    WriteBytes write = nullptr;
    void* device = nullptr;
    bool failed = false;
};

// A byte stream from a device, read in chunks of at most 512 bytes, so a long
// line costs no more memory than a short one. Once failed it stays failed.
struct InputStream {
    ReadBytes read = nullptr;
    void* device = nullptr;
    std::array<char, 512> buffer{};
    std::size_t position = 0;
    std::size_t size = 0;
    bool ended = false;
    bool failed = false;
};

void writeBytes(OutputStream& stream, std::string_view bytes);

// The next byte without taking it, or -1 at the end of input. Asks the device
// for more only when every byte already held has been taken.
int peekByte(InputStream& stream);
void takeByte(InputStream& stream);
