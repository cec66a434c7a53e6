#pragma once
// The pictures of the methods beside the chords, on the chords' picture
// (F over the interval, the grid, the caption), one group per step:
//   bisection  the bracket [a_n, b_n] beside the axis, its midpoint marked;
//   tangents   the tangent from (x_n, F(x_n)) down to the axis;
//   secants    the secant through the last two points to the axis;
//   combined   the chord and the tangent, their two points closing in;
//   iteration  the staircase between y = phi(x) and y = x, phi drawn in
//              place of F.

#include <cstdint>
#include <optional>
#include <string>

#include "solver/method.h"
#include "steps/picture.h"

// A step as the picture draws it, in double: where it starts (the bracket,
// the last two points, or x_n in a) and where it lands, F at each.
struct DrawnStep {
    double a = 0.0;
    double b = 0.0;
    double fa = 0.0;
    double fb = 0.0;
    double slope = 0.0;  // F' where the tangent is drawn
    std::optional<double> x;
    double fx = 0.0;
    std::optional<double> chordX;  // the combined method's two points
    std::optional<double> tangentX;
    bool tangentAtA = false;  // the combined method's tangent end
};

// The frame, the opening, and for simple iteration the line y = x.
std::string startMethodPicture(PictureDrawing& drawing, PictureEquation equation, const PictureStyle& style);
std::string pictureStepOf(PictureDrawing& drawing, Method method, std::uint64_t number, const DrawnStep& step);
