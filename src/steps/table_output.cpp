#include "steps/table_output.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "text/cp1251_text.h"
#include "steps/table.h"

// The writing thread and the one block it holds. The thread alone touches
// standard output while a block is in flight.
struct BlockWriter {
    std::mutex lock;
    std::condition_variable changed;
    std::unique_ptr<char[]> block;  // in flight, or free for the next swap
    std::size_t size = 0;
    bool inFlight = false;
    bool stopping = false;
    std::atomic<bool> refused{false};
    std::thread thread;
};

namespace {

void writeBlocks(BlockWriter& writer, Console& console) {
    std::unique_lock<std::mutex> held(writer.lock);
    for (;;) {
        writer.changed.wait(held, [&writer] { return writer.inFlight || writer.stopping; });
        if (!writer.inFlight) {
            return;
        }
        held.unlock();
        writeRaw(console, {writer.block.get(), writer.size});
        writer.refused.store(console.output.failed);
        held.lock();
        writer.inFlight = false;
        writer.changed.notify_all();
    }
}

void waitUntilWritten(BlockWriter& writer) {
    std::unique_lock<std::mutex> held(writer.lock);
    writer.changed.wait(held, [&writer] { return !writer.inFlight; });
}

std::unique_ptr<char[]> newBlock() {
    return std::make_unique<char[]>(TableBlock + MaxRowBytes + 1);
}

// A full block goes to the thread, which is started for the first one; the
// block it wrote before comes back to be filled. Built without threads (the
// WebAssembly module, whose output is memory anyway) it is written at once.
void handOnBlock(TableOutput& table) {
#if !CHORDS_TABLE_WRITER_THREAD
    writeRaw(table.console, {table.buffer.get(), table.used});
    table.used = 0;
    return;
#endif
    if (!table.writer) {
        table.writer = std::make_unique<BlockWriter>();
        table.writer->block = newBlock();
        BlockWriter& writer = *table.writer;
        Console& console = table.console;
        writer.thread = std::thread([&writer, &console] { writeBlocks(writer, console); });
    }
    BlockWriter& writer = *table.writer;
    waitUntilWritten(writer);
    {
        const std::lock_guard<std::mutex> held(writer.lock);
        std::swap(writer.block, table.buffer);
        writer.size = table.used;
        writer.inFlight = true;
    }
    writer.changed.notify_all();
    table.used = 0;
}

}  // namespace

TableOutput::TableOutput(Console& device) : console(device), buffer(newBlock()) {}

TableOutput::~TableOutput() {
    if (writer) {
        waitUntilWritten(*writer);
        {
            const std::lock_guard<std::mutex> held(writer->lock);
            writer->stopping = true;
        }
        writer->changed.notify_all();
        writer->thread.join();
    }
}

char* rowSpace(TableOutput& table) {
    return table.buffer.get() + table.used;
}

void rowAdded(TableOutput& table, std::size_t bytes) {
    table.used += bytes;
    if (table.used >= TableBlock) {
        handOnBlock(table);
    }
}

void addBytes(TableOutput& table, std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), TableBlock - std::min(TableBlock, table.used));
        std::memcpy(table.buffer.get() + table.used, bytes.data(), piece);
        bytes.remove_prefix(piece);
        rowAdded(table, piece);
    }
}

// Rows of numbers are ASCII and go in as they are; a line with letters goes
// in converted, in pieces the console's conversion accepts (one byte is one
// character in Windows-1251, so no piece splits a letter).
void addLine(TableOutput& table, std::string_view cp1251Line) {
    const bool ascii = std::all_of(cp1251Line.begin(), cp1251Line.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x80;
    });
    if (ascii) {
        addBytes(table, cp1251Line);
    } else {
        for (std::size_t at = 0; at < cp1251Line.size(); at += MaxTextBytes) {
            addBytes(table, shownText(table.console, cp1251Line.substr(at, MaxTextBytes)));
        }
    }
    addBytes(table, "\n");
}

void addProse(TableOutput& table, std::string_view cp1251Line, std::size_t indent) {
    if (table.columns) {
        addLine(table, foldProse(cp1251Line, indent, *table.columns));
    } else {
        addLine(table, cp1251Line);
    }
}

void flushTable(TableOutput& table) {
    if (table.writer) {
        waitUntilWritten(*table.writer);
    }
    writeRaw(table.console, {table.buffer.get(), table.used});
    table.used = 0;
}

void addRow(TableOutput& table, std::string_view cp1251Row) {
    if (table.columns && cp1251Row.size() > *table.columns) {
        addLine(table, foldRow(cp1251Row, table.layout, *table.columns));
    } else {
        addLine(table, cp1251Row);
    }
}

bool tableRefused(const TableOutput& table) {
    return table.writer ? table.writer->refused.load() : table.console.output.failed;
}

// A chord's row, made in place at the end of the buffer; a row with a note
// in words goes through the conversion.
void addChordRow(TableOutput& table, RowFormat& format, std::uint64_t number,
                 const DialogChord& step, const ChordEstimates& estimates, const ChordNotes& notes) {
    char* const start = rowSpace(table);
    char* const end = writeChordRow(start, format, number, step, estimates, notes);
    const auto size = static_cast<std::size_t>(end - start);
    if (table.columns && size > *table.columns) {
        const std::string row(start, end);
        addLine(table, foldRow(row, table.layout, *table.columns));
        return;
    }
    if (notes.any()) {
        const std::string row(start, end);
        addLine(table, row);
        return;
    }
    *end = '\n';
    rowAdded(table, size + 1);
}

