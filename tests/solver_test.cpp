// The equation, its exponential's range rules, the sign test and the chord
// iteration, checked against exact values: bit patterns or printed digits.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "solver/chord.h"
#include "solver/equation.h"
#include "solver/exponential.h"
#include "solver/method_walk.h"
#include "numeric/precision.h"
#include "solver/range_event.h"
#include "solver/separation.h"

namespace {

constexpr float Infinity = std::numeric_limits<float>::infinity();
const std::string OverflowLine = "exp: OVERFLOW error\n";

void recordRangeMessage(void* record, const char* message) {
    static_cast<std::string*>(record)->append(message).append("\n");
}

// Records the range messages, one line each, for the length of a test.
class SolverTest : public ::testing::Test {
protected:
    void SetUp() override { rangeSink() = {recordRangeMessage, &errors}; }
    void TearDown() override { rangeSink() = {}; }

    std::string repeated(const std::string& line, int times) {
        std::string all;
        while (times-- > 0) {
            all += line;
        }
        return all;
    }

    std::string errors;
};

// Nine significant digits tell single-precision values apart.
std::string digits9(Extended value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", toDouble(value));
    return text;
}

std::string digits9(float value) {
    return digits9(toExtended(value));
}

std::string digits7(Extended value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.7g", toDouble(value));
    return text;
}

std::string digits3(Extended value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.3g", toDouble(value));
    return text;
}

double withHighWord(std::uint32_t high, std::uint32_t low) {
    return std::bit_cast<double>((std::uint64_t{high} << 32) | low);
}

// Every chord the walk draws, as a caller that shows them sees it; the
// idle stretch is counted, not drawn.
std::vector<DialogChord> traceChords(const ChordParameters& parameters, ChordOutcome& outcome) {
    std::vector<DialogChord> steps;
    DialogEquation equation;
    const WalkOutcome<SingleNumbers> walked = walkChords<SingleNumbers>(
        parameters.a, parameters.b, dialogRules(parameters), equation,
        observeSteps(
            [&](std::uint64_t number, const DialogChord& step, bool) {
                EXPECT_EQ(number, steps.size() + 1);
                steps.push_back(step);
                return true;
            },
            [](std::uint64_t first, std::uint64_t last) { EXPECT_LE(first, last); }));
    outcome = {walked.found, walked.x, walked.counter, walked.a, walked.b};
    return steps;
}

// Every result depends on it: the x87 unit rounds to a 64-bit significand,
// also when the process started with 53 bits.
TEST(ExtendedPrecisionTest, ArithmeticCarriesSixtyFourBits) {
#if CHORDS_X87_LONG_DOUBLE
    unsigned short control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    control = static_cast<unsigned short>((control & ~0x0300u) | 0x0200u);  // 53 bits
    asm volatile("fldcw %0" : : "m"(control));
#else
    GTEST_SKIP() << "long double has one fixed format here";
#endif
    useExtendedPrecision();
    volatile long double one = 1.0L;
    volatile long double lastBit = 0x1p-63L;
    EXPECT_NE(one + lastBit, one);
    EXPECT_EQ(one + lastBit / 2, one);
}

TEST_F(SolverTest, ExponentialOverflowsFromItsThresholdWithOneLineEach) {
    EXPECT_TRUE(exponential(709.7822265625) == extendedInfinity());
    EXPECT_TRUE(exponential(std::numeric_limits<double>::infinity()) == extendedInfinity());
    EXPECT_EQ(errors, repeated(OverflowLine, 2));

    errors.clear();
    const double belowThreshold = std::nextafter(709.7822265625, 0.0);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(belowThreshold) >> 32, 0x40862E41u);
    const Extended nearLimit = exponential(belowThreshold);
    EXPECT_TRUE(isFinite(nearLimit));
    EXPECT_TRUE(nearLimit > toExtended(1e308));
    EXPECT_EQ(errors, "");
}

