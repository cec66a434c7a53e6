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

struct PageChord {
    std::uint64_t number = 0;
    ChordStep step;
    ChordEstimates estimates;
    bool accuracyMet = false;
    bool fixedEndReplaced = false;
};

// Chords kept at each end of a long walk.
inline constexpr std::size_t PageEnds = 500;

struct LessonPage {
    std::vector<PageChord> first;
    std::vector<PageChord> last;  // a ring once full, its oldest at lastNext
    std::size_t lastNext = 0;
    std::uint64_t chords = 0;     // chords drawn, kept or not
    std::uint64_t idleFirst = 0;  // the idle stretch, when there is one
    std::uint64_t idleLast = 0;
    bool idleFlagged = false;
};

void keepPageChord(LessonPage& page, const PageChord& chord);

// What the page says besides the chords.
struct PageFacts {
    ChordParameters parameters;
    std::optional<ChordEnd> fixedEnd;
    std::optional<double> smallestSlope;
    ChordOutcome outcome;
};

std::string lessonPageText(const LessonPage& page, const PageFacts& facts);

// The page for an interval that was refused: F over it and the reason, so
// that the teacher still sees where F changes sign, or does not.
std::string rejectionPageText(const ChordParameters& parameters, const std::string& reasonUtf8);
