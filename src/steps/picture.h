#pragma once
// The picture as SVG 1.1 text in UTF-8, written in three parts so that rows
// of any number stream through it: the opening (frame, axis, the curve), one
// piece per chord, and the closing (root, caption).

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "solver/chord.h"

// What the picture shows of the equation: F at a point, NaN where F is not
// defined there, and the texts that name it and the run, as SVG markup.
struct PictureEquation {
    std::function<double(double)> f;
    // F known convex, as the dialog's is: its largest values on an interval
    // are at the ends. Otherwise the samples find them.
    bool convex = false;
    double a = 0.0;  // the interval as typed
    double b = 1.0;
    std::string heading;  // the caption's first words: "Метод хорд: "
    std::string title;    // the equation in plain characters, for the title
    std::string caption;  // the equation as the caption writes it
    std::string aText;    // the ends in the title and the caption
    std::string bText;
    std::string aLabel;   // the ends below the axis
    std::string bLabel;
    std::string aName = "Xib";  // what the title and the labels call the ends
    std::string bName = "Xie";
    std::string inputs;   // the caption's line of the inputs
};

// A chord as the picture draws it: the points it joins (F's values, or for
// a modified method the scaled value at the end kept, with F's own value
// there as well) and where it lands.
struct DrawnChord {
    double a = 0.0;
    double b = 0.0;
    double fa = 0.0;
    double fb = 0.0;
    std::optional<double> x;
    double fx = 0.0;
    std::optional<double> curveA;  // F(a) where fa is scaled
    std::optional<double> curveB;
};

// How the walk ended, as the picture says it.
struct PictureResult {
    std::optional<double> root;  // found
    std::string rootText;
    std::string report;  // the report's lines on one line
};

// The plotted window in the equation's own coordinates.
struct PictureFrame {
    double xLow = 0.0;
    double xHigh = 1.0;
    double yLow = -1.0;
    double yHigh = 1.0;
};

// What the chord pieces carry from one to the next: the numbered marks'
// positions (a few dozen at most, since they must stand apart), and what has
// been drawn. A chord on the same whole pixels as one drawn before, or a mark
// at the same written position, is not drawn again, so that the picture's
// size stays bounded whatever the number of chords. Memory stays bounded
// too: marks by the picture's width, chords by a cap on those remembered,
// beyond which only the last few are compared.
struct PictureMarks {
    std::vector<double> numbered;
    bool numbering = true;
    std::unordered_set<std::uint64_t> chordsSeen;
    static constexpr std::size_t MostChordsSeen = 1 << 14;
    static constexpr std::size_t Recent = 8;
    std::array<std::uint64_t, Recent> recentChords{};
    std::size_t recentChordCount = 0;
    std::vector<bool> marksSeen;  // by hundredths of a pixel
    std::uint64_t chordsMerged = 0;  // chords not drawn: on drawn pixels, or crowded
    std::optional<double> lastDrawnMark;  // the last drawn approximation's pixel
    std::uint64_t groupsDrawn = 0;   // pieces written, each one step of an animation
    // The last chords with a point, for the magnified inset around the root.
    static constexpr std::size_t InsetChords = 6;
    std::array<DrawnChord, InsetChords> lastChords{};
    std::array<std::uint64_t, InsetChords> lastChordNumbers{};
    std::size_t lastChordCount = 0;
};

// How the picture is drawn: as a file of its own or inside the lesson page,
// whose script shows the chords step by step; with --animate, a file whose
// chords appear one a second.
struct PictureStyle {
    bool inPage = false;
    bool animate = false;
    std::optional<ChordEnd> fixedEnd;
    bool scaledEnds = false;  // a modified method: chords may start from scaled values
    // The inset on the side of the axis the curve leaves empty, not always
    // at the top (where the dialog's own pictures keep it).
    bool insetClearOfCurve = false;
    // A method beside the chords: its caption counts steps, not chords.
    bool countsSteps = false;
    // Simple iteration: the curve is phi beside y = x, the root on that line.
    bool staircase = false;
};

// The chords that --animate shows one by one; those after it appear with
// the last of them.
inline constexpr std::uint64_t AnimatedSteps = 120;