TEST_F(SolverTest, ExponentialUnderflowsSilentlyToZero) {
    const Extended zero = toExtended(0.0);
    EXPECT_TRUE(exponential(-708.39599609375) == zero);
    EXPECT_TRUE(exponential(-1e300) == zero);
    EXPECT_TRUE(exponential(-std::numeric_limits<double>::infinity()) == zero);
    // The range is decided on the upper word: its whole block underflows.
    EXPECT_TRUE(exponential(-withHighWord(ExpUnderflowHighWord, 0)) == zero);
    EXPECT_TRUE(exponential(-withHighWord(ExpUnderflowHighWord - 1, 0xFFFFFFFFu)) > zero);
    EXPECT_EQ(errors, "");
}

TEST_F(SolverTest, ExponentialInsideItsRange) {
    EXPECT_TRUE(exponential(0.0) == toExtended(1.0));
    EXPECT_TRUE(exponential(-0.0) == toExtended(1.0));
    EXPECT_EQ(digits9(exponential(1.0)), "2.71828183");
    // Between 704 and the limits the computation is the normal one.
    EXPECT_TRUE(isFinite(exponential(705.0)));
    EXPECT_TRUE(exponential(-705.0) > toExtended(0.0));
    EXPECT_EQ(errors, "");
}

TEST_F(SolverTest, RangeHandlerReportsOnlyTheKindsItDeclines) {
    const char* names[] = {"DOMAIN", "SING", "OVERFLOW", "UNDERFLOW", "TLOSS", "PLOSS"};
    for (int kind = 1; kind <= 6; ++kind) {
        EXPECT_STREQ(rangeKindName(static_cast<RangeKind>(kind)), names[kind - 1]);
    }
    RangeEvent underflow{RangeKind::Underflow, "exp", -800.0, 0.0, 1e-300L};
    EXPECT_EQ(handleRangeEvent(underflow), 0.0L);
    RangeEvent totalLoss{RangeKind::TotalLoss, "sin", 1e30, 0.0, 0.5L};
    EXPECT_EQ(handleRangeEvent(totalLoss), 0.5L);
    EXPECT_EQ(errors, "");

    RangeEvent domain{RangeKind::Domain, "log", -1.0, 0.0, 7.0L};
    EXPECT_EQ(handleRangeEvent(domain), 7.0L);
    RangeEvent partialLoss{RangeKind::PartialLoss, "tan", 1e10, 0.0, 3.0L};
    EXPECT_EQ(handleRangeEvent(partialLoss), 3.0L);
    EXPECT_EQ(errors, "log: DOMAIN error\ntan: PLOSS error\n");
}

TEST_F(SolverTest, EquationAtTheListedPoints) {
    EXPECT_TRUE(equationF(0.0f) == toExtended(0.5));
    EXPECT_EQ(digits7(equationF(1.0f)), "-0.5642411");
    EXPECT_EQ(digits7(equationF(2.0f)), "-0.4293294");
    EXPECT_EQ(digits7(equationF(3.0f)), "0.3995741");
    // The smallest magnitudes F takes at single-precision arguments.
    EXPECT_EQ(digits3(magnitude(equationF(0.299733043f))), "7.18e-09");
    EXPECT_EQ(digits3(magnitude(equationF(2.59938622f))), "9.96e-08");
    EXPECT_EQ(errors, "");
}

// Each operation rounded to 64 bits and the sum once more to single
// precision: (0.2*x)*x - 1.5 rounded to 53 bits first would end one unit low.
TEST_F(SolverTest, EquationRoundsOnceFromSixtyFourBitsToSingle) {
    const float x = std::bit_cast<float>(0x5ABBBC00u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(toFloat(equationF(x))), 0x74DC46B7u);
}

TEST_F(SolverTest, EquationAtTheExponentialsLimits) {
    EXPECT_TRUE(equationF(-709.7822265625f) == extendedInfinity());
    EXPECT_EQ(errors, OverflowLine);
    errors.clear();
    // e^(-x) underflows to 0, leaving the quadratic alone.
    const Extended x = toExtended(708.39599609375);
    EXPECT_TRUE(equationF(708.39599609375f) == toExtended(0.2) * x * x - toExtended(1.5));
    EXPECT_EQ(errors, "");
}

TEST_F(SolverTest, SignTestAcceptsOnlyAChangeOfSign) {
    EXPECT_FALSE(intervalRejected(0.0f, 1.0f));
    EXPECT_FALSE(intervalRejected(1.0f, 0.0f));
    EXPECT_FALSE(intervalRejected(2.0f, 3.0f));
    EXPECT_TRUE(intervalRejected(3.0f, 4.0f));  // positive at both ends
    EXPECT_TRUE(intervalRejected(0.0f, 3.0f));  // both roots inside
    EXPECT_TRUE(intervalRejected(1.0f, 2.0f));  // negative at both ends
}

