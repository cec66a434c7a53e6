#include "steps/method_picture.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int Samples = 500;
constexpr double BracketSpacing = 7.0;  // pixels between bisection's brackets
constexpr int BracketsStacked = 12;     // beyond these they share the last row
constexpr double BracketsClear = 24.0;  // pixels from the axis to the first

// Simple iteration's window: the interval both ways, widened to phi's
// values over it, but not beyond twice its width on either side (phi may
// have a pole), so that y = x runs corner to corner where phi stays inside.
PictureFrame staircaseFrame(const PictureEquation& phi) {
    const double low = std::min(phi.a, phi.b);
    const double high = std::max(phi.a, phi.b);
    const double width = high > low ? high - low : 1.0;
    double bottom = low;
    double top = high;
    for (int i = 0; i <= Samples; ++i) {
        const double value = phi.f(low + (high - low) * i / Samples);
        if (std::isfinite(value)) {
            bottom = std::min(bottom, std::max(value, low - 2 * width));
            top = std::max(top, std::min(value, high + 2 * width));
        }
    }
    const double margin = (top - bottom) * 0.05;
    return {low - width * 0.1, high + width * 0.1, bottom - margin, top + margin};
}

// Whether x lies in the frame's width: a point beyond it has no place for
// its mark or its number, which would stand at the edge, at a wrong x.
bool inFrame(const PictureFrame& frame, double x) {
    return x >= frame.xLow && x <= frame.xHigh;
}

// The approximation's dashed vertical and mark, where x is in the frame.
std::string markOf(const PictureFrame& frame, double x, double fx) {
    return inFrame(frame, x) ? pictureApproximation(frame, x, fx) : std::string();
}

// A segment's whole pixels, to tell a piece drawn before.
std::array<long, 4> pixelsOf(const PictureFrame& frame, double x1, double y1, double x2, double y2) {
    const auto pixel = [](double at) { return wholePixel(pictureCoordinate(at)); };
    return {pixel(plotPixelX(frame, x1)), pixel(plotPixelY(frame, y1)), pixel(plotPixelX(frame, x2)),
            pixel(plotPixelY(frame, y2))};
}

// [a, b] as a bar with end ticks beside the axis, each step's a row further
// from it on the side with more room, so that the brackets shrink in a
// stack.
std::string bracket(const PictureFrame& frame, std::uint64_t number, double a, double b) {
    const double axis = plotPixelY(frame, 0.0);
    const double top = plotPixelY(frame, frame.yHigh);
    const double bottom = plotPixelY(frame, frame.yLow);
    // Clear of the numbers under the axis.
    const double row =
        BracketsClear + static_cast<double>(std::min<std::uint64_t>(number, BracketsStacked)) * BracketSpacing;
    const double y = bottom - axis > axis - top ? std::min(axis + row, bottom - 2) : std::max(axis - row, top + 2);
    const double left = plotPixelX(frame, std::min(a, b));
    const double right = plotPixelX(frame, std::max(a, b));
    const auto line = [](double x1, double y1, double x2, double y2) {
        return "<line class=\"chord\" x1=\"" + pictureCoordinate(x1) + "\" y1=\"" + pictureCoordinate(y1) +
               "\" x2=\"" + pictureCoordinate(x2) + "\" y2=\"" + pictureCoordinate(y2) + "\"/>\n";
    };
    return line(left, y, right, y) + line(left, y - 3, left, y + 3) + line(right, y - 3, right, y + 3);
}

// The secant's three points lie on one line: drawn from the leftmost to
// the rightmost of them.
std::string secantLine(const PictureFrame& frame, const DrawnStep& step) {
    std::array<std::array<double, 2>, 3> points{{{step.a, step.fa}, {step.b, step.fb}, {*step.x, 0.0}}};
    std::sort(points.begin(), points.end());
    return pictureSegment(frame, points[0][0], points[0][1], points[2][0], points[2][1], "chord");
}

