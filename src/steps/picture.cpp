#include "steps/picture.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

#include "text/float_chars.h"
#include "text/number_format.h"
#include "text/text_codec.h"
#include "dialog/report.h"
#include "solver/equation.h"
#include "steps/table.h"
#include "steps/texts.h"

namespace {

// The whole picture, in its own units (pixels at the natural size).
constexpr int PictureWidth = 1000;
constexpr int PictureHeight = 760;
// The plot area inside the picture; the caption goes below it.
constexpr double PlotLeft = 90.0;
constexpr double PlotRight = 970.0;
constexpr double PlotTop = 20.0;
constexpr double PlotBottom = 560.0;
// About this many grid lines each way.
constexpr double TicksWanted = 8.0;
constexpr int CurveSegments = 500;
// One side of the vertical range is cut to this many times the other.
constexpr double LargestSideRatio = 8.0;
// Stands in for an infinite F: far beyond any frame, still finite to clip.
constexpr double FarValue = 1e300;
constexpr double MarkSpacing = 16.0;  // pixels between numbered marks
constexpr double CrowdedPixels = 3.0;  // approximations closer than this to the last drawn are not drawn

struct Point { double x, y; };

double finiteOrFar(double value) {
    if (std::isnan(value)) {
        return FarValue;
    }
    return std::clamp(value, -FarValue, FarValue);
}

// Where a frame is drawn: the plot, or the magnified inset.
struct Box { double left, right, top, bottom; };

constexpr Box PlotBox{PlotLeft, PlotRight, PlotTop, PlotBottom};

// A pixel inside the box, at its edge for a value beyond it; NaN, which
// clamping would keep, at the left or the bottom.
double pixelX(const PictureFrame& frame, double x, const Box& box = PlotBox) {
    const double pixel =
        box.left + (x - frame.xLow) / (frame.xHigh - frame.xLow) * (box.right - box.left);
    return std::isnan(pixel) ? box.left : std::clamp(pixel, box.left, box.right) + 0.0;
}

double pixelY(const PictureFrame& frame, double y, const Box& box = PlotBox) {
    const double pixel =
        box.bottom - (y - frame.yLow) / (frame.yHigh - frame.yLow) * (box.bottom - box.top);
    return std::isnan(pixel) ? box.bottom : std::clamp(pixel, box.top, box.bottom) + 0.0;
}

// Liang-Barsky: the part of the segment inside the frame, in the equation's
// coordinates, or none.
std::optional<std::array<Point, 2>> clipToFrame(const PictureFrame& frame, Point from, Point to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {from.x - frame.xLow, frame.xHigh - from.x, from.y - frame.yLow,
                        frame.yHigh - from.y};
    double enter = 0.0;
    double leave = 1.0;
    for (int side = 0; side < 4; ++side) {
        if (p[side] == 0.0) {
            if (q[side] < 0.0) {
                return std::nullopt;
            }
            continue;
        }
        const double t = q[side] / p[side];
        if (p[side] < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) {
        return std::nullopt;
    }
    return std::array<Point, 2>{Point{from.x + enter * dx, from.y + enter * dy},
                                Point{from.x + leave * dx, from.y + leave * dy}};
}

// Pixel coordinates with two decimals: the same bytes on every run.
std::string coordinate(double pixel) {
    std::array<char, 32> digits{};
    return {digits.data(), floatchars::toChars(digits.data(), digits.data() + digits.size(), pixel,
                                               std::chars_format::fixed, 2).ptr};
}

std::string attribute(const char* name, double pixel) {
    return std::string(" ") + name + "=\"" + coordinate(pixel) + "\"";
}

std::string utf8(const CatalogueText& text) {
    return cp1251ToUtf8(text.data());
}

std::string textElement(double x, double y, const char* anchor, const std::string& content,
                        const char* style = "") {
    return "<text" + attribute("x", x) + attribute("y", y) + " text-anchor=\"" + anchor + "\"" +
           style + ">" + content + "</text>\n";
}

std::string pixelPair(const PictureFrame& frame, Point point, const Box& box) {
    return coordinate(pixelX(frame, point.x, box)) + "," + coordinate(pixelY(frame, point.y, box));
}

// Whether F leaps between two samples from beyond one edge of the frame to
// beyond the other, or is not finite at either: a pole, or a gap, which is
// not to be drawn as a line across the picture. The dialog's F, convex and
// finite, never does.
bool leaps(const PictureFrame& frame, const PictureEquation& equation, Point from, Point to) {
    if (equation.convex) {
        return false;
    }
    if (!std::isfinite(from.y) || !std::isfinite(to.y)) {
        return true;
    }
    return (from.y > frame.yHigh && to.y < frame.yLow) || (from.y < frame.yLow && to.y > frame.yHigh);
}

// The curve as one path, lifting the pen only where it leaves the frame,
// where F is not defined, or where it leaps across the frame. The pen is
// compared by the pixels written, so a clipped point that differs from the
// last one in bits the picture does not show keeps the line unbroken. In the
// plot or in the inset's box, in as many segments.
std::string curvePath(const PictureFrame& frame, const PictureEquation& equation, const Box& box = PlotBox,
                      int segments = CurveSegments) {
    std::string path = "<path class=\"curve\" d=\"";
    Point previous{frame.xLow, equation.f(frame.xLow)};
    std::string penAt;  // where the last piece ended; empty with the pen lifted
    for (int i = 1; i <= segments; ++i) {
        const double x = frame.xLow + (frame.xHigh - frame.xLow) * i / segments;
        const Point next{x, equation.f(x)};
        if (std::isnan(previous.y) || std::isnan(next.y) || leaps(frame, equation, previous, next)) {
            penAt.clear();
        } else if (const auto clipped = clipToFrame(frame, {previous.x, finiteOrFar(previous.y)},
                                                    {next.x, finiteOrFar(next.y)})) {
            const std::string start = pixelPair(frame, (*clipped)[0], box);
            if (start != penAt) {
                path += "M" + start + " ";
            }
            penAt = pixelPair(frame, (*clipped)[1], box);
            path += "L" + penAt + " ";
        } else {
            penAt.clear();
        }
        previous = next;
    }
    if (path.back() == ' ') {
        path.pop_back();
    }
    return path + "\"/>\n";
}

// F where it is defined, far beyond the frame where it is not.
double valueOfF(const PictureEquation& equation, double x) {
    return finiteOrFar(equation.f(x));
}

}  // namespace

PictureFrame frameFor(const PictureEquation& equation) {
    const double low = std::min(equation.a, equation.b);
    const double high = std::max(equation.a, equation.b);
    // Halves first: their difference stays finite for any two doubles.
    const double margin = high > low ? (high / 2 - low / 2) * 0.1 : 1.0;
    PictureFrame frame{low - margin, high + margin, 0.0, 0.0};
    // A convex F has its largest values on the interval at the ends, its
    // smallest somewhere inside; the samples find it, and any other F's
    // largest. Where F is not defined a sample counts for nothing.
    double above = std::max(valueOfF(equation, low), valueOfF(equation, high));
    double below = 0.0;
    std::vector<double> magnitudes;
    for (int i = 0; i <= CurveSegments; ++i) {
        const double value = equation.f(low + (high - low) * i / CurveSegments);
        if (std::isnan(value)) {
            continue;
        }
        below = std::max(below, -finiteOrFar(value));
        if (!equation.convex) {
            above = std::max(above, finiteOrFar(value));
            magnitudes.push_back(std::fabs(finiteOrFar(value)));
        }
    }
    if (!magnitudes.empty()) {
        // Near a pole the samples grow without bound: either side is cut to
        // a few times F's size at the ends or over most of the interval, so
        // that the chords are not flattened against the axis.
        std::nth_element(magnitudes.begin(), magnitudes.begin() + static_cast<std::ptrdiff_t>(magnitudes.size() / 2),
                         magnitudes.end());
        const double typical = std::max({std::fabs(valueOfF(equation, low)), std::fabs(valueOfF(equation, high)),
                                         magnitudes[magnitudes.size() / 2]});
        above = std::min(above, typical * LargestSideRatio);
        below = std::min(below, typical * LargestSideRatio);
    }
    above = std::max(above, 1e-30);
    below = std::max(below, 1e-30);
    above = std::min(above, below * LargestSideRatio);
    below = std::min(below, above * LargestSideRatio);
    frame.yLow = -below * 1.1;
    frame.yHigh = above * 1.1;
    return frame;
}

namespace {

// A number's text with its minus as the proper sign.
std::string withMinusSign(std::string text) {
    return text.starts_with("-") ? text.replace(0, 1, "&#8722;") : text;
}

// 1, 2 or 5 times a power of ten, giving about TicksWanted steps.
double roundStep(double range) {
    const double rough = range / TicksWanted;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double scaled = rough / power;
    return (scaled < 1.5 ? 1.0 : scaled < 3.5 ? 2.0 : scaled < 7.5 ? 5.0 : 10.0) * power;
}

// A tick's label with as many decimals as the step has, or in three
// significant digits where that would be long.
std::string tickLabel(double value, double step) {
    std::array<char, 40> digits{};
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    if (value == 0.0) {
        return "0";
    }
    const auto result = decimals > 5 || std::fabs(value) >= 1e6
                            ? floatchars::toChars(digits.data(), digits.data() + digits.size(), value,
                                                  std::chars_format::general, 3)
                            : floatchars::toChars(digits.data(), digits.data() + digits.size(), value,
                                                  std::chars_format::fixed, decimals);
    return withMinusSign(std::string(digits.data(), result.ptr));
}

// Tick values i*step inside [low, high].
std::vector<double> ticksBetween(double low, double high, double step) {
    std::vector<double> ticks;
    for (double i = std::ceil(low / step); i * step <= high && ticks.size() < 40; ++i) {
        ticks.push_back(i * step + 0.0);
    }
    return ticks;
}

std::string gridAndTicks(const PictureFrame& frame) {
    std::string svg = "<g class=\"grid\">\n";
    std::string labels;
    const double xStep = roundStep(frame.xHigh - frame.xLow);
    for (const double x : ticksBetween(frame.xLow, frame.xHigh, xStep)) {
        const double at = pixelX(frame, x);
        svg += "<line" + attribute("x1", at) + attribute("y1", PlotTop) + attribute("x2", at) +
               attribute("y2", PlotBottom) + "/>\n";
        labels += textElement(at, PlotBottom + 20, "middle", tickLabel(x, xStep));
    }
    const double yStep = roundStep(frame.yHigh - frame.yLow);
    for (const double y : ticksBetween(frame.yLow, frame.yHigh, yStep)) {
        const double at = pixelY(frame, y);
        svg += "<line" + attribute("x1", PlotLeft) + attribute("y1", at) + attribute("x2", PlotRight) +
               attribute("y2", at) + "/>\n";
        labels += textElement(PlotLeft - 6, at + 5, "end", tickLabel(y, yStep));
    }
    return svg + "</g>\n<g class=\"ticks\">\n" + labels + "</g>\n";
}

// A value for a label: three significant digits, powers of ten as such.
std::string labelValue(double value) {
    std::array<char, 40> digits{};
    const auto result = floatchars::toChars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::general, 3);
    std::string text(digits.data(), result.ptr);
    const std::size_t e = text.find('e');
    if (e != std::string::npos) {
        const int power = std::stoi(text.substr(e + 1));
        text = text.substr(0, e) + "&#183;10<tspan baseline-shift=\"super\" font-size=\"13\">" +
               std::to_string(power) + "</tspan>";
    }
    return withMinusSign(text);
}

// The end the method keeps, ringed and named; where F there lies beyond the
// frame, an arrow at the frame's edge says where it is.
std::string fixedEndMark(const PictureFrame& frame, const PictureEquation& equation, ChordEnd end) {
    const double c = end == ChordEnd::A ? equation.a : equation.b;
    const double fc = valueOfF(equation, c);
    const double x = pixelX(frame, c);
    const bool inside = fc <= frame.yHigh && fc >= frame.yLow;
    const double y = pixelY(frame, fc);
    const char* anchor = x > (PlotLeft + PlotRight) / 2 ? "end" : "start";
    const double textX = x + (x > (PlotLeft + PlotRight) / 2 ? -12 : 12);
    const std::string name = end == ChordEnd::A ? "a" : "b";
    std::string svg = "<g class=\"fixed\">\n";
    if (inside) {
        svg += "<circle" + attribute("cx", x) + attribute("cy", y) + attribute("r", 7) + "/>\n";
        svg += textElement(textX, std::clamp(y + 5, PlotTop + 18, PlotBottom - 8), anchor,
                           utf8(TextPictureFixedEnd) + " " + name, " class=\"halo\"");
        return svg + "</g>\n";
    }
    const double tip = y;
    const double base = tip == PlotTop ? tip + 14 : tip - 14;
    svg += "<path d=\"M" + coordinate(x) + "," + coordinate(tip) + " L" + coordinate(x - 7) + "," +
           coordinate(base) + " L" + coordinate(x + 7) + "," + coordinate(base) + " Z\"/>\n";
    svg += textElement(textX, std::clamp(base + (tip == PlotTop ? 14 : -4), PlotTop + 18, PlotBottom - 8),
                       anchor,
                       utf8(TextPictureFixedEnd) + " " + name + " = " + labelValue(c) + ", F(" + name +
                           ") = " + labelValue(fc) + ", " + utf8(TextPictureOutside),
                       " class=\"halo\"");
    return svg + "</g>\n";
}

}  // namespace