TEST_F(SolverTest, SignTestRejectsEndsNoChordCanStartFrom) {
    // Infinite ends, typed beyond the single-precision range; F(-infinity)
    // overflows like any argument below the limit.
    EXPECT_TRUE(intervalRejected(Infinity, 1.0f));
    EXPECT_TRUE(intervalRejected(1.0f, -Infinity));
    EXPECT_EQ(errors, OverflowLine);
    errors.clear();
    // F(start) beyond the single-precision range, on both sides.
    EXPECT_TRUE(intervalRejected(-88.02969360351562f, 1.0f));
    EXPECT_FALSE(intervalRejected(-88.0296859741211f, 1.0f));
    EXPECT_TRUE(intervalRejected(4.124817431797013e19f, 1.0f));
    EXPECT_FALSE(intervalRejected(4.124816991992362e19f, 1.0f));
    EXPECT_TRUE(intervalRejected(-709.7821655273438f, 1.0f));
    EXPECT_EQ(errors, "");
    // F(start) = +infinity from the exponential's overflow.
    EXPECT_TRUE(intervalRejected(-709.7822265625f, 1.0f));
    EXPECT_EQ(errors, OverflowLine);
}

TEST_F(SolverTest, SignTestEvaluatesEachEndOnce) {
    EXPECT_FALSE(intervalRejected(1.0f, -800.0f));  // F(end) = +infinity stays legal
    EXPECT_EQ(errors, OverflowLine);
}

TEST_F(SolverTest, ChordsFromZeroToOneKeepTheStartFixed) {
    ChordOutcome outcome;
    const auto steps = traceChords({0.0f, 1.0f, 0.0001f, 100}, outcome);
    const char* expected[] = {"0.469818354", "0.332910538", "0.305890918",
                              "0.300865114", "0.299940795", "0.29977116"};
    ASSERT_EQ(steps.size(), std::size(expected));
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].a, 0.0f) << "step " << i;
        EXPECT_EQ(digits9(*steps[i].x), expected[i]) << "step " << i;
    }
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(outcome.counter, 5u);
    EXPECT_EQ(digits9(*outcome.x), "0.29977116");
}

TEST_F(SolverTest, ReversedEndsGiveTheSameApproximations) {
    ChordOutcome forward;
    ChordOutcome reversed;
    const auto forwardSteps = traceChords({0.0f, 1.0f, 0.0001f, 100}, forward);
    const auto reversedSteps = traceChords({1.0f, 0.0f, 0.0001f, 100}, reversed);
    ASSERT_EQ(forwardSteps.size(), reversedSteps.size());
    for (std::size_t i = 0; i < forwardSteps.size(); ++i) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(*forwardSteps[i].x),
                  std::bit_cast<std::uint32_t>(*reversedSteps[i].x));
    }
    EXPECT_EQ(reversed.counter, forward.counter);
}

TEST_F(SolverTest, ChordsFromTwoToThreeKeepTheEndFixed) {
    ChordOutcome outcome;
    const auto steps = traceChords({2.0f, 3.0f, 0.000001f, 50}, outcome);
    for (const DialogChord& step : steps) {
        EXPECT_EQ(step.b, 3.0f);
    }
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(outcome.counter, 5u);
    EXPECT_EQ(digits9(*outcome.x).substr(0, 7), "2.59938");
    EXPECT_EQ(digits3(magnitude(equationF(*outcome.x))), "9.63e-07");
}

TEST_F(SolverTest, FirstChordMeetingTheAccuracyCountsZero) {
    ChordOutcome outcome;
    const auto steps = traceChords({0.0f, 0.3f, 0.001f, 5}, outcome);
    EXPECT_EQ(steps.size(), 1u);
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(outcome.counter, 0u);
    // The end is replaced even in the step that meets the accuracy.
    EXPECT_EQ(outcome.a, 0.0f);
    EXPECT_EQ(outcome.b, *outcome.x);
}

