#include "steps/separation_picture.h"

#include <algorithm>
#include <cmath>

#include "steps/texts.h"
#include "text/text_codec.h"

namespace {

constexpr double PointSpacing = 8.0;  // pixels between the marks drawn, at least
constexpr double BandLeast = 4.0;     // a band's least width, in pixels
constexpr double LabelCharacter = 9.0;  // about a character's width at 16 px
// The caption's lines, as the chords' picture has them.
constexpr double CaptionLeft = 90.0;
constexpr double CaptionTop = 628.0;
constexpr double CaptionLine = 26.0;
// Told apart in grey and without red and green, as the chords' picture:
// F > 0 a blue disc, F < 0 a vermilion square, a root a black ring, an
// orange band a sign change.
constexpr const char* Positive = "#0072b2";
constexpr const char* Negative = "#d55e00";
constexpr const char* BandColour = "#e69f00";

std::string attribute(const char* name, double pixel) {
    return std::string(" ") + name + "=\"" + pictureCoordinate(pixel) + "\"";
}

double plotTop(const PictureFrame& frame) {
    return plotPixelY(frame, frame.yHigh);
}

double plotBottom(const PictureFrame& frame) {
    return plotPixelY(frame, frame.yLow);
}

std::string bandOf(const PictureFrame& frame, const std::array<double, 2>& band) {
    return "<rect" + attribute("x", band[0]) + attribute("y", plotTop(frame)) + attribute("width", band[1] - band[0]) +
           attribute("height", plotBottom(frame) - plotTop(frame)) + " fill=\"" + BandColour +
           "\" fill-opacity=\"0.3\"/>\n";
}

// The shape of a sign at a point: a disc for F > 0, a square for F < 0.
std::string signMark(double x, double y, int sign) {
    if (sign > 0) {
        return "<circle" + attribute("cx", x) + attribute("cy", y) + attribute("r", 4.5) + " fill=\"" + Positive +
               "\"/>\n";
    }
    return "<rect" + attribute("x", x - 4) + attribute("y", y - 4) + attribute("width", 8) + attribute("height", 8) +
           " fill=\"" + Negative + "\"/>\n";
}

std::string rootRing(double x, double y) {
    return "<circle class=\"root\"" + attribute("cx", x) + attribute("cy", y) + attribute("r", 7) + "/>\n";
}

// A point where F is not defined: a grey cross on the axis.
std::string crossAt(double x, double y) {
    return "<path d=\"M" + pictureCoordinate(x - 5) + "," + pictureCoordinate(y - 5) + " L" +
           pictureCoordinate(x + 5) + "," + pictureCoordinate(y + 5) + " M" + pictureCoordinate(x - 5) + "," +
           pictureCoordinate(y + 5) + " L" + pictureCoordinate(x + 5) + "," + pictureCoordinate(y - 5) +
           "\" stroke=\"#606060\" stroke-width=\"2\"/>\n";
}

// The legend under the caption: each shape and what it means.
std::string legendOf(double y) {
    std::string svg = signMark(CaptionLeft, y - 5, 1) + pictureText(CaptionLeft + 12, y, "start", pageText(TextSeparatePositive));
    svg += signMark(CaptionLeft + 110, y - 5, -1) +
           pictureText(CaptionLeft + 122, y, "start", pageText(TextSeparateNegative));
    svg += "<rect" + attribute("x", CaptionLeft + 215) + attribute("y", y - 14) + attribute("width", 24) +
           attribute("height", 18) + " fill=\"" + BandColour + "\" fill-opacity=\"0.3\"/>\n";
    svg += pictureText(CaptionLeft + 247, y, "start", pageText(TextSeparateBand));
    svg += rootRing(CaptionLeft + 385, y - 5) + pictureText(CaptionLeft + 400, y, "start", pageText(TextSeparateRootMark));
    svg += crossAt(CaptionLeft + 565, y - 5) + pictureText(CaptionLeft + 578, y, "start", "F " + pageText(TextSignUndefined));
    return svg;
}

}  // namespace

void startSeparationDrawing(SeparationDrawing& drawing, PictureEquation equation) {
    drawing.equation = std::move(equation);
    drawing.frame = frameFor(drawing.equation);
}