double plotPixelX(const PictureFrame& frame, double x) { return pixelX(frame, x); }
double plotPixelY(const PictureFrame& frame, double y) { return pixelY(frame, y); }
std::string pictureCoordinate(double pixel) { return coordinate(pixel); }

// The frame's x range and the plot's pixels: the page's script drags the ends.
std::string frameText(const PictureFrame& frame) {
    std::array<char, 96> text{};
    std::snprintf(text.data(), text.size(), "%.17g %.17g %g %g", frame.xLow, frame.xHigh, PlotLeft, PlotRight);
    return text.data();
}

std::string pictureOpening(const PictureFrame& frame, const PictureEquation& equation,
                           const PictureStyle& style) {
    const double axisY = pixelY(frame, 0.0);
    const std::string width = std::to_string(PictureWidth);
    const std::string height = std::to_string(PictureHeight);
    std::string svg =
        style.inPage ? std::string()
                     : "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    // No width or height: the picture fills the window or the page's column.
    svg += std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"") +
           (style.inPage ? " id=\"picture\" role=\"img\" aria-labelledby=\"picture-title\" data-frame=\"" +
                               frameText(frame) + "\""
                         : "") +
           " viewBox=\"0 0 " + width + " " + height +
           "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"16\">\n"
           "<title id=\"picture-title\">" + equation.heading + equation.title + ", " + equation.aName + " = " +
           equation.aText + ", " + equation.bName + " = " + equation.bText + "</title>\n"
           // Told apart in grey and without red and green: blue chords, dashed
           // vermilion verticals, black curve, a reddish purple fixed end.
           "<style type=\"text/css\">\n"
           ".curve { fill: none; stroke: #000000; stroke-width: 2.5; }\n"
           ".axis { stroke: #404040; stroke-width: 1.5; }\n"
           ".grid line { stroke: #e0e0e0; stroke-width: 1; }\n"
           ".chord { stroke: #0072b2; stroke-width: 1.5; }\n"
           ".vertical { stroke: #d55e00; stroke-width: 1.5; stroke-dasharray: 6 4; }\n"
           ".mark { stroke: #d55e00; stroke-width: 2; }\n"
           ".label { fill: #a03c00; font-size: 16px; }\n"
           ".fixed { fill: #9e3c78; stroke: #9e3c78; }\n"
           ".fixed circle { fill: none; stroke-width: 3; }\n"
           ".fixed text { stroke: #ffffff; }\n"
           ".halo { stroke: #ffffff; stroke-width: 4; paint-order: stroke; }\n"
           ".root { fill: none; stroke: #000000; stroke-width: 3; }\n"
           ".current .chord { stroke-width: 4; }\n"
           ".current .vertical { stroke-width: 3; }\n" +
           (style.scaledEnds ? ".scaled { fill: #ffffff; stroke: #0072b2; stroke-width: 2; }\n"
                               ".scaled line { stroke-dasharray: 2 3; }\n"
                             : "") +
           "</style>\n"
           "<rect x=\"0\" y=\"0\" width=\"" + width + "\" height=\"" + height +
           "\" fill=\"#ffffff\"/>\n";
    svg += gridAndTicks(frame);
    svg += "<rect" + attribute("x", PlotLeft) + attribute("y", PlotTop) +
           attribute("width", PlotRight - PlotLeft) + attribute("height", PlotBottom - PlotTop) +
           " fill=\"none\" stroke=\"#404040\"/>\n";
    // The axis where it lies in the frame: simple iteration's may not hold it.
    if (frame.yLow <= 0.0 && frame.yHigh >= 0.0) {
        svg += "<line class=\"axis\"" + attribute("x1", PlotLeft) + attribute("y1", axisY) +
               attribute("x2", PlotRight) + attribute("y2", axisY) + "/>\n";
    }
    // The interval's ends below the ticks.
    svg += textElement(pixelX(frame, equation.a), PlotBottom + 40, "middle", equation.aName + " = " + equation.aLabel);
    svg += textElement(pixelX(frame, equation.b), PlotBottom + 40, "middle", equation.bName + " = " + equation.bLabel);
    svg += curvePath(frame, equation);
    if (style.fixedEnd) {
        svg += fixedEndMark(frame, equation, *style.fixedEnd);
    }
    return svg;
}

