#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/streams.h"

// An input device over a string that hands out at most `chunk` bytes per
// read, as a terminal hands out one line at a time.
struct MemoryInput {
    std::string_view bytes;
    std::size_t chunk = 512;
    std::size_t reads = 0;
};

inline std::size_t readMemory(void* device, char* buffer, std::size_t capacity) {
    auto& input = *static_cast<MemoryInput*>(device);
    ++input.reads;
    const std::size_t size = std::min({capacity, input.chunk, input.bytes.size()});
    input.bytes.copy(buffer, size);
    input.bytes.remove_prefix(size);
    return size;
}

inline InputStream streamOver(MemoryInput& input) {
    InputStream stream;
    stream.read = readMemory;
    stream.device = &input;
    return stream;
}

// Everything the stream has not handed out yet, taken from it.
inline std::string unread(InputStream& stream) {
    std::string rest;
    for (int byte = peekByte(stream); byte >= 0; byte = peekByte(stream)) {
        rest += static_cast<char>(byte);
        takeByte(stream);
    }
    return rest;
}
