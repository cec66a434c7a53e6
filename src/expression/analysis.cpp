#include "expression/analysis.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numeric>
#include <optional>
#include <queue>
#include <utility>
#include <vector>

#include "expression/derivative.h"
#include "expression/interval.h"

namespace {

// How many times a search may halve a piece. Each halving evaluates the
// trees over two pieces and at a point, so large trees get fewer: F'' of a
// long F may have tens of thousands of nodes, and a search should still end
// within a second.
constexpr int SplitBudget = 2048;
constexpr std::size_t NodeBudget = 1000000;

int splitBudget(std::size_t nodesPerSplit) {
    return static_cast<int>(std::clamp<std::size_t>(NodeBudget / std::max<std::size_t>(nodesPerSplit, 1), 8,
                                                    SplitBudget));
}

// A bound is given once it is shown to be within this fraction of the
// extreme |g| found at a point.
constexpr double BoundTolerance = 1.0 / 1024;

// The least |g| over an enclosure: 0 when it may hold 0 or g may be
// undefined.
double leastMagnitude(const Interval& value) {
    if (!value.defined) {
        return 0;
    }
    if (value.low > 0) {
        return value.low;
    }
    if (value.high < 0) {
        return -value.high;
    }
    return 0;
}

// The greatest |g| over an enclosure: infinite when g may be undefined.
double greatestMagnitude(const Interval& value) {
    return std::max(std::fabs(value.low), std::fabs(value.high));
}

// The signs shown at single points. Both signs, with g defined all along,
// mean g vanishes between them, or jumps where it has no value.
class SignsSeen {
public:
    // False when g at a point may be undefined, is 0, or has had both
    // signs.
    bool keepOne(const Interval& value) {
        positive = positive || value.low > 0;
        negative = negative || value.high < 0;
        return value.defined && !(value.low == 0 && value.high == 0) && !(positive && negative);
    }

private:
    bool positive = false;
    bool negative = false;
};

// Halfway, or none when the piece is too narrow for doubles to halve.
std::optional<double> halfway(double low, double high) {
    const double middle = std::midpoint(low, high);
    if (!(low < middle && middle < high)) {
        return std::nullopt;
    }
    return middle;
}

bool isInterval(double& low, double& high) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return false;
    }
    if (low > high) {
        std::swap(low, high);
    }
    return true;
}

// f and its derivatives up to g, the one a search looks at. g's enclosure
// over a piece counts only where each tree before it is shown defined
// there: F'' says nothing where F has no value.
class Derivatives {
public:
    Derivatives(const Expression& f, int order) : f_(f) {
        for (int i = 0; i < order; ++i) {
            derived_.push_back(derivativeOf(derived_.empty() ? f : derived_.back()));
        }
    }

    const Expression& g() const { return tree(derived_.size()); }

    // False when a derivative was too large to build.
    bool built() const { return g().root >= 0; }

    // Each halving evaluates the trees before g over two pieces, and g over
    // them and at a point.
    int budget() const {
        std::size_t nodes = 3 * g().nodes.size();
        for (std::size_t i = 0; i < derived_.size(); ++i) {
            nodes += tree(i).nodes.size();
        }
        return splitBudget(nodes);
    }

    // Which trees before g are shown defined over [low, high], one bit
    // each, given those shown over a piece holding it.
    unsigned definedOver(double low, double high, unsigned shown) const {
        for (std::size_t i = 0; i < derived_.size(); ++i) {
            if ((shown & (1u << i)) == 0 && evaluateInterval(tree(i), low, high).defined) {
                shown |= 1u << i;
            }
        }
        return shown;
    }

    // g over [low, high], or none while a tree before it is not shown
    // defined there.
    std::optional<Interval> over(double low, double high, unsigned shown) const {
        if (shown != (1u << derived_.size()) - 1) {
            return std::nullopt;
        }
        return evaluateInterval(g(), low, high);
    }