bool pictureDrawnBefore(PictureMarks& marks, const std::array<long, 4>& pixels) {
    std::uint64_t key = 0;
    for (const long pixel : pixels) {
        key = (key << 16) | static_cast<std::uint16_t>(pixel);
    }
    if (marks.chordsSeen.contains(key)) {
        return true;
    }
    const std::size_t kept = std::min(marks.recentChordCount, PictureMarks::Recent);
    if (std::find(marks.recentChords.begin(), marks.recentChords.begin() + static_cast<std::ptrdiff_t>(kept),
                  key) != marks.recentChords.begin() + static_cast<std::ptrdiff_t>(kept)) {
        return true;
    }
    if (marks.chordsSeen.size() < PictureMarks::MostChordsSeen) {
        marks.chordsSeen.insert(key);
    }
    marks.recentChords[marks.recentChordCount++ % PictureMarks::Recent] = key;
    return false;
}

namespace {

// Whether a mark at this position, to the hundredth of a pixel, was drawn.
bool markSeen(PictureMarks& marks, double pixel) {
    if (!(pixel >= 0.0 && pixel <= PictureWidth)) {
        return true;  // never drawn: no pixel of the picture
    }
    const auto at = static_cast<std::size_t>(std::lround(pixel * 100));
    if (marks.marksSeen.size() <= at) {
        marks.marksSeen.resize(static_cast<std::size_t>(PictureWidth) * 100 + 1);
    }
    if (marks.marksSeen[at]) {
        return true;
    }
    marks.marksSeen[at] = true;
    return false;
}

}  // namespace

