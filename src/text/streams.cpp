// The text room, at the ground floor: byte streams over a device handed in,
// the number scanner and writer, UTF-8 and Windows-1251. No device, no OS
// header: every piece is tested as it is. The console, the expression
// reader and chords-steps build on it.
#include "text/streams.h"

void writeBytes(OutputStream& stream, std::string_view bytes) {
    if (stream.failed || bytes.empty()) {
        return;
    }
    if (!stream.write(stream.device, bytes.data(), bytes.size())) {
        stream.failed = true;
    }
}

int peekByte(InputStream& stream) {
    if (stream.position == stream.size) {
        if (stream.ended) {
            return -1;
        }
        stream.position = 0;
        stream.size = stream.read(stream.device, stream.buffer.data(), stream.buffer.size());
        if (stream.size == 0) {
            stream.ended = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(stream.buffer[stream.position]);
}

void takeByte(InputStream& stream) {
    if (stream.position < stream.size) {
        ++stream.position;
    }
}