TEST_F(SolverTest, LimitOfZeroDrawsNoChord) {
    ChordOutcome outcome;
    const auto steps = traceChords({0.0f, 1.0f, 0.001f, 0}, outcome);
    EXPECT_TRUE(steps.empty());
    EXPECT_FALSE(outcome.found);
    EXPECT_FALSE(outcome.x.has_value());
    EXPECT_EQ(outcome.counter, 0u);
}

TEST_F(SolverTest, UnreachableAccuracyRunsExactlyToTheLimit) {
    ChordOutcome outcome;
    const auto steps = traceChords({0.0f, 1.0f, 1e-12f, 10}, outcome);
    EXPECT_EQ(steps.size(), 10u);
    EXPECT_FALSE(outcome.found);
    EXPECT_EQ(outcome.counter, 10u);
    EXPECT_EQ(digits9(*outcome.x), "0.299733102");
    EXPECT_EQ(digits9(steps.back().fx), "-7.40082839e-08");
    // Only a value below the accuracy meets it, not one equal to it.
    traceChords({0.0f, 1.0f, std::fabs(steps.back().fx), 10}, outcome);
    EXPECT_FALSE(outcome.found);

    for (const float epsilon : {0.0f, -1.0f}) {
        const auto idle = traceChords({0.0f, 1.0f, epsilon, 7}, outcome);
        EXPECT_EQ(idle.size(), 7u);
        EXPECT_FALSE(outcome.found);
    }
}

TEST_F(SolverTest, IterationIdlesJustAboveTheAccuracy) {
    ChordOutcome outcome;
    const auto steps = traceChords({2.0f, 3.0f, 1e-7f, 100}, outcome);
    // From the seventh chord on nothing moves: the rest are counted, not drawn.
    ASSERT_EQ(steps.size(), 8u);
    for (std::size_t i = 6; i < steps.size(); ++i) {
        EXPECT_EQ(digits9(*steps[i].x), "2.59938598") << "step " << i;
        EXPECT_EQ(digits9(std::fabs(steps[i].fx)), "1.12893083e-07") << "step " << i;
    }
    EXPECT_EQ(steps[7].a, *steps[6].x);
    EXPECT_FALSE(outcome.found);
    EXPECT_EQ(outcome.counter, 100u);
}

TEST_F(SolverTest, PointPastTheRootMovesThePositiveEnd) {
    ChordOutcome outcome;
    const auto steps = traceChords({2.5f, 2.6f, 0.0f, 20}, outcome);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(digits9(*steps[0].x), "2.59936666");
    EXPECT_LT(steps[0].fx, 0.0f);
    EXPECT_EQ(steps[1].a, *steps[0].x);
    for (std::size_t i = 1; i < steps.size(); ++i) {
        EXPECT_EQ(digits9(*steps[i].x), "2.59938622") << "step " << i;
        EXPECT_GT(steps[i].fx, 0.0f);
        if (i + 1 < steps.size()) {
            EXPECT_EQ(steps[i + 1].b, *steps[i].x);
        }
    }
    EXPECT_EQ(outcome.b, *steps[1].x);
    EXPECT_FALSE(outcome.found);
    EXPECT_EQ(outcome.counter, 20u);
    // The limit reached by the chord that repeats: no idle stretch after it.
    EXPECT_EQ(traceChords({2.5f, 2.6f, 0.0f, 3}, outcome).size(), 3u);
    EXPECT_EQ(outcome.counter, 3u);
}

TEST_F(SolverTest, HugeValueAtTheEndFreezesTheStart) {
    ChordOutcome outcome;
    const auto steps = traceChords({1.0f, -100.0f, 0.001f, 8}, outcome);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(*steps[0].x, 1.0f);
    EXPECT_FALSE(outcome.found);
    EXPECT_EQ(outcome.counter, 8u);
}

TEST_F(SolverTest, IdleChordsAreCountedUpToTheLargestLimit) {
    ChordOutcome outcome;
    const auto steps = traceChords({0.0f, 1.0f, 0.0f, 4294967295u}, outcome);
    EXPECT_LT(steps.size(), 100u);
    EXPECT_FALSE(outcome.found);
    EXPECT_EQ(outcome.counter, 4294967295u);
    EXPECT_EQ(*outcome.x, *steps.back().x);
}