// The whole pixel of a coordinate as written ("363.50" is 364), so that
// what is merged is told by the file itself.
long wholePixel(const std::string& written) {
    long hundredths = 0;
    for (const char c : written) {
        if (c >= '0' && c <= '9') {
            hundredths = hundredths * 10 + (c - '0');
        }
    }
    return (hundredths + 50) / 100;
}

bool pictureCrowded(PictureMarks& marks, double markX, const PictureStyle& style) {
    if (style.inPage) {
        return false;
    }
    if (marks.lastDrawnMark && std::fabs(markX - *marks.lastDrawnMark) < CrowdedPixels) {
        return true;
    }
    marks.lastDrawnMark = markX;
    return false;
}

std::string pictureSegment(const PictureFrame& frame, double x1, double y1, double x2, double y2,
                           const char* lineClass) {
    const auto clipped = clipToFrame(frame, {x1, finiteOrFar(y1)}, {x2, finiteOrFar(y2)});
    if (!clipped) {
        return "";
    }
    const auto& [from, to] = *clipped;
    return std::string("<line class=\"") + lineClass + "\"" + attribute("x1", pixelX(frame, from.x)) +
           attribute("y1", pixelY(frame, from.y)) + attribute("x2", pixelX(frame, to.x)) +
           attribute("y2", pixelY(frame, to.y)) + "/>\n";
}

