#include "steps/picture.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include "console/codec/number_format.h"
#include "console/codec/text_codec.h"
#include "dialog/report.h"
#include "solver/equation.h"
#include "steps/table.h"
#include "steps/texts.h"

namespace {

// The whole picture, in its own units (pixels at the natural size).
constexpr int PictureWidth = 1000;
constexpr int PictureHeight = 700;
// The plot area inside the picture; the caption goes below it.
constexpr double PlotLeft = 80.0;
constexpr double PlotRight = 970.0;
constexpr double PlotTop = 20.0;
constexpr double PlotBottom = 560.0;
constexpr int CurveSegments = 500;
// One side of the vertical range is cut to this many times the other.
constexpr double LargestSideRatio = 8.0;
// Stands in for an infinite F: far beyond any frame, still finite to clip.
constexpr double FarValue = 1e300;
constexpr double MarkSpacing = 16.0;  // pixels between numbered marks

struct Point {
    double x;
    double y;
};

double finiteOrFar(Extended value) {
    if (isNan(value)) {
        return FarValue;
    }
    return std::clamp(toDouble(value), -FarValue, FarValue);
}

double finiteOrFar(float value) {
    return finiteOrFar(toExtended(value));
}

double valueOfF(double x) {
    return finiteOrFar(equationF(static_cast<float>(x)));
}

double pixelX(const PictureFrame& frame, double x) {
    const double pixel =
        PlotLeft + (x - frame.xLow) / (frame.xHigh - frame.xLow) * (PlotRight - PlotLeft);
    return std::clamp(pixel, PlotLeft, PlotRight) + 0.0;
}

double pixelY(const PictureFrame& frame, double y) {
    const double pixel =
        PlotBottom - (y - frame.yLow) / (frame.yHigh - frame.yLow) * (PlotBottom - PlotTop);
    return std::clamp(pixel, PlotTop, PlotBottom) + 0.0;
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
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), pixel,
                                      std::chars_format::fixed, 2);
    return {digits.data(), result.ptr};
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

std::string pixelPair(const PictureFrame& frame, Point point) {
    return coordinate(pixelX(frame, point.x)) + "," + coordinate(pixelY(frame, point.y));
}

// The curve as one path, lifting the pen only where it leaves the frame. The
// pen is compared by the pixels written, so a clipped point that differs from
// the last one in bits the picture does not show keeps the line unbroken.
std::string curvePath(const PictureFrame& frame) {
    std::string path = "<path class=\"curve\" d=\"";
    Point previous{frame.xLow, valueOfF(frame.xLow)};
    std::string penAt;  // where the last piece ended; empty with the pen lifted
    for (int i = 1; i <= CurveSegments; ++i) {
        const double x = frame.xLow + (frame.xHigh - frame.xLow) * i / CurveSegments;
        const Point next{x, valueOfF(x)};
        if (const auto clipped = clipToFrame(frame, previous, next)) {
            const std::string start = pixelPair(frame, (*clipped)[0]);
            if (start != penAt) {
                path += "M" + start + " ";
            }
            penAt = pixelPair(frame, (*clipped)[1]);
            path += "L" + penAt + " ";
        } else {
            penAt.clear();
        }
        previous = next;
    }
    path.pop_back();
    return path + "\"/>\n";
}

// The dialog's closing lines on one line of the caption: "; " between them.
std::string captionOfReport(const ChordOutcome& outcome) {
    std::string lines = reportText(outcome);
    lines.pop_back();
    for (std::size_t at = lines.find('\n'); at != std::string::npos; at = lines.find('\n', at)) {
        lines.replace(at, 1, "; ");
    }
    return lines;
}

// The equation with its proper signs, as character references.
const char* const EquationMarkup =
    "F(x) = 2&#183;e<tspan baseline-shift=\"super\" font-size=\"11\">&#8722;x</tspan>"
    " + 0.2&#183;x&#178; &#8722; 1.5 = 0";

}  // namespace

PictureFrame frameFor(const ChordParameters& parameters) {
    const double low = std::min(parameters.a, parameters.b);
    const double high = std::max(parameters.a, parameters.b);
    const double margin = high > low ? (high - low) * 0.05 : 1.0;
    PictureFrame frame{low - margin, high + margin, 0.0, 0.0};
    // F is convex: its largest values on the interval are at the ends, its
    // smallest somewhere inside; the samples find it.
    double above = std::max(valueOfF(low), valueOfF(high));
    double below = 0.0;
    for (int i = 0; i <= CurveSegments; ++i) {
        below = std::max(below, -valueOfF(low + (high - low) * i / CurveSegments));
    }
    above = std::max(above, 1e-30);
    below = std::max(below, 1e-30);
    above = std::min(above, below * LargestSideRatio);
    below = std::min(below, above * LargestSideRatio);
    frame.yLow = -below * 1.1;
    frame.yHigh = above * 1.1;
    return frame;
}

