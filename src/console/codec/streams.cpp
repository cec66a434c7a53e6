// The codec room: the console's pure pieces, over bytes alone: the byte
// streams, the number scanner and writer, the key decoder and key table, the
// code-page tables. No device, no OS header: every piece is tested as it is.
#include "console/codec/streams.h"

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