std::string pictureText(double x, double y, const char* anchor, const std::string& content,
                        const char* attributes) {
    return textElement(x, y, anchor, content, attributes);
}

std::string pictureApproximation(const PictureFrame& frame, double x, double fx) {
    const double markX = pixelX(frame, x);
    const double axisY = pixelY(frame, 0.0);
    const double curveY = pixelY(frame, finiteOrFar(fx));
    std::string svg;
    if (curveY != axisY) {
        svg += "<line class=\"vertical\"" + attribute("x1", markX) + attribute("y1", axisY) +
               attribute("x2", markX) + attribute("y2", curveY) + "/>\n";
    }
    return svg + "<line class=\"mark\"" + attribute("x1", markX) + attribute("y1", std::max(axisY - 6, PlotTop)) +
           attribute("x2", markX) + attribute("y2", std::min(axisY + 6, PlotBottom)) + "/>\n";
}

std::string pictureNumber(const PictureFrame& frame, PictureMarks& marks, double markX, std::uint64_t number) {
    if (!marks.numbering) {
        return "";
    }
    const bool apart = std::none_of(marks.numbered.begin(), marks.numbered.end(),
                                    [markX](double at) { return std::fabs(at - markX) < MarkSpacing; });
    marks.numbering = apart;
    if (!apart) {
        return "";
    }
    marks.numbered.push_back(markX);
    const double axisY = pixelY(frame, 0.0);
    return textElement(markX, std::min(axisY + 22, PlotBottom - 4), "middle", std::to_string(number),
                       " class=\"label halo\"");
}

std::string pictureGroup(PictureMarks& marks, std::uint64_t number, const std::string& pieces,
                         const PictureStyle& style) {
    ++marks.groupsDrawn;
    std::string group = "<g class=\"step\" data-chord=\"" + std::to_string(number) + "\">\n";
    if (style.animate) {
        // Hidden from each round's start for as many seconds as its place.
        group += "<set attributeName=\"opacity\" to=\"0\" begin=\"loop.begin\" dur=\"" +
                 std::to_string(std::min(marks.groupsDrawn, AnimatedSteps)) + "s\"/>\n";
    }
    return group + pieces + "</g>\n";
}

namespace {

// A modified method's scaled value at an end: ringed where the chord starts,
// and joined by a dotted line to F's own value there, on the curve. Beyond
// the frame the ring would stand at its edge, in the wrong place: the line
// alone leaves the frame there.
std::string scaledEnd(const PictureFrame& frame, double end, double scaled, double onCurve) {
    const double x = pixelX(frame, end);
    const double from = pixelY(frame, finiteOrFar(onCurve));
    const double to = pixelY(frame, finiteOrFar(scaled));
    std::string svg;
    if (from != to) {
        svg += "<line" + attribute("x1", x) + attribute("y1", from) + attribute("x2", x) + attribute("y2", to) + "/>";
    }
    if (scaled >= frame.yLow && scaled <= frame.yHigh) {
        svg += "<circle" + attribute("cx", x) + attribute("cy", to) + attribute("r", 5) + "/>";
    }
    return svg.empty() ? svg : "<g class=\"scaled\">" + svg + "</g>\n";
}

}  // namespace

