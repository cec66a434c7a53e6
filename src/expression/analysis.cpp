#include "expression/analysis.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
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

// m1 is given once it is shown to be within this fraction of the smallest
// |f'| found at a point.
constexpr double SlopeTolerance = 1.0 / 1024;

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

// The signs shown at single points. Both signs, with g defined all along,
// mean g vanishes between them, or jumps where it has no value.
struct SignsSeen {
    bool positive = false;
    bool negative = false;
    void note(const Interval& value) {
        positive = positive || value.low > 0;
        negative = negative || value.high < 0;
    }
    bool both() const { return positive && negative; }
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

struct SlopePiece {
    double low;
    double high;
    double bound;        // the least |f'| shown over the piece, 0 if none
    bool functionShown;  // f is defined all over the piece
};

// The piece with the smallest bound first: it is what the answer waits
// for. Among pieces with none, the widest.
struct LaterPiece {
    bool operator()(const SlopePiece& a, const SlopePiece& b) const {
        if (a.bound != b.bound) {
            return a.bound > b.bound;
        }
        return a.high - a.low < b.high - b.low;
    }
};

}  // namespace

// Branch and bound: the smallest bound over the pieces is a lower bound of
// min |f'|, and |f'| at any point an upper one; the piece holding the
// smallest bound is halved until the two meet.
std::optional<double> smallestSlopeBound(const Expression& f, double low, double high) {
    if (!isInterval(low, high)) {
        return std::nullopt;
    }
    const Expression slope = derivativeOf(f);
    if (slope.root < 0) {
        return std::nullopt;
    }
    double leastSeen = std::numeric_limits<double>::infinity();
    SignsSeen signs;
    // False when f' at x may be undefined, is 0, or has had both signs.
    const auto tryPoint = [&](double x) {
        const Interval value = evaluateInterval(slope, x, x);
        if (!value.defined || (value.low == 0 && value.high == 0)) {
            return false;
        }
        signs.note(value);
        leastSeen = std::min(leastSeen, std::max(std::fabs(value.low), std::fabs(value.high)));
        return !signs.both();
    };
    const auto piece = [&](double from, double to, bool functionShown) {
        const bool shown = functionShown || evaluateInterval(f, from, to).defined;
        const double bound = shown ? leastMagnitude(evaluateInterval(slope, from, to)) : 0.0;
        return SlopePiece{from, to, bound, shown};
    };
    if (!tryPoint(low) || !tryPoint(high)) {
        return std::nullopt;
    }
    const int budget = splitBudget(f.nodes.size() + 3 * slope.nodes.size());
    std::priority_queue<SlopePiece, std::vector<SlopePiece>, LaterPiece> pieces;
    pieces.push(piece(low, high, false));
    for (int split = 0;; ++split) {
        const SlopePiece next = pieces.top();
        pieces.pop();
        if (next.bound > 0 && next.bound >= leastSeen * (1 - SlopeTolerance)) {
            return next.bound;
        }
        const std::optional<double> middle = halfway(next.low, next.high);
        if (split == budget || !middle) {
            return next.bound > 0 ? std::optional<double>(next.bound) : std::nullopt;
        }
        if (!tryPoint(*middle)) {
            return std::nullopt;
        }
        pieces.push(piece(next.low, *middle, next.functionShown));
        pieces.push(piece(*middle, next.high, next.functionShown));
    }
}

std::optional<int> curvatureSign(const Expression& f, double low, double high) {
    if (!isInterval(low, high)) {
        return std::nullopt;
    }
    const Expression slope = derivativeOf(f);
    const Expression curvature = derivativeOf(slope);
    if (curvature.root < 0) {
        return std::nullopt;
    }
    SignsSeen signs;
    // False when f'' at x may be undefined, is 0, or has had both signs.
    const auto tryPoint = [&](double x) {
        const Interval value = evaluateInterval(curvature, x, x);
        signs.note(value);
        return value.defined && !(value.low == 0 && value.high == 0) && !signs.both();
    };
    if (!tryPoint(low) || !tryPoint(high)) {
        return std::nullopt;
    }
    struct Piece {
        double low;
        double high;
        bool functionShown;  // f is defined all over the piece
        bool slopeShown;     // f' too
    };
    const int budget = splitBudget(f.nodes.size() + slope.nodes.size() + 3 * curvature.nodes.size());
    std::deque<Piece> pieces{{low, high, false, false}};
    int sign = 0;
    int splits = 0;
    while (!pieces.empty()) {
        const Piece next = pieces.front();
        pieces.pop_front();
        const bool functionShown = next.functionShown || evaluateInterval(f, next.low, next.high).defined;
        const bool slopeShown = next.slopeShown || evaluateInterval(slope, next.low, next.high).defined;
        if (functionShown && slopeShown) {
            const Interval value = evaluateInterval(curvature, next.low, next.high);
            if (value.defined && (value.low > 0 || value.high < 0)) {
                const int shown = value.low > 0 ? 1 : -1;
                if (sign != 0 && shown != sign) {
                    return std::nullopt;
                }
                sign = shown;
                continue;
            }
        }
        const std::optional<double> middle = halfway(next.low, next.high);
        if (++splits > budget || !middle || !tryPoint(*middle)) {
            return std::nullopt;
        }
        pieces.push_back({next.low, *middle, functionShown, slopeShown});
        pieces.push_back({*middle, next.high, functionShown, slopeShown});
    }
    return sign;
}