    Interval at(double x) const { return evaluateInterval(g(), x, x); }

private:
    const Expression& tree(std::size_t i) const { return i == 0 ? f_ : derived_[i - 1]; }

    const Expression& f_;
    std::vector<Expression> derived_;
};

struct Piece {
    double low;
    double high;
    unsigned shown;  // the trees before g shown defined over it
    double bound;    // what it shows of |g|, for searches that bound it
};

// The lower bound of min |g|: the least |g| shown over the pieces, and |g|
// at any point an upper one. Where nothing is shown, 0.
class SmallestMagnitude {
public:
    static double over(const std::optional<Interval>& value) { return value ? leastMagnitude(*value) : 0.0; }
    static bool useful(double bound) { return bound > 0; }
    static bool worse(double a, double b) { return a < b; }

    // False when g at x may be undefined, is 0, or has had both signs.
    bool note(const Interval& value) {
        seen = std::min(seen, greatestMagnitude(value));
        return signs.keepOne(value);
    }

    bool close(double bound) const { return bound >= seen * (1 - BoundTolerance); }

private:
    SignsSeen signs;
    double seen = std::numeric_limits<double>::infinity();
};

// The upper bound of max |g|: the greatest |g| shown over the pieces, and
// |g| at any point a lower one. Where nothing is shown, infinite.
class LargestMagnitude {
public:
    static double over(const std::optional<Interval>& value) {
        return value ? greatestMagnitude(*value) : std::numeric_limits<double>::infinity();
    }
    static bool useful(double bound) { return std::isfinite(bound); }
    static bool worse(double a, double b) { return a > b; }

    // False when g at x may be undefined or beyond double.
    bool note(const Interval& value) {
        seen = std::max(seen, leastMagnitude(value));
        return value.defined && std::isfinite(value.low) && std::isfinite(value.high);
    }

    bool close(double bound) const { return bound <= seen * (1 + BoundTolerance); }

private:
    double seen = 0;
};

// Branch and bound: the worst bound over the pieces bounds |g| over the
// whole interval, and the piece holding it is halved until that bound
// meets what was found at a point. Goal says which end of |g| is bounded.
template <class Goal>
std::optional<double> magnitudeBound(const Derivatives& trees, double low, double high) {
    if (!isInterval(low, high) || !trees.built()) {
        return std::nullopt;
    }
    Goal goal;
    const auto atPoint = [&](double x) { return goal.note(trees.at(x)); };
    const auto piece = [&](double from, double to, unsigned shown) {
        shown = trees.definedOver(from, to, shown);
        return Piece{from, to, shown, Goal::over(trees.over(from, to, shown))};
    };
    // The worst bound first: it is what the answer waits for. Among equal
    // ones, the widest.
    const auto later = [](const Piece& a, const Piece& b) {
        if (a.bound != b.bound) {
            return Goal::worse(b.bound, a.bound);
        }
        return a.high - a.low < b.high - b.low;
    };
    if (!atPoint(low) || !atPoint(high)) {
        return std::nullopt;
    }
    const int budget = trees.budget();
    std::priority_queue<Piece, std::vector<Piece>, decltype(later)> pieces(later);
    pieces.push(piece(low, high, 0));
    for (int split = 0;; ++split) {
        const Piece next = pieces.top();
        pieces.pop();
        if (Goal::useful(next.bound) && goal.close(next.bound)) {
            return next.bound;
        }
        const std::optional<double> middle = halfway(next.low, next.high);
        if (split == budget || !middle) {
            return Goal::useful(next.bound) ? std::optional<double>(next.bound) : std::nullopt;
        }
        if (!atPoint(*middle)) {
            return std::nullopt;
        }
        pieces.push(piece(next.low, *middle, next.shown));
        pieces.push(piece(*middle, next.high, next.shown));
    }
}

// What a piece, or a search that must settle every piece, came to.
enum class Verdict {
    Settled,
    Open,     // a piece: to be halved; a search: a piece too narrow to halve, or the budget spent
    Refuted,  // the search is over, with no answer
};

