#pragma once
// An equation a teacher typed, as a chords-steps run sees one: F in the
// run's format with the last few points remembered (in a one-sided walk
// each chord's F(a) is the previous chord's F(x), and F at the fixed end
// never changes), the lesson's facts found soundly by interval evaluation,
// and F in double for the picture's curve. Built where MPFR is.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "expression/analysis.h"
#include "expression/derivative.h"
#include "expression/evaluate.h"
#include "steps/lesson_facts.h"

// An expression at x in the format's working precision.
template <typename Format>
typename Format::Work evaluatedIn(Evaluator& evaluator, typename Format::Storage x) {
    if constexpr (Format::precision == Precision::Double) {
        return evaluateDouble(evaluator, x);
    } else {
        return evaluateExtended(evaluator, Format::widened(x));
    }
}

template <typename Format>
struct TypedEquation {
    using Storage = typename Format::Storage;
    using Work = typename Format::Work;
    static constexpr bool dialogF = false;

    TypedEquation(const Expression& typed, std::string typedText)
        : expression(typed), text(std::move(typedText)), evaluator(typed, Format::precision) {}

    const Expression& expression;
    std::string text;  // as typed, in the terminal's own characters
    Evaluator evaluator;
    std::optional<Evaluator> plotter;  // F in double for the curve, made when drawn
    Expression slopeExpression;        // F', made when a tangent is drawn
    std::optional<Evaluator> slopeEvaluator;
    // The last points asked for, the least recently used replaced: a
    // chord asks at a, at b and at its new point, and in a one-sided walk
    // a was the last chord's point and b has stayed.
    std::array<Storage, 4> points{};
    std::array<Work, 4> values{};
    std::array<std::uint64_t, 4> used{};  // when each was last asked for; 0: empty
    std::uint64_t asked = 0;

    Work operator()(Storage x) {
        ++asked;
        std::size_t oldest = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (used[i] != 0 && Format::sameBits(points[i], x)) {
                used[i] = asked;
                return values[i];
            }
            oldest = used[i] < used[oldest] ? i : oldest;
        }
        values[oldest] = evaluatedIn<Format>(evaluator, x);
        points[oldest] = x;
        used[oldest] = asked;
        return values[oldest];
    }
    std::uint64_t rangeEvents() const { return 0; }  // a typed F reports none

    // F'(x) from the symbolic derivative, evaluated as F is.
    Work slope(Storage x) {
        if (!slopeEvaluator) {
            slopeExpression = derivativeOf(expression);
            slopeEvaluator.emplace(slopeExpression, Format::precision);
        }
        return evaluatedIn<Format>(*slopeEvaluator, x);
    }

    // The end the method keeps, where F*F'' > 0 with F'' of one sign over
    // the whole interval, and m1.
    LessonFacts lesson(Storage a, Storage b, Work fa, Work fb) const {
        const Work storedFa = Format::widened(Format::stored(fa));
        const Work zero = Format::work(0.0);
        const double low = std::min(Format::plotted(Format::widened(a)), Format::plotted(Format::widened(b)));
        const double high = std::max(Format::plotted(Format::widened(a)), Format::plotted(Format::widened(b)));
        LessonFacts facts;
        facts.curvatureSign = curvatureSign(expression, low, high);
        if (const std::optional<int> curvature = facts.curvatureSign) {
            if (storedFa * Format::work(*curvature) > zero) {
                facts.fixedEnd = ChordEnd::A;
            } else if (fb * Format::work(*curvature) > zero) {
                facts.fixedEnd = ChordEnd::B;
            }
        }
        facts.smallestSlope = smallestSlopeBound(expression, low, high);
        facts.largestSlope = largestSlopeBound(expression, low, high);
        facts.largestCurvature = largestCurvatureBound(expression, low, high);
        facts.slopeSign = slopeSign(expression, low, high);
        facts.mayBeUnbounded = mayBeUnbounded(expression, low, high);
        return facts;
    }

    double plotted(double x) {
        if (!plotter) {
            plotter.emplace(expression, Precision::Double);
        }
        return evaluateDouble(*plotter, x);
    }
};
