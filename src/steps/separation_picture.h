#pragma once
// The picture and the page of a root separation: F over [A, B] with the
// grid's points marked by F's sign, the intervals where F changes sign
// highlighted and labelled, the roots on the grid ringed; the page adds the
// table of values and the intervals with their commands. Fed point by
// point; what is drawn stays bounded whatever N (points closer than a few
// pixels to the last one drawn are left out, touching bands merged).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "steps/lesson_page.h"
#include "steps/picture.h"

// A grid point as the picture draws it, in double.
struct SeparationMark {
    double x = 0.0;
    double fx = 0.0;
    int sign = 0;  // -1, 0, +1
    bool defined = false;
};

// What the picture carries from point to point.
struct SeparationDrawing {
    PictureEquation equation;
    PictureFrame frame;
    std::string points;  // the marks, in the picture's markup
    std::string bands;   // sign changes, closed
    std::string labels;
    std::string roots;
    std::optional<double> lastPoint;  // the last mark's pixel
    std::optional<double> lastRoot;
    std::optional<std::array<double, 2>> band;  // the band still open, in pixels
    std::array<double, 2> labelEnds{-1e9, -1e9};  // where each row of labels ends
};

void startSeparationDrawing(SeparationDrawing& drawing, PictureEquation equation);
// One grid point; where F changed sign on the way from the previous one
// (at `from`), `interval` names the interval for its label.
void drawGridPoint(SeparationDrawing& drawing, const SeparationMark& point, std::optional<double> from,
                   const std::string& interval);
// The whole picture, as a file of its own or inside the page; the caption's
// lines in page text, the first in a larger font.
std::string separationPicture(const SeparationDrawing& drawing, const PictureStyle& style,
                              const std::vector<std::string>& caption);

// A row of the page's table, in page text.
struct SeparationRow {
    std::uint64_t index = 0;
    std::string x;
    std::string fx;
    std::string sign;
    std::string note;
    bool change = false;  // F changed sign from the row before
};

// What the page says besides the rows and the picture, in page text.
struct SeparationSummary {
    std::string found;                 // the closing count, or why none
    std::vector<std::string> findings;  // the intervals with their commands, the roots on the grid
    std::vector<std::string> legend;
};

std::string separationPageText(const PageFacts& facts, const std::vector<SeparationRow>& rows,
                               const SeparationSummary& summary, const std::string& picture);
