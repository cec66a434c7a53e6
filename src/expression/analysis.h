#pragma once
// What the lesson tells about a typed F over the interval typed: m1, the
// smallest |F'|, which bounds an approximation's error by |F(x_n)|/m1, and
// the sign of F'', which names the end the method of chords keeps. Both by
// interval evaluation of the symbolic derivatives over pieces of the
// interval, so that what is given holds for every point of it, not only for
// the points tried; where that cannot be shown, nothing is given.

#include <optional>

#include "expression/expression.h"

// A lower bound of min |f'| over [low, high] (either order): about 0.1 %
// below the true minimum at most, unless the search runs out of pieces to
// cut first, when it is lower but still a bound. None when f' may vanish or
// f or f' may be undefined somewhere there, or when that could not be ruled
// out within the pieces.
std::optional<double> smallestSlopeBound(const Expression& f, double low, double high);

// +1 or -1 when f'' keeps that sign, never 0, over the whole of [low, high]
// (either order), with f and f' defined there; none otherwise, or when it
// could not be shown.
std::optional<int> curvatureSign(const Expression& f, double low, double high);
