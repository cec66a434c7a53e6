#pragma once
// What the lesson tells about the equation beyond the chords themselves:
// which end of an interval the method keeps, and the smallest slope of F
// there, from which an approximation's error is bounded. Numbers alone.

#include <optional>

#include "solver/chord.h"

// F'(x) = -2*e^(-x) + 0.4*x in extended precision: 0.4 as the nearest
// double, (0.4*x) minus 2*t.
Extended equationSlope(float x);

// F''(x) = 2*e^(-x) + 0.4 in extended precision: 2*t, then 0.4 added.
Extended equationCurvature(float x);

// The end the method of chords keeps in exact arithmetic: the end c where
// F(c)*F''(c) > 0. F''(x) = 2*e^(-x) + 0.4 is positive everywhere, so it is
// the end where F is positive; none when F is positive at neither end.
std::optional<ChordEnd> fixedEnd(Extended fa, Extended fb);

// m1 = min |F'| over the interval between a and b, widened to double. F'
// grows with x (F'' > 0), so the smallest |F'| lies at an end unless F'
// changes sign in between: then none, for F' may vanish there.
std::optional<double> smallestSlope(float a, float b);

// M1 = max |F'| and M2 = max |F''| over the interval between a and b,
// widened to double: F' grows with x, so |F'| is largest at an end; F''
// falls, so it is largest at the lower end.
double largestSlope(float a, float b);
double largestCurvature(float a, float b);
// +1 or -1 where F' keeps that sign over the interval; none where it
// vanishes there.
std::optional<int> slopeSign(float a, float b);