// Settles every piece of [low, high], halving those `settle` leaves open,
// narrowest first, so that a point no piece around settles is reached
// before the budget is spent elsewhere. `settle` is given g's enclosure
// over a piece (none while a tree before g is not shown defined there);
// `atPoint` g's value at each point a piece is halved at, and the ends.
template <class Settle, class AtPoint>
Verdict settleEachPiece(const Derivatives& trees, double low, double high, Settle settle, AtPoint atPoint) {
    if (!atPoint(trees.at(low)) || !atPoint(trees.at(high))) {
        return Verdict::Refuted;
    }
    const int budget = trees.budget();
    std::vector<Piece> pieces{{low, high, 0, 0}};
    int splits = 0;
    while (!pieces.empty()) {
        const Piece next = pieces.back();
        pieces.pop_back();
        const unsigned shown = trees.definedOver(next.low, next.high, next.shown);
        const Verdict verdict = settle(trees.over(next.low, next.high, shown));
        if (verdict != Verdict::Open) {
            if (verdict == Verdict::Refuted) {
                return verdict;
            }
            continue;
        }
        const std::optional<double> middle = halfway(next.low, next.high);
        if (++splits > budget || !middle) {
            return Verdict::Open;
        }
        if (!atPoint(trees.at(*middle))) {
            return Verdict::Refuted;
        }
        pieces.push_back({*middle, next.high, shown, 0});
        pieces.push_back({next.low, *middle, shown, 0});
    }
    return Verdict::Settled;
}

// +1 or -1 when g keeps that sign over [low, high], with the trees before
// it defined there.
std::optional<int> signKept(const Derivatives& trees, double low, double high) {
    if (!isInterval(low, high) || !trees.built()) {
        return std::nullopt;
    }
    int sign = 0;
    const auto settle = [&sign](const std::optional<Interval>& value) {
        if (!value || !value->defined || !(value->low > 0 || value->high < 0)) {
            return Verdict::Open;
        }
        const int shown = value->low > 0 ? 1 : -1;
        if (sign != 0 && shown != sign) {
            return Verdict::Refuted;
        }
        sign = shown;
        return Verdict::Settled;
    };
    SignsSeen signs;
    const auto atPoint = [&signs](const Interval& value) { return signs.keepOne(value); };
    if (settleEachPiece(trees, low, high, settle, atPoint) != Verdict::Settled) {
        return std::nullopt;
    }
    return sign;
}

}  // namespace

bool mayBeUnbounded(const Expression& f, double low, double high) {
    const Derivatives trees(f, 0);
    if (!isInterval(low, high) || !trees.built()) {
        return true;
    }
    const auto settle = [](const std::optional<Interval>& value) {
        const bool bounded = value && value->defined && std::isfinite(value->low) && std::isfinite(value->high);
        return bounded ? Verdict::Settled : Verdict::Open;
    };
    const auto atPoint = [](const Interval&) { return true; };
    return settleEachPiece(trees, low, high, settle, atPoint) != Verdict::Settled;
}

std::optional<double> smallestSlopeBound(const Expression& f, double low, double high) {
    return magnitudeBound<SmallestMagnitude>(Derivatives(f, 1), low, high);
}

std::optional<double> largestSlopeBound(const Expression& f, double low, double high) {
    return magnitudeBound<LargestMagnitude>(Derivatives(f, 1), low, high);
}

std::optional<double> largestCurvatureBound(const Expression& f, double low, double high) {
    return magnitudeBound<LargestMagnitude>(Derivatives(f, 2), low, high);
}

std::optional<int> slopeSign(const Expression& f, double low, double high) {
    return signKept(Derivatives(f, 1), low, high);
}

std::optional<int> curvatureSign(const Expression& f, double low, double high) {
    return signKept(Derivatives(f, 2), low, high);
}