TEST_F(SolverTest, InfiniteValueAtTheEndWritesOneLinePerChord) {
    ChordOutcome outcome;
    const auto steps = traceChords({1.0f, -800.0f, 0.001f, 3}, outcome);
    EXPECT_EQ(steps.size(), 3u);
    EXPECT_FALSE(outcome.found);
    EXPECT_EQ(outcome.counter, 3u);
    EXPECT_EQ(errors, repeated(OverflowLine, 3));

    // Nothing moves here either, but every chord writes its line: all are drawn.
    errors.clear();
    EXPECT_EQ(traceChords({1.0f, -800.0f, 0.001f, 50}, outcome).size(), 50u);
    EXPECT_EQ(errors, repeated(OverflowLine, 50));

    // The start is a root already when its F meets the accuracy.
    errors.clear();
    const auto first = traceChords({0.3f, -800.0f, 0.001f, 3}, outcome);
    EXPECT_EQ(first.size(), 1u);
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(*outcome.x, 0.3f);
}

TEST_F(SolverTest, ChordsThatCannotBeDrawnEndTheSearchUnfound) {
    const Extended half = toExtended(0.5);
    EXPECT_FALSE(chordPointOf<SingleNumbers>(0.0f, 1.0f, toExtended(0.5f), half).has_value());  // zero denominator
    EXPECT_FALSE(chordPointOf<SingleNumbers>(1.0f, 0.0f, toExtended(Infinity), -half).has_value());  // 0 * infinity
    EXPECT_FALSE(chordPointOf<SingleNumbers>(Infinity, 1.0f, toExtended(Infinity), -half).has_value());
    EXPECT_FALSE(chordPointOf<SingleNumbers>(3e38f, -3e38f, toExtended(-1.0f), -half).has_value());  // beyond single range

    // A start whose F is infinite, had it passed the sign test.
    ChordOutcome outcome;
    const auto steps = traceChords({-709.7822265625f, 1.0f, 1.0f, 5}, outcome);
    EXPECT_EQ(steps.size(), 1u);
    EXPECT_FALSE(outcome.found);
    EXPECT_FALSE(outcome.x.has_value());
    EXPECT_LT(outcome.counter, 5u);
}

// The root stays bracketed: every chord starts from values of opposite sign
// and lands between its ends, whichever end moves.
TEST_F(SolverTest, EveryChordKeepsTheRootBracketed) {
    const ChordParameters intervals[] = {
        {0.0f, 1.0f, 0.0f, 40},  {1.0f, 0.0f, 0.0f, 40},   {2.0f, 3.0f, 0.0f, 40},
        {2.5f, 2.6f, 0.0f, 40},  {-50.0f, 1.0f, 0.0f, 40}, {1.0f, 1e6f, 0.0f, 40},
        {0.29f, 0.31f, 0.0f, 40}, {2.59f, 2.6f, 0.0f, 40}};
    for (const ChordParameters& parameters : intervals) {
        ChordOutcome outcome;
        for (const DialogChord& step : traceChords(parameters, outcome)) {
            ASSERT_TRUE(step.x.has_value());
            EXPECT_TRUE(step.fa * step.fb < toExtended(0.0)) << "from " << parameters.a << ", " << parameters.b;
            EXPECT_GE(*step.x, std::min(step.a, step.b));
            EXPECT_LE(*step.x, std::max(step.a, step.b));
        }
    }
}

}  // namespace

namespace {

// An equation in doubles as the walk sees one: x^2 - 2, undefined (NaN)
// strictly between the two holes.
struct Square {
    double holeLow = 0.0;
    double holeHigh = 0.0;
    double operator()(double x) const { return holeLow < x && x < holeHigh ? std::nan("") : x * x - 2.0; }
    double slope(double x) const { return 2.0 * x; }
    double map(double x) const { return (x + 2.0 / x) / 2.0; }
    std::uint64_t rangeEvents() const { return 0; }
};

std::vector<Chord<DoubleNumbers>> walkSquare(Square square, ChordRules<DoubleNumbers> rules,
                                             WalkOutcome<DoubleNumbers>& outcome) {
    std::vector<Chord<DoubleNumbers>> chords;
    outcome = walkChords<DoubleNumbers>(1.0, 2.0, rules, square, observeSteps([&](std::uint64_t, const auto& chord, bool) {
                                            chords.push_back(chord);
                                            return true;
                                        },
                                        [](std::uint64_t, std::uint64_t) {}));
    return chords;
}

}  // namespace