// The staircase's two pieces: up (or down) from y = x to phi at x_n, then
// across to y = x at x_(n+1) = phi(x_n).
std::string stair(const PictureFrame& frame, const DrawnStep& step) {
    return pictureSegment(frame, step.a, step.a, step.a, *step.x, "chord") +
           pictureSegment(frame, step.a, *step.x, *step.x, *step.x, "chord");
}

// What a step draws besides its approximation's mark, and the piece that
// tells it from one drawn before.
std::string stepPieces(const PictureDrawing& drawing, Method method, std::uint64_t number, const DrawnStep& step) {
    const PictureFrame& frame = drawing.frame;
    switch (method) {
    case Method::Bisection:
        return bracket(frame, number, step.a, step.b) + markOf(frame, *step.x, step.fx);
    case Method::Newton:
        return pictureSegment(frame, step.a, step.fa, *step.x, 0.0, "chord") +
               markOf(frame, *step.x, step.fx);
    case Method::Secant:
        return secantLine(frame, step) + markOf(frame, *step.x, step.fx);
    case Method::Combined: {
        const double end = step.tangentAtA ? step.a : step.b;
        const double atEnd = step.tangentAtA ? step.fa : step.fb;
        return pictureSegment(frame, step.a, step.fa, step.b, step.fb, "chord") +
               pictureSegment(frame, end, atEnd, *step.tangentX, 0.0, "chord") +
               markOf(frame, *step.chordX, drawing.equation.f(*step.chordX)) +
               markOf(frame, *step.tangentX, drawing.equation.f(*step.tangentX));
    }
    default:
        return stair(frame, step);
    }
}

}  // namespace

std::string startMethodPicture(PictureDrawing& drawing, PictureEquation equation, const PictureStyle& style) {
    if (!style.staircase) {
        return startPicture(drawing, std::move(equation), style);
    }
    drawing.equation = std::move(equation);
    drawing.style = style;
    drawing.frame = staircaseFrame(drawing.equation);
    const PictureFrame& frame = drawing.frame;
    // The names beside the two lines: y = x near its upper end, y = phi(x)
    // at the curve's left end.
    const double along = frame.xLow + (frame.xHigh - frame.xLow) * 0.85;
    const double low = std::min(drawing.equation.a, drawing.equation.b);
    return pictureOpening(frame, drawing.equation, style) +
           pictureSegment(frame, frame.xLow, frame.xLow, frame.xHigh, frame.xHigh, "axis") +
           pictureText(plotPixelX(frame, along) + 10, plotPixelY(frame, along) + 18, "start", "y = x",
                       " class=\"halo\"") +
           pictureText(plotPixelX(frame, low) + 6, plotPixelY(frame, drawing.equation.f(low)) - 10, "start",
                       "y = &#966;(x)", " class=\"halo\"");
}

std::string pictureStepOf(PictureDrawing& drawing, Method method, std::uint64_t number, const DrawnStep& step) {
    if (!step.x) {
        return "";
    }
    ++drawing.chordsDrawn;
    PictureMarks& marks = drawing.marks;
    const PictureStyle& style = drawing.style;
    const double markX = plotPixelX(drawing.frame, *step.x);
    const bool inside = inFrame(drawing.frame, *step.x);
    // A long walk in a picture of its own: steps crowding at the last one
    // drawn, or on the very pixels of one drawn before (a cycle), are left
    // out, so that the picture stays bounded.
    if ((inside && pictureCrowded(marks, markX, style)) ||
        (!style.inPage && pictureDrawnBefore(marks, pixelsOf(drawing.frame, step.a, step.fa, *step.x, step.fx)))) {
        ++marks.chordsMerged;
        return "";
    }
    const std::string pieces = stepPieces(drawing, method, number, step) +
                               (inside ? pictureNumber(drawing.frame, marks, markX, number) : std::string());
    return pictureGroup(marks, number, pieces, style);
}