std::string pictureChord(const PictureFrame& frame, PictureMarks& marks, std::uint64_t number,
                         const DrawnChord& step, const PictureStyle& style) {
    if (!step.x) {
        return "";
    }
    marks.lastChordNumbers[marks.lastChordCount % PictureMarks::InsetChords] = number;
    marks.lastChords[marks.lastChordCount++ % PictureMarks::InsetChords] = step;
    // Chords whose approximations crowd within a few pixels of the last one
    // drawn would make a solid band: in a picture of its own only the first
    // of them is drawn (the inset shows the last ones apart); the page
    // steps through every chord.
    const double markX = pixelX(frame, *step.x);
    if (pictureCrowded(marks, markX, style)) {
        ++marks.chordsMerged;
        return "";
    }
    std::string svg;
    const auto clipped =
        clipToFrame(frame, {step.a, finiteOrFar(step.fa)}, {step.b, finiteOrFar(step.fb)});
    if (clipped) {
        const auto& [from, to] = *clipped;
        const std::string x1 = coordinate(pixelX(frame, from.x));
        const std::string y1 = coordinate(pixelY(frame, from.y));
        const std::string x2 = coordinate(pixelX(frame, to.x));
        const std::string y2 = coordinate(pixelY(frame, to.y));
        const std::array<long, 4> pixels = {wholePixel(x1), wholePixel(y1), wholePixel(x2), wholePixel(y2)};
        if (!style.inPage && pictureDrawnBefore(marks, pixels)) {
            ++marks.chordsMerged;
        } else {
            svg += "<line class=\"chord\" x1=\"" + x1 + "\" y1=\"" + y1 + "\" x2=\"" + x2 + "\" y2=\"" + y2 + "\"/>\n";
            if (step.curveA) {
                svg += scaledEnd(frame, step.a, step.fa, *step.curveA);
            }
            if (step.curveB) {
                svg += scaledEnd(frame, step.b, step.fb, *step.curveB);
            }
        }
    }
    if (style.inPage || !markSeen(marks, markX)) {
        svg += pictureApproximation(frame, *step.x, step.fx);
    }
    svg += pictureNumber(frame, marks, markX, number);
    return svg.empty() ? svg : pictureGroup(marks, number, svg, style);
}