// The walk over any format and equation: on x^2 - 2 from [1, 2] the first
// chord lands at 4/3 (F = -2/9) and replaces a; Illinois halves F(b) = 2
// when a goes a second time, and the next chord starts from 1. The step
// rule never stops at the first point; a point where F is not defined ends
// the walk unfound.
TEST(ChordWalkTest, MethodsStopRulesAndUndefinedPoints) {
    WalkOutcome<DoubleNumbers> outcome;
    const auto illinois = walkSquare({}, {1e-300, 3, Method::Illinois, StopRule::Residual, std::nullopt}, outcome);
    ASSERT_EQ(illinois.size(), 3u);
    EXPECT_EQ(*illinois[0].x, 4.0 / 3.0);
    EXPECT_EQ(illinois[0].replaced, ChordEnd::A);
    EXPECT_FALSE(illinois[0].scale);
    EXPECT_EQ(illinois[1].replaced, ChordEnd::A);
    EXPECT_EQ(illinois[1].scale, 0.5);
    EXPECT_TRUE(illinois[2].fbScaled);
    EXPECT_EQ(illinois[2].fb, 1.0);
    EXPECT_EQ(outcome.counter, 3u);

    const auto stepped = walkSquare({}, {0.2, 10, Method::Chords, StopRule::Step, std::nullopt}, outcome);
    EXPECT_EQ(stepped.size(), 2u);  // |x2 - x1| < 0.2, though nothing is below it at x1
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(outcome.counter, 1u);
    // Only a step below EPS meets it, not one equal to it; and a step onto a
    // point where F is not defined meets nothing.
    walkSquare({}, {*stepped[1].x - *stepped[0].x, 10, Method::Chords, StopRule::Step, std::nullopt}, outcome);
    EXPECT_EQ(outcome.counter, 2u);
    const auto intoHole = walkSquare({1.39, 1.41}, {0.2, 10, Method::Chords, StopRule::Step, std::nullopt}, outcome);
    ASSERT_EQ(intoHole.size(), 2u);
    EXPECT_TRUE(intoHole[1].undefined);
    EXPECT_FALSE(outcome.found);

    const auto undefined = walkSquare({1.3, 1.4}, {1e-3, 10, Method::Chords, StopRule::Residual, std::nullopt}, outcome);
    ASSERT_EQ(undefined.size(), 1u);
    EXPECT_TRUE(undefined[0].undefined);
    EXPECT_EQ(undefined[0].replaced, ChordEnd::None);
    EXPECT_FALSE(outcome.found);
    EXPECT_EQ(*outcome.x, 4.0 / 3.0);
    EXPECT_EQ(outcome.counter, 0u);

    // Where its own factor would not shrink the kept value, a modified
    // method halves it: Pegasus on an exact root (0/0), Anderson-Bjorck
    // where 1 - F(x)/F(replaced) is 0 (F as flat as at the end replaced) or
    // below; otherwise that factor.
    EXPECT_EQ(keptEndFactor<DoubleNumbers>(Method::Pegasus, 0.0, 0.0), 0.5);
    EXPECT_EQ(keptEndFactor<DoubleNumbers>(Method::AndersonBjorck, -0.25, -0.25), 0.5);
    EXPECT_EQ(keptEndFactor<DoubleNumbers>(Method::AndersonBjorck, -0.25, -0.5), 0.5);
    EXPECT_EQ(keptEndFactor<DoubleNumbers>(Method::AndersonBjorck, -0.5, -0.125), 0.75);
}