void drawGridPoint(SeparationDrawing& drawing, const SeparationMark& point, std::optional<double> from,
                   const std::string& interval) {
    const PictureFrame& frame = drawing.frame;
    const double x = plotPixelX(frame, point.x);
    const double axis = plotPixelY(frame, 0.0);
    if (from) {
        const double left = std::min(plotPixelX(frame, *from), x);
        const double right = std::max(plotPixelX(frame, *from), x);
        const double middle = (left + right) / 2;
        const std::array<double, 2> band{std::min(left, middle - BandLeast / 2), std::max(right, middle + BandLeast / 2)};
        if (drawing.band && band[0] <= (*drawing.band)[1] + 1) {
            (*drawing.band)[1] = std::max((*drawing.band)[1], band[1]);
        } else {
            if (drawing.band) {
                drawing.bands += bandOf(frame, *drawing.band);
            }
            drawing.band = band;
        }
        // The interval's label above it, in the first of two rows with room.
        const double half = static_cast<double>(interval.size()) * LabelCharacter / 2;
        for (std::size_t row = 0; row < drawing.labelEnds.size(); ++row) {
            if (middle - half >= drawing.labelEnds[row] + 8) {
                drawing.labels += pictureText(middle, plotTop(frame) + 20 + 22 * static_cast<double>(row), "middle",
                                         interval, " class=\"halo\"");
                drawing.labelEnds[row] = middle + half;
                break;
            }
        }
    }
    if (point.defined && point.sign == 0 && (!drawing.lastRoot || std::fabs(x - *drawing.lastRoot) >= PointSpacing)) {
        drawing.roots += rootRing(x, axis);
        drawing.lastRoot = x;
    }
    if (drawing.lastPoint && std::fabs(x - *drawing.lastPoint) < PointSpacing) {
        return;
    }
    drawing.lastPoint = x;
    drawing.points += "<line" + attribute("x1", x) + attribute("y1", axis - 5) + attribute("x2", x) +
                      attribute("y2", axis + 5) + " stroke=\"#404040\" stroke-width=\"1.5\"/>\n";
    if (!point.defined) {
        drawing.points += crossAt(x, axis);
    } else if (point.fx > frame.yHigh || point.fx < frame.yLow) {
        // Beyond the frame: a small arrow at its edge, pointing out, in the sign's colour.
        const bool above = point.fx > frame.yHigh;
        const double edge = above ? plotTop(frame) : plotBottom(frame);
        const double base = above ? edge + 9 : edge - 9;
        drawing.points += "<path d=\"M" + pictureCoordinate(x) + "," + pictureCoordinate(edge) + " L" +
                          pictureCoordinate(x - 5) + "," + pictureCoordinate(base) + " L" + pictureCoordinate(x + 5) +
                          "," + pictureCoordinate(base) + " Z\" fill=\"" + (point.sign > 0 ? Positive : Negative) +
                          "\"/>\n";
    } else if (point.sign != 0) {
        drawing.points += signMark(x, plotPixelY(frame, point.fx), point.sign);
    }
}

std::string separationPicture(const SeparationDrawing& drawing, const PictureStyle& style,
                              const std::vector<std::string>& caption) {
    // The bands under the curve, the marks over it.
    std::string svg = pictureOpening(drawing.frame, drawing.equation, style);
    svg += "<g class=\"bands\">\n" + drawing.bands + (drawing.band ? bandOf(drawing.frame, *drawing.band) : "") +
           "</g>\n<g class=\"points\">\n" + drawing.points + drawing.roots + "</g>\n<g class=\"intervals\">\n" +
           drawing.labels + "</g>\n";
    double y = CaptionTop;
    for (std::size_t i = 0; i < caption.size(); ++i, y += CaptionLine) {
        const char* const look = i == 0 ? " font-size=\"18\"" : i + 1 == caption.size() ? " font-weight=\"bold\"" : "";
        svg += pictureText(CaptionLeft, y, "start", caption[i], look);
    }
    return svg + legendOf(y) + "</svg>\n";
}

namespace {

std::string rowOf(const SeparationRow& row) {
    return "<tr" + std::string(row.change ? " class=\"flagged\"" : "") + "><th scope=\"row\">" +
           std::to_string(row.index) + "</th><td>" + row.x + "</td><td>" + row.fx + "</td><td>" + row.sign +
           "</td><td class=\"note\">" + row.note + "</td></tr>\n";
}

}  // namespace

std::string separationPageText(const PageFacts& facts, const std::vector<SeparationRow>& rows,
                               const SeparationSummary& summary, const std::string& picture) {
    std::string html = "<section id=\"summary\">\n<h2>" + pageText(TextPageSummary) + "</h2>\n<dl>\n<dt>" +
                       pageText(TextPageFound) + "</dt><dd>" + summary.found + "</dd>\n";
    if (!summary.findings.empty()) {
        html += "<dt>" + pageText(TextPageIntervals) + "</dt><dd>";
        for (const std::string& finding : summary.findings) {
            html += "<p>" + finding + "</p>";
        }
        html += "</dd>\n";
    }
    html += "</dl>\n</section>\n<main>\n<figure>\n" + picture + "</figure>\n<section class=\"lesson\">\n<h2>" +
            pageText(TextPageGridName) + "</h2>\n";
    for (const std::string& line : summary.legend) {
        html += "<p>" + line + "</p>\n";
    }
    html += "<div class=\"scroll\" tabindex=\"0\" role=\"region\" aria-label=\"" + pageText(TextPageGridName) +
            "\">\n<table id=\"points\">\n<thead><tr>";
    for (const std::string& name : {std::string("i"), std::string("x"), std::string("F(x)"), pageText(TextColumnSign),
                                    pageText(TextColumnNote)}) {
        html += "<th scope=\"col\">" + name + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0 && rows[i].index != rows[i - 1].index + 1) {
            html += "<tr class=\"gap\"><td colspan=\"5\">" + pageText(TextPageGridGap) +
                    std::to_string(rows[i - 1].index + 1) + pageText(TextIdleTo) + std::to_string(rows[i].index - 1) +
                    pageText(TextPageGapLeftOut) + "</td></tr>\n";
        }
        html += rowOf(rows[i]);
    }
    return pageWithBody(facts, html + "</tbody>\n</table>\n</div>\n</section>\n</main>\n");
}