std::string pictureOpening(const PictureFrame& frame, const ChordParameters& parameters) {
    const double axisY = pixelY(frame, 0.0);
    const std::string width = std::to_string(PictureWidth);
    const std::string height = std::to_string(PictureHeight);
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + width +
        "\" height=\"" + height + "\" viewBox=\"0 0 " + width + " " + height +
        "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"14\">\n"
        "<style type=\"text/css\">\n"
        ".curve { fill: none; stroke: #202020; stroke-width: 2.5; }\n"
        ".axis { stroke: #808080; stroke-width: 1; }\n"
        ".chord { stroke: #1f6fd0; stroke-width: 1.5; }\n"
        ".mark { stroke: #c02020; stroke-width: 1.5; }\n"
        ".label { fill: #c02020; font-size: 12px; }\n"
        ".halo { stroke: #ffffff; stroke-width: 4; paint-order: stroke; }\n"
        ".root { fill: none; stroke: #e00000; stroke-width: 3; }\n"
        "</style>\n"
        "<rect x=\"0\" y=\"0\" width=\"" + width + "\" height=\"" + height +
        "\" fill=\"#ffffff\"/>\n";
    svg += "<rect" + attribute("x", PlotLeft) + attribute("y", PlotTop) +
           attribute("width", PlotRight - PlotLeft) + attribute("height", PlotBottom - PlotTop) +
           " fill=\"none\" stroke=\"#404040\"/>\n";
    svg += "<line class=\"axis\"" + attribute("x1", PlotLeft) + attribute("y1", axisY) +
           attribute("x2", PlotRight) + attribute("y2", axisY) + "/>\n";
    // The vertical scale: its two ends and zero.
    const char* const smallText = " font-size=\"12\"";
    svg += textElement(PlotLeft - 6, PlotTop + 12, "end",
                       formatReal(static_cast<float>(frame.yHigh)), smallText);
    svg += textElement(PlotLeft - 6, axisY + 4, "end", "0", smallText);
    svg += textElement(PlotLeft - 6, PlotBottom, "end",
                       formatReal(static_cast<float>(frame.yLow)), smallText);
    // The interval's ends below the frame.
    svg += textElement(pixelX(frame, parameters.a), PlotBottom + 16, "middle",
                       "Xib = " + formatReal(parameters.a), smallText);
    svg += textElement(pixelX(frame, parameters.b), PlotBottom + 16, "middle",
                       "Xie = " + formatReal(parameters.b), smallText);
    return svg + curvePath(frame);
}

namespace {

// Whether a chord on these whole pixels was drawn before; if not, it is
// remembered.
bool chordSeen(PictureMarks& marks, const std::array<long, 4>& pixels) {
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

// Whether a mark at this position, to the hundredth of a pixel, was drawn.
bool markSeen(PictureMarks& marks, double pixel) {
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

}  // namespace

std::string pictureChord(const PictureFrame& frame, PictureMarks& marks, std::uint64_t number,
                         const ChordStep& step) {
    if (!step.x) {
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
        const std::array<long, 4> pixels = {wholePixel(x1), wholePixel(y1), wholePixel(x2),
                                            wholePixel(y2)};
        if (chordSeen(marks, pixels)) {
            ++marks.chordsMerged;
        } else {
            svg += "<line class=\"chord\" x1=\"" + x1 + "\" y1=\"" + y1 + "\" x2=\"" + x2 +
                   "\" y2=\"" + y2 + "\"/>\n";
        }
    }
    const double markX = pixelX(frame, *step.x);
    const double axisY = pixelY(frame, 0.0);
    if (!markSeen(marks, markX)) {
        svg += "<line class=\"mark\"" + attribute("x1", markX) +
               attribute("y1", std::max(axisY - 6, PlotTop)) + attribute("x2", markX) +
               attribute("y2", std::min(axisY + 6, PlotBottom)) + "/>\n";
    }
    if (marks.numbering) {
        const bool apart = std::none_of(marks.numbered.begin(), marks.numbered.end(),
                                        [markX](double at) { return std::fabs(at - markX) < MarkSpacing; });
        marks.numbering = apart;
        if (apart) {
            marks.numbered.push_back(markX);
            svg += textElement(markX, std::min(axisY + 20, PlotBottom - 4), "middle",
                               std::to_string(number), " class=\"label halo\"");
        }
    }
    return svg;
}

std::string pictureClosing(const PictureFrame& frame, const ChordParameters& parameters,
                           const ChordOutcome& outcome, std::uint64_t chordsDrawn,
                           std::uint64_t chordsShown) {
    std::string svg;
    if (outcome.found) {
        const double rootX = pixelX(frame, *outcome.x);
        const double axisY = pixelY(frame, 0.0);
        svg += "<circle class=\"root\"" + attribute("cx", rootX) + attribute("cy", axisY) +
               attribute("r", 7) + "/>\n";
        svg += textElement(std::clamp(rootX, PlotLeft + 60, PlotRight - 60),
                           std::max(axisY - 14, PlotTop + 14), "middle",
                           utf8(TextCaptionRoot) + " " + formatReal(*outcome.x),
                           " class=\"halo\" fill=\"#e00000\" font-weight=\"bold\"");
    }
    const ChordParameters& p = parameters;
    svg += textElement(PlotLeft, 600, "start",
                       utf8(TextCaptionTitle) + EquationMarkup, " font-size=\"17\"");
    svg += textElement(PlotLeft, 628, "start",
                       "Xib = " + formatShortest(p.a) + ", Xie = " + formatShortest(p.b) +
                           utf8(TextCaptionAccuracy) + formatShortest(p.epsilon) +
                           utf8(TextCaptionLimit) + formatCount(p.limit));
    svg += textElement(PlotLeft, 654, "start", captionOfReport(outcome), " font-weight=\"bold\"");
    svg += textElement(PlotLeft, 680, "start",
                       utf8(TextCaptionChords) + std::to_string(chordsDrawn) +
                           (chordsShown < chordsDrawn
                                ? utf8(TextCaptionDistinct) + std::to_string(chordsShown)
                                : std::string()));
    return svg + "</svg>\n";
}