namespace {

// The last chords and their numbers, oldest first.
std::vector<std::pair<std::uint64_t, DrawnChord>> lastChords(const PictureMarks& marks) {
    std::vector<std::pair<std::uint64_t, DrawnChord>> chords;
    const std::size_t kept = std::min<std::size_t>(marks.lastChordCount, PictureMarks::InsetChords);
    for (std::size_t i = marks.lastChordCount - kept; i < marks.lastChordCount; ++i) {
        chords.emplace_back(marks.lastChordNumbers[i % PictureMarks::InsetChords],
                            marks.lastChords[i % PictureMarks::InsetChords]);
    }
    return chords;
}

// Whether F lies above the axis over most of a box's width: the chords
// there run from the curve to the axis, and their ends (a modified method's
// scaled values among them) lie on F's side of it.
bool curveMostlyAbove(const PictureFrame& frame, const PictureEquation& equation, const Box& box) {
    int above = 0;
    constexpr int Samples = 20;
    for (int i = 0; i <= Samples; ++i) {
        const double pixel = box.left + (box.right - box.left) * i / Samples;
        const double x = frame.xLow + (pixel - PlotLeft) / (PlotRight - PlotLeft) * (frame.xHigh - frame.xLow);
        above += equation.f(x) > 0.0 ? 1 : 0;
    }
    return 2 * above > Samples;
}

// Where the last approximations crowd within a few pixels, the same chords
// again in a box of their own, magnified around the last one, with the
// curve there and the magnification stated.
std::string insetAroundRoot(const PictureFrame& frame, const PictureEquation& equation,
                            const PictureMarks& marks, const PictureStyle& style) {
    const std::vector<std::pair<std::uint64_t, DrawnChord>> chords = lastChords(marks);
    if (chords.size() < 3) {
        return "";
    }
    // Crowded: the last three approximations within a few pixels.
    const double nearest = *chords.back().second.x;
    double spread = 0.0;
    for (auto chord = chords.end() - 3; chord != chords.end(); ++chord) {
        spread = std::max(spread, std::fabs(*chord->second.x - nearest));
    }
    const double pixelsPerUnit = (PlotRight - PlotLeft) / (frame.xHigh - frame.xLow);
    if (spread * pixelsPerUnit >= 4.0 || spread == 0.0) {
        return "";
    }
    Box box = nearest > (frame.xLow + frame.xHigh) / 2 ? Box{PlotLeft + 10, PlotLeft + 330, PlotTop + 40, PlotTop + 250}
                                                        : Box{PlotRight - 330, PlotRight - 10, PlotTop + 40, PlotTop + 250};
    if (style.insetClearOfCurve && curveMostlyAbove(frame, equation, box)) {
        box.top = PlotBottom - 250;
        box.bottom = PlotBottom - 40;
    }
    const double halfWidth = spread * 1.25;
    PictureFrame inset{nearest - halfWidth, nearest + halfWidth, 0.0, 0.0};
    double low = 0.0;
    double high = 0.0;
    for (const double x : {inset.xLow, inset.xHigh}) {
        low = std::min(low, valueOfF(equation, x));
        high = std::max(high, valueOfF(equation, x));
    }
    inset.yLow = low - (high - low) * 0.15;
    inset.yHigh = high + (high - low) * 0.15;
    std::string svg = "<g class=\"inset\">\n<rect" + attribute("x", box.left) + attribute("y", box.top) +
                      attribute("width", box.right - box.left) + attribute("height", box.bottom - box.top) +
                      " fill=\"#ffffff\" stroke=\"#404040\"/>\n";
    const double axisY = pixelY(inset, 0.0, box);
    svg += "<line class=\"axis\"" + attribute("x1", box.left) + attribute("y1", axisY) +
           attribute("x2", box.right) + attribute("y2", axisY) + "/>\n";
    svg += curvePath(inset, equation, box, 60);
    // Each chord a group of its own, so that the page shows them step by step.
    for (const auto& [number, chord] : chords) {
        svg += "<g class=\"magnified\" data-chord=\"" + std::to_string(number) + "\">\n";
        if (const auto clipped = clipToFrame(inset, {chord.a, finiteOrFar(chord.fa)}, {chord.b, finiteOrFar(chord.fb)})) {
            svg += "<line class=\"chord magnified\"" + attribute("x1", pixelX(inset, (*clipped)[0].x, box)) +
                   attribute("y1", pixelY(inset, (*clipped)[0].y, box)) +
                   attribute("x2", pixelX(inset, (*clipped)[1].x, box)) +
                   attribute("y2", pixelY(inset, (*clipped)[1].y, box)) + "/>\n";
        }
        if (*chord.x >= inset.xLow && *chord.x <= inset.xHigh) {
            const double markX = pixelX(inset, *chord.x, box);
            svg += "<line class=\"vertical magnified\"" + attribute("x1", markX) + attribute("y1", axisY) +
                   attribute("x2", markX) + attribute("y2", pixelY(inset, finiteOrFar(chord.fx), box)) + "/>\n";
        }
        svg += "</g>\n";
    }
    const double magnification = (frame.xHigh - frame.xLow) / (inset.xHigh - inset.xLow);
    svg += textElement(box.left + 8, box.bottom - 8, "start",
                       utf8(TextInsetScale) + "&#215;" + labelValue(magnification),
                       " class=\"halo\"");
    return svg + "</g>\n";
}

}  // namespace

std::string pictureClosing(const PictureFrame& frame, const PictureEquation& equation,
                           const PictureResult& result, PictureCounts counts,
                           const PictureStyle& style, const PictureMarks& marks) {
    // In the page, what the walk found stands in groups the lesson reveals
    // at its last step.
    const auto found = [&](const std::string& part) {
        return style.inPage && !part.empty() ? "<g class=\"result\">\n" + part + "</g>\n" : part;
    };
    std::string root;
    if (result.root) {
        const double rootX = pixelX(frame, *result.root);
        const double axisY = pixelY(frame, style.staircase ? *result.root : 0.0);
        root = "<circle class=\"root\"" + attribute("cx", rootX) + attribute("cy", axisY) + attribute("r", 7) + "/>\n" +
               textElement(std::clamp(rootX, PlotLeft + 60, PlotRight - 60), std::max(axisY - 16, PlotTop + 16),
                           "middle", utf8(TextCaptionRoot) + " " + result.rootText,
                           " class=\"halo\" font-weight=\"bold\"");
    }
    std::string svg = found(root);
    svg += insetAroundRoot(frame, equation, marks, style);
    svg += textElement(PlotLeft, 628, "start", equation.heading + equation.caption, " font-size=\"18\"");
    svg += textElement(PlotLeft, 654, "start", equation.inputs);
    svg += found(textElement(PlotLeft, 680, "start", result.report, " font-weight=\"bold\"") +
                 textElement(PlotLeft, 706, "start",
                             utf8(style.countsSteps ? TextCaptionSteps : TextCaptionChords) +
                                 std::to_string(counts.chordsDrawn) +
                                 (counts.chordsShown < counts.chordsDrawn
                                      ? utf8(TextCaptionDistinct) + std::to_string(counts.chordsShown)
                                      : std::string())));
    svg += textElement(PlotLeft, 732, "start", utf8(style.countsSteps ? TextCaptionStepCounts : TextCaptionCounts));
    if (style.animate) {
        // The clock every chord's hiding starts from, round after round:
        // a second a chord and three with the whole picture.
        svg += "<rect width=\"0\" height=\"0\"><animate id=\"loop\" attributeName=\"x\" "
               "values=\"0;0\" begin=\"0s;loop.end\" dur=\"" +
               std::to_string(std::min(marks.groupsDrawn, AnimatedSteps) + 3) + "s\"/></rect>\n";
    }
    return svg + "</svg>\n";
}