// Every method walks in the one loop, which stops taking steps once one
// leaves the walk as it found it: bisection with EPS 0 once its midpoint
// rounds to an end, simple iteration once phi(x) rounds to x itself. The rest up
// to the limit are counted, said once as idle, and the root is not found.
TEST(ChordWalkTest, MethodsThatStandStillAreCountedNotRepeated) {
    for (const Method method : {Method::Bisection, Method::Iteration}) {
        Square square;
        std::uint64_t steps = 0;
        std::pair<std::uint64_t, std::uint64_t> idle;
        const WalkOutcome<DoubleNumbers> outcome = walkMethod<DoubleNumbers>(
            startMethod<DoubleNumbers>(method, 1.0, 2.0, 2.0, false, square), {0.0, 1000, StopRule::Residual, {}},
            square,
            observeSteps([&](std::uint64_t number, const auto&, bool) { return steps = number, true; },
                         [&](std::uint64_t first, std::uint64_t last) { idle = {first, last}; }));
        EXPECT_LT(steps, 60u) << static_cast<int>(method);
        EXPECT_EQ(idle, std::make_pair(steps + 1, std::uint64_t{1000}));
        EXPECT_EQ(outcome.counter, 1000u);
        EXPECT_FALSE(outcome.found);
        if (method == Method::Bisection) {  // two neighbouring doubles around the root
            EXPECT_EQ(outcome.b, std::nextafter(outcome.a, 2.0));
        }
    }
    // A step F (-1 below 1.3, 1 above) keeps its values at the ends while
    // the bracket shrinks: that is not standing still.
    struct Jump {
        double operator()(double x) const { return x < 1.3 ? -1.0 : 1.0; }
        double slope(double) const { return 0.0; }  // the walk's other methods ask for these
        double map(double x) const { return x; }
    } jump;
    std::uint64_t steps = 0;
    walkMethod<DoubleNumbers>(startMethod<DoubleNumbers>(Method::Bisection, 1.0, 2.0, 1.0, false, jump),
                              {0.0, 1000, StopRule::Residual, {}}, jump,
                              observeSteps([&](std::uint64_t number, const auto&, bool) { return steps = number, true; },
                                           [](std::uint64_t, std::uint64_t) {}));
    EXPECT_GT(steps, 40u);
}

namespace {

// Root separation: the dialog's F on [0, 3] in twenty steps, its points
// stored as floats, changes sign around its two roots (0.2997..., 2.5994...)
// and nowhere else. The points are built from both ends, so that the last
// is B exactly: in double, where (3*0.1)/3 misses 0.1 by a unit. F beyond
// the format where the exponential said so still has its sign.
TEST_F(SolverTest, SeparationFindsTheSignChangesOnTheGrid) {
    DialogEquation equation;
    std::vector<GridPoint<SingleNumbers>> points;
    std::vector<std::pair<float, float>> changes;
    const SeparationCounts counts = separateRoots<SingleNumbers>(
        0.0f, 3.0f, 20, equation, [&](const GridPoint<SingleNumbers>& point, const GridPoint<SingleNumbers>* previous, bool change) {
            points.push_back(point);
            if (change) {
                changes.emplace_back(previous->x, point.x);
            }
            return true;
        });
    ASSERT_EQ(points.size(), 21u);
    // The nearest floats to 0.15, 0.3, 1.05, 1.95 (from the upper end), 2.55, 2.7 and 3.
    const std::pair<std::size_t, std::uint32_t> bits[] = {{0, 0u},           {1, 0x3e19999au},  {2, 0x3e99999au},
                                                          {7, 0x3f866666u},  {13, 0x3ff9999au}, {17, 0x40233333u},
                                                          {18, 0x402ccccdu}, {20, 0x40400000u}};
    for (const auto& [i, pattern] : bits) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(points[i].x), pattern) << i;
    }
    EXPECT_EQ(digits9(points[2].fx), "-0.000363574858");
    EXPECT_EQ(changes, (std::vector<std::pair<float, float>>{{0.15f, 0.3f}, {2.55f, 2.7f}}));
    EXPECT_EQ(counts.changes, 2u);
    EXPECT_EQ(counts.roots + counts.undefined, 0u);

    EXPECT_EQ(gridPointOf<DoubleNumbers>(0.0, 0.1, 3, 3), 0.1);

    separateRoots<SingleNumbers>(-800.0f, -700.0f, 1, equation, [](const GridPoint<SingleNumbers>& point, const auto*, bool) {
        EXPECT_EQ(point.defined && point.rangeReported, point.index == 0);
        EXPECT_EQ(signOf(point), 1);
        return true;
    });
}

}  // namespace
