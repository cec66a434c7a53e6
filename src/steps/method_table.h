#pragma once
// The columns of the methods beside the chords: which value each shows,
// its name in the table (Windows-1251) and in the CSV, declared once for
// the table, the CSV and the page.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "solver/method.h"

// What a column holds. The points and values are the step's, in the run's
// format; Step and Bound are estimates, in double.
enum class MethodCell { A, B, FA, Slope, ChordX, TangentX, X, FX, Step, Bound };

struct MethodColumn {
    MethodCell cell;
    std::string shown;
    const char* csv;
};

// After the row's number ("n") and before the note.
std::vector<MethodColumn> methodColumns(Method method);
// "n,a,b,...,note".
std::string methodCsvHeader(Method method);

// What a step's row notes, in the table's words and the CSV's.
struct MethodNotes {
    bool met = false;
    StopRule rule = StopRule::Residual;
    Method method = Method::Bisection;
    bool exactZero = false;
    bool undefined = false;
    bool flat = false;
    bool noPoint = false;
    bool outside = false;
    bool pole = false;
};
std::string methodNoteWords(const MethodNotes& notes);
// "Шаги с FIRST по LAST повторяют шаг FIRST - 1: ...", the stretch only counted.
std::string methodIdleRow(std::uint64_t first, std::uint64_t last);
std::string methodNoteCsv(const MethodNotes& notes);