namespace {

// F's own range over the interval and zero: where F changes sign inside,
// the larger side cut as the chords' frame cuts it; where it does not, all
// of F above or below the axis.
PictureFrame rejectionFrame(const PictureEquation& equation) {
    const double low = std::min(equation.a, equation.b);
    const double high = std::max(equation.a, equation.b);
    // Halves first: their difference stays finite for any two doubles.
    const double margin = high > low ? (high / 2 - low / 2) * 0.1 : 1.0;
    double smallest = 0.0;
    double largest = 0.0;
    for (int i = 0; i <= CurveSegments; ++i) {
        const double sample = equation.f(low + (high - low) * i / CurveSegments);
        if (std::isnan(sample)) {
            continue;
        }
        const double value = finiteOrFar(sample);
        smallest = std::min(smallest, value);
        largest = std::max(largest, value);
    }
    double above = std::max(largest, 1e-30);
    double below = std::max(-smallest, 1e-30);
    if (smallest < 0.0 && largest > 0.0) {
        above = std::min(above, below * LargestSideRatio);
        below = std::min(below, above * LargestSideRatio);
    } else if (largest > 0.0) {
        below = above * 0.1;
    } else {
        above = below * 0.1;
    }
    return {low - margin, high + margin, -below * 1.1, above * 1.1};
}

}  // namespace

std::string pictureOfRejection(const PictureEquation& equation, const std::string& reason,
                               const PictureStyle& style) {
    const PictureFrame frame = rejectionFrame(equation);
    std::string svg = pictureOpening(frame, equation, style);
    svg += textElement(PlotLeft, 628, "start", equation.heading + equation.caption, " font-size=\"18\"");
    svg += textElement(PlotLeft, 654, "start", "Xib = " + equation.aText + ", Xie = " + equation.bText);
    svg += textElement(PlotLeft, 680, "start", reason, " font-weight=\"bold\"");
    return svg + "</svg>\n";
}

std::string startPicture(PictureDrawing& drawing, PictureEquation equation, const PictureStyle& style) {
    drawing.equation = std::move(equation);
    drawing.style = style;
    drawing.frame = frameFor(drawing.equation);
    return pictureOpening(drawing.frame, drawing.equation, drawing.style);
}

std::string pictureChordOf(PictureDrawing& drawing, std::uint64_t number, const DrawnChord& chord) {
    drawing.chordsDrawn += chord.x ? 1 : 0;
    return pictureChord(drawing.frame, drawing.marks, number, chord, drawing.style);
}

std::string finishPicture(const PictureDrawing& drawing, const PictureResult& result) {
    const PictureCounts counts{drawing.chordsDrawn, drawing.chordsDrawn - drawing.marks.chordsMerged};
    return pictureClosing(drawing.frame, drawing.equation, result, counts, drawing.style, drawing.marks);
}

PictureEquation fixedPictureEquation(const ChordParameters& parameters) {
    PictureEquation equation;
    equation.f = [](double x) { return finiteOrFar(toDouble(equationF(static_cast<float>(x)))); };
    equation.convex = true;
    equation.a = parameters.a;
    equation.b = parameters.b;
    equation.heading = utf8(TextCaptionTitle);
    equation.title = "F(x) = 2&#183;e^(&#8722;x) + 0.2&#183;x&#178; &#8722; 1.5 = 0";
    // The equation with its proper signs, as character references.
    equation.caption = "F(x) = 2&#183;e<tspan baseline-shift=\"super\" font-size=\"13\">&#8722;x</tspan>"
                       " + 0.2&#183;x&#178; &#8722; 1.5 = 0";
    equation.aText = formatShortest(parameters.a);
    equation.bText = formatShortest(parameters.b);
    equation.aLabel = formatReal(parameters.a);
    equation.bLabel = formatReal(parameters.b);
    equation.inputs = "Xib = " + equation.aText + ", Xie = " + equation.bText + utf8(TextCaptionAccuracy) +
                      formatShortest(parameters.epsilon) + utf8(TextCaptionLimit) + formatCount(parameters.limit);
    return equation;
}
