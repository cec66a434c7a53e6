#pragma once
// Root separation: F tabulated at the N + 1 points of a uniform grid over
// [a, b], and the neighbouring points between which F changes sign, each
// such pair an interval a method can start from. Generic over the number
// format and the equation, as the chord walk is (chord_walk.h): values are
// stored in Numbers::Storage, formulas evaluated in Numbers::Work. Numbers
// alone: nothing is printed; whoever tabulates is told about every point.

#include <cstdint>
#include <optional>

#include "numeric/number_formats.h"

// One point of the grid and F there, as stored.
template <typename Numbers>
struct GridPoint {
    using Storage = typename Numbers::Storage;
    std::uint64_t index = 0;  // i, from 0 to N
    Storage x{};
    Storage fx{};
    // F has a sign at x: a finite value, or one beyond the format that the
    // equation reported as such (the dialog's exponential overflowing). NaN
    // (outside F's domain) and an infinity nobody reported (a pole, as 1/x
    // at 0) have none.
    bool defined = false;
    bool rangeReported = false;  // an evaluation of F reported a range event
};

// -1, 0 or +1 by F's stored value; 0 where F is not defined.
template <typename Numbers>
int signOf(const GridPoint<Numbers>& point) {
    const auto zero = Numbers::work(0.0);
    const auto value = Numbers::widened(point.fx);
    return !point.defined ? 0 : value > zero ? 1 : value < zero ? -1 : 0;
}

// A root on the grid: F stored as zero there.
template <typename Numbers>
bool gridRoot(const GridPoint<Numbers>& point) {
    return point.defined && signOf(point) == 0;
}

// Whether F changes sign from one point to the next: both defined, of
// opposite signs, neither zero (a zero is a root on the grid itself). Then
// F(left), stored, times F(right) is negative, and a chord walk accepts
// [left, right] as it is.
template <typename Numbers>
bool signChanges(const GridPoint<Numbers>& left, const GridPoint<Numbers>& right) {
    return signOf(left) * signOf(right) < 0;
}

// x_i in the working format, stored: with h = (b - a)/N written out as
// d = b - a,
//   x_i = a + (i*d)/N          for i <= N - i,
//   x_i = b - ((N - i)*d)/N    for i >  N - i,
// each operation rounded in that order. The grid is built from both ends
// so that x_0 is a and x_N is b exactly in every format, whatever N (one
// formula from a alone misses b by a unit in the last place: in double,
// (3*0.1)/3 is 0.10000000000000002). In the dialog's model the products
// are exact (a float's 24 bits times a count's 32 fit the extended 64), so
// each point is the exact one rounded twice, by the division and the store.
template <typename Numbers>
typename Numbers::Storage gridPointOf(typename Numbers::Storage a, typename Numbers::Storage b, std::uint32_t n,
                                      std::uint64_t i) {
    using Work = typename Numbers::Work;
    const Work low = Numbers::widened(a);
    const Work high = Numbers::widened(b);
    const Work width = high - low;
    const Work steps = Numbers::work(static_cast<double>(n));
    if (2 * i <= n) {
        return Numbers::stored(low + Numbers::work(static_cast<double>(i)) * width / steps);
    }
    return Numbers::stored(high - Numbers::work(static_cast<double>(n - i)) * width / steps);
}

// What a tabulation found: intervals with a change of sign, roots on the
// grid, points where F is not defined.
struct SeparationCounts {
    std::uint64_t points = 0;  // points tabulated (fewer than N + 1 when stopped)
    std::uint64_t changes = 0;
    std::uint64_t roots = 0;
    std::uint64_t undefined = 0;
};

// F at x_0 ... x_N, one point after another, each told to
//   bool observe(const GridPoint<Numbers>& point, const GridPoint<Numbers>* previous, bool change)
// where `change` says F changed sign from the previous point; false from
// the observer stops the tabulation. The equation is any object with
//   Work operator()(Storage x)         F(x), NaN where F is not defined;
//   std::uint64_t rangeEvents() const  range events reported so far.
template <typename Numbers, typename Equation, typename Observer>
SeparationCounts separateRoots(typename Numbers::Storage a, typename Numbers::Storage b, std::uint32_t n,
                               Equation& equation, Observer&& observe) {
    SeparationCounts counts;
    std::optional<GridPoint<Numbers>> previous;
    for (std::uint64_t i = 0; i <= n; ++i) {
        GridPoint<Numbers> point;
        point.index = i;
        point.x = gridPointOf<Numbers>(a, b, n, i);
        const std::uint64_t reported = equation.rangeEvents();
        const typename Numbers::Work value = equation(point.x);
        point.rangeReported = equation.rangeEvents() != reported;
        point.defined = Numbers::finiteWork(value) || (point.rangeReported && !Numbers::undefined(value));
        point.fx = Numbers::stored(value);
        const bool change = previous && signChanges(*previous, point);
        ++counts.points;
        counts.changes += change ? 1 : 0;
        counts.roots += gridRoot(point) ? 1 : 0;
        counts.undefined += point.defined ? 0 : 1;
        if (!observe(point, previous ? &*previous : nullptr, change)) {
            break;
        }
        previous = point;
    }
    return counts;
}
