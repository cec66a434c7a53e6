#pragma once
// Standard output's lines, gathered into blocks of about 64 KiB: one write a
// block instead of one a row. Whole lines only, in the output device's bytes.
// A long table's blocks are written by a thread of their own, one block in
// flight at most, so that the system's time for a file overlaps with making
// the next block (where the build has threads: CHORDS_TABLE_WRITER_THREAD);
// flushTable hands on what is gathered and waits until all
// of it is written: before anything goes to standard error, before the
// report, before the end.

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "console/console.h"
#include "steps/table.h"

inline constexpr std::size_t TableBlock = 64 * 1024;

struct BlockWriter;

struct TableOutput {
    explicit TableOutput(Console& device);
    ~TableOutput();
    TableOutput(const TableOutput&) = delete;
    TableOutput& operator=(const TableOutput&) = delete;

    Console& console;
    // The block being filled, with room for one more row beyond it.
    std::unique_ptr<char[]> buffer;
    std::size_t used = 0;
    // A terminal's width, to fold rows to; none for a file or a pipe.
    std::optional<std::size_t> columns{};
    TableColumns layout;
    // Started with the first full block; none for a short table.
    std::unique_ptr<BlockWriter> writer;
};

// Room for a row at the end of the block (MaxRowBytes), and the row made
// there taken in.
char* rowSpace(TableOutput& table);
void rowAdded(TableOutput& table, std::size_t bytes);

void addBytes(TableOutput& table, std::string_view bytes);
// A Windows-1251 line and its line break, in the output device's characters.
void addLine(TableOutput& table, std::string_view cp1251Line);
// The same for a line of prose: on a terminal folded at blanks to its
// width (foldProse), the lines after the first `indent` blanks in.
void addProse(TableOutput& table, std::string_view cp1251Line, std::size_t indent = 0);

// A chord's row, made in place at the end of the block; a row with a note
// in words goes through the conversion, a row wider than the terminal is
// folded.
void addChordRow(TableOutput& table, RowFormat& format, std::uint64_t number, const DialogChord& step,
                 const ChordEstimates& estimates, const ChordNotes& notes);

// A row written as a string: folded where it is wider than the terminal.
void addRow(TableOutput& table, std::string_view cp1251Row);

// Everything gathered written, or refused.
void flushTable(TableOutput& table);
// Whether standard output has refused a block so far (blocks still in
// flight not counted). Safe while a block is being written.
bool tableRefused(const TableOutput& table);