// The interval with a small margin on both sides; vertically F's values over
// the interval, the larger side cut to at most a few times the smaller so
// that a huge value at one end does not flatten the chords. Evaluates F.
PictureFrame frameFor(const PictureEquation& equation);

// A point's pixel in the plot, at its edge for a value beyond it; a
// coordinate as every picture writes it (two decimals).
double plotPixelX(const PictureFrame& frame, double x);
double plotPixelY(const PictureFrame& frame, double y);
std::string pictureCoordinate(double pixel);

// A segment of the equation's plane clipped to the frame, as a line of the
// class given; empty where none of it is inside.
std::string pictureSegment(const PictureFrame& frame, double x1, double y1, double x2, double y2,
                           const char* lineClass);
// Text at a pixel, with an anchor and further attributes.
std::string pictureText(double x, double y, const char* anchor, const std::string& content,
                        const char* attributes = "");
// The approximation x on the axis: a dashed vertical up to (x, fx) and a
// short mark across the axis.
std::string pictureApproximation(const PictureFrame& frame, double x, double fx);
// The step's number under the mark at markX, while the numbers stand far
// enough apart to tell.
std::string pictureNumber(const PictureFrame& frame, PictureMarks& marks, double markX, std::uint64_t number);
// Whether a piece on these whole pixels was drawn before; if not, it is
// remembered. The whole pixel of a written coordinate.
bool pictureDrawnBefore(PictureMarks& marks, const std::array<long, 4>& pixels);
long wholePixel(const std::string& written);
// Whether a step at markX crowds within a few pixels of the last one drawn
// in a picture of its own (the page draws every step); if not, it is the
// last one drawn.
bool pictureCrowded(PictureMarks& marks, double markX, const PictureStyle& style);
// One step's pieces as a group the page's script and --animate step through.
std::string pictureGroup(PictureMarks& marks, std::uint64_t number, const std::string& pieces,
                         const PictureStyle& style);

// The title, the grid with its ticks at round values, the axes, the curve,
// and the fixed end marked and named (with where it is, when outside).
std::string pictureOpening(const PictureFrame& frame, const PictureEquation& equation,
                           const PictureStyle& style);
// One chord as a group: the chord from (a, F(a)) to (b, F(b)), a dashed
// line from its approximation on the axis up to the curve, where the next
// chord starts, and the approximation marked, numbered while the marks
// stand far enough apart to tell; a scaled value ringed and joined to F's
// own. In a file of its own, what lies on pixels already drawn is left out;
// in the page every chord is drawn.
std::string pictureChord(const PictureFrame& frame, PictureMarks& marks, std::uint64_t number,
                         const DrawnChord& chord, const PictureStyle& style);
// A magnified inset around the last approximation when the last chords
// crowd within a few pixels; the root highlighted when found; the caption
// with the equation, the inputs and the report, and how many chords were
// drawn (and how many distinct ones the picture shows, where some fell on
// the same pixels); the end of the document.
struct PictureCounts {
    std::uint64_t chordsDrawn = 0;
    std::uint64_t chordsShown = 0;
};
std::string pictureClosing(const PictureFrame& frame, const PictureEquation& equation,
                           const PictureResult& result, PictureCounts counts,
                           const PictureStyle& style, const PictureMarks& marks);

// F over the interval and why no chord is drawn: a rejected interval, so
// that the teacher still sees where F changes sign, or does not.
std::string pictureOfRejection(const PictureEquation& equation, const std::string& reason,
                               const PictureStyle& style);

// A picture drawn beside a walk, chord by chord: what it carries from the
// opening to the closing.
struct PictureDrawing {
    PictureEquation equation;
    PictureStyle style;
    PictureFrame frame;
    PictureMarks marks;
    std::uint64_t chordsDrawn = 0;  // chords with a point
};

// The frame for the equation, and the opening.
std::string startPicture(PictureDrawing& drawing, PictureEquation equation, const PictureStyle& style);
std::string pictureChordOf(PictureDrawing& drawing, std::uint64_t number, const DrawnChord& chord);
// The closing, with the chords drawn and those the picture shows apart.
std::string finishPicture(const PictureDrawing& drawing, const PictureResult& result);

// The dialog's equation as the picture shows it.
PictureEquation fixedPictureEquation(const ChordParameters& parameters);
