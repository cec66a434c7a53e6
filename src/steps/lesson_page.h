#pragma once
// The lesson page: one self-contained HTML file in Russian with the table,
// the picture and a script that steps through the chords. The walk hands it
// every chord; it keeps the first and the last ones only, so that the page
// stays small whatever their number, and writes the page at the end.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "solver/chord.h"
#include "steps/estimates.h"
#include "steps/picture.h"
#include "steps/table.h"
#include "text/cp1251_text.h"

// Chords kept at each end of a long walk.
inline constexpr std::size_t PageEnds = 500;

// The first and the last chords of a walk, of whatever record the walk
// keeps, and the idle stretch when there is one.
template <typename Chord>
struct KeptChords {
    std::vector<Chord> first;
    std::vector<Chord> last;  // a ring once full, its oldest at lastNext
    std::size_t lastNext = 0;
    std::uint64_t chords = 0;     // chords drawn, kept or not
    std::uint64_t idleFirst = 0;  // the idle stretch, when there is one
    std::uint64_t idleLast = 0;
    bool idleFlagged = false;
};

template <typename Chord>
void keepChord(KeptChords<Chord>& kept, const Chord& chord) {
    ++kept.chords;
    if (kept.first.size() < PageEnds) {
        kept.first.push_back(chord);
    } else if (kept.last.size() < PageEnds) {
        kept.last.push_back(chord);
    } else {
        kept.last[kept.lastNext] = chord;
        kept.lastNext = (kept.lastNext + 1) % PageEnds;
    }
}

// The kept chords in their order: the first ones, then the ring's.
template <typename Chord>
std::vector<Chord> keptInOrder(const KeptChords<Chord>& kept) {
    std::vector<Chord> chords = kept.first;
    for (std::size_t i = 0; i < kept.last.size(); ++i) {
        chords.push_back(kept.last[(kept.lastNext + i) % kept.last.size()]);
    }
    return chords;
}

// One row of the page's table and its chord in the picture; the cells are
// page text, as the table writes the values.
struct PageRow {
    std::uint64_t number = 0;
    DrawnChord chord;
    std::vector<std::string> values;  // a, b, F(a), F(b), x, F(x)
    std::string replaced;
    std::optional<std::string> scale;  // a modified method's factor column
    ChordEstimates estimates;
    std::string note;
    bool flagged = false;  // moved the end the method keeps
};

// What the page says besides the rows, in page text.
struct PageFacts {
    PictureEquation equation;
    PictureResult result;
    PictureStyle style;
    std::string title;    // the window's title
    std::string heading;  // the table's title line
    std::vector<std::string> inputs;  // the lines under it
    std::string report;
    bool dialogAnswer = false;  // the report is the one the dialog gives
    std::string rule;     // the chords' stopping test, as a formula
    std::string lastX;    // the last approximation and F there; empty without one
    std::uint64_t chords = 0;
    std::string stop;     // why the walk stopped
    std::string fixedEnd;
    std::string bound;
    std::string boundM1;  // M1 and the second bound's formula
    std::vector<std::string> legend;
    std::optional<std::string> idleRow;
    // The form and scripts that compute in the page; empty without them.
    std::string appForm;
    std::string appScripts;
};

std::string lessonPageText(const std::vector<PageRow>& rows, const PageFacts& facts);

// A row of a method beside the chords, in page text: its number, the cells
// of its columns and its note.
struct StepRow {
    std::uint64_t number = 0;
    std::vector<std::string> cells;
    std::string note;
};

// The page of such a method: the head's lines under the heading, the
// summary, the picture drawn for the page and the table of the steps,
// stepped through by the chords' script. `facts.chords` counts the steps.
struct StepsPage {
    PageFacts facts;
    std::vector<std::string> columns;  // page text, the number's first
    std::string picture;
};

std::string stepsPageText(const std::vector<StepRow>& rows, const StepsPage& page);

// The page for an interval that was refused: F over it and the reason, so
// that the teacher still sees where F changes sign, or does not.
std::string rejectionPageText(const PageFacts& facts, const std::string& reasonUtf8);

// A page of another kind in the same shell: the head, the styles, the
// heading and the inputs, then the body given (page text).
std::string pageWithBody(const PageFacts& facts, const std::string& body);

// Page text from the table's Windows-1251 text.
std::string pageText(const std::string& cp1251);
std::string pageText(const CatalogueText& cp1251);
std::string escapedPageText(std::string_view utf8);

// A chord as the page keeps it, with F's own values where the chord starts
// from scaled ones.
template <typename Numbers>
struct PageChord {
    std::uint64_t number = 0;
    Chord<Numbers> step;
    ChordEstimates estimates;
    ChordNotes notes;
    std::optional<double> curveA;
    std::optional<double> curveB;
};

// Why a walk stopped, as its last kept chord and its counts tell.
struct WalkEnd {
    bool found = false;
    StopRule stop = StopRule::Residual;
    std::uint64_t chords = 0;
    std::uint64_t idleFirst = 0;  // the idle stretch, when there is one
    std::uint64_t idleLast = 0;
    bool idleFlagged = false;
    bool lastUndefined = false;
    bool lastPole = false;
    bool lastNoChord = false;
    std::uint32_t limit = 0;
};

template <typename Numbers>
WalkEnd walkEndOf(const KeptChords<PageChord<Numbers>>& kept, const std::vector<PageChord<Numbers>>& chords,
                  bool found, StopRule stop, std::uint32_t limit) {
    const bool last = !chords.empty();
    return {found, stop, kept.chords, kept.idleFirst, kept.idleLast, kept.idleFlagged,
            last && chords.back().step.x && chords.back().step.undefined, last && chords.back().step.pole,
            last && !chords.back().step.x, limit};
}

// The reason in Windows-1251: short for the page's summary; in full for
// the table's idle line, with why the chords repeat where that is known.
std::string stopReason(const WalkEnd& end, bool full);
