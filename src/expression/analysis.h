#pragma once
// What the lesson tells about a typed F over the interval typed: m1, the
// smallest |F'|, which bounds an approximation's error by |F(x_n)|/m1; M1
// and M2, the largest |F'| and |F''|, for the bounds that need them, and
// q = max |phi'| of simple iteration; the signs of F' and F'' (the latter
// names the end the method of chords keeps); and whether F may have a
// pole, where a change of sign need not be a root. All by interval
// evaluation of F and its symbolic derivatives over pieces of the
// interval, so that what is given holds for every point of it, not only
// for the points tried; where that cannot be shown, nothing is given, and
// F is not said to be bounded.

#include <optional>

#include "expression/expression.h"

// False when f is shown defined and bounded over the whole of [low, high]
// (either order): each piece of it, halved as needed, gives a finite
// enclosure. True otherwise: at a pole inside (tan(x) - x on [4.6, 4.8]) or
// at an end (1/x on [0, 1]) the pieces around it never do, down to two
// neighbouring doubles. Interval evaluation cannot tell a pole from a point
// where f merely has no value, so that is true as well, an end included:
// ln(x) on [0, 1], unbounded beside 0, but also x*ln(x) there, bounded
// beside it. So are values beyond double (exp(x) on [0, 1000]) and an f
// the search ran out of pieces on. sqrt(x) on [0, 1], defined at 0, is
// false. Where this is true, a change of sign may be a jump, not a root.
bool mayBeUnbounded(const Expression& f, double low, double high);

// A lower bound of min |f'| over [low, high] (either order): about 0.1 %
// below the true minimum at most, unless the search runs out of pieces to
// cut first, when it is lower but still a bound. None when f' may vanish or
// f or f' may be undefined somewhere there, or when that could not be ruled
// out within the pieces.
std::optional<double> smallestSlopeBound(const Expression& f, double low, double high);

// An upper bound of max |f'| over [low, high] (either order): about 0.1 %
// above the true maximum at most, unless the search runs out of pieces to
// cut first, when it is higher but still a bound. None when f or f' may be
// undefined somewhere there, f' beyond double, or unbounded (then no piece
// around the pole ever gives a finite bound). For q of simple iteration,
// pass phi as f.
std::optional<double> largestSlopeBound(const Expression& f, double low, double high);

// The same for max |f''|, with f, f' and f'' defined over all of it.
std::optional<double> largestCurvatureBound(const Expression& f, double low, double high);

// +1 or -1 when f' keeps that sign, never 0, over the whole of [low, high]
// (either order), with f defined there; none otherwise, or when it could
// not be shown.
std::optional<int> slopeSign(const Expression& f, double low, double high);

// +1 or -1 when f'' keeps that sign, never 0, over the whole of [low, high]
// (either order), with f and f' defined there; none otherwise, or when it
// could not be shown.
std::optional<int> curvatureSign(const Expression& f, double low, double high);
