#include "expression/evaluate.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#include "expression/mpfr_values.h"

// Two values of MPFR's own, at the precision's width.
struct MpfrScratch {
    explicit MpfrScratch(mpfr_prec_t bits) : values(bits) {}
    MpfrValues<2> values;
    const mpfr_ptr result = values[0];
    const mpfr_ptr operand = values[1];
};

namespace {

// The formats as MPFR sees them: significand bits, and the exponents of the
// smallest subnormal and beyond the largest finite value (MPFR writes
// values as 0.1xxx times a power of two).
struct Format {
    mpfr_prec_t bits;
    mpfr_exp_t minimum;
    mpfr_exp_t maximum;
};
constexpr Format DoubleFormat{53, -1073, 1024};
constexpr Format ExtendedFormat{64, -16444, 16384};

// Rounds the value MPFR just made, with its ternary value, into the format:
// its exponent range and its subnormals, once.
void roundInto(mpfr_t value, int ternary, const Format& format) {
    // Well inside the range there is nothing to do: MPFR has rounded to the
    // format's width already.
    if (mpfr_regular_p(value) && mpfr_get_exp(value) > format.minimum + format.bits &&
        mpfr_get_exp(value) < format.maximum) {
        return;
    }
    mpfr_set_emin(format.minimum);
    mpfr_set_emax(format.maximum);
    ternary = mpfr_check_range(value, ternary, MPFR_RNDN);
    mpfr_subnormalize(value, ternary, MPFR_RNDN);
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
}

// A decimal read to the value's precision, with the direction it was
// rounded in: subnormal results are rounded once more by roundInto, and a
// decimal just past a halfway point must not be rounded to even there.
int readDecimal(mpfr_t target, const std::string& decimal) {
    return mpfr_strtofr(target, decimal.c_str(), nullptr, 10, MPFR_RNDN);
}

void setMpfr(mpfr_t target, double value) {
    mpfr_set_d(target, value, MPFR_RNDN);
}

// A finite nonzero value, significand * 2^exponent, exactly at 64 bits:
// one call, where MPFR's own conversion of a long double takes several.
void setMpfr(mpfr_t target, std::uint64_t significand, mpfr_exp_t exponent, bool negative) {
    mpfr_set_uj_2exp(target, significand, exponent, MPFR_RNDN);
    if (negative) {
        mpfr_neg(target, target, MPFR_RNDN);
    }
}

#if CHORDS_X87_LONG_DOUBLE
// The x87 format's fields: the 64-bit significand with its leading bit, and
// the sign with the exponent biased by 16383, in the next two bytes.
struct X87Fields {
    std::uint64_t significand;
    std::uint16_t signAndExponent;
};

X87Fields fieldsOf(long double value) {
    X87Fields fields{};
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    std::memcpy(&fields.significand, bytes, 8);
    std::memcpy(&fields.signAndExponent, bytes + 8, 2);
    return fields;
}

long double longDoubleOf(X87Fields fields) {
    long double value = 0.0L;
    unsigned char bytes[sizeof value] = {};
    std::memcpy(bytes, &fields.significand, 8);
    std::memcpy(bytes + 8, &fields.signAndExponent, 2);
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void setMpfr(mpfr_t target, long double value) {
    const X87Fields fields = fieldsOf(value);
    const int biased = fields.signAndExponent & 0x7FFF;
    if (biased == 0x7FFF || fields.significand == 0) {
        mpfr_set_ld(target, value, MPFR_RNDN);  // infinite, NaN or zero
        return;
    }
    // A subnormal's exponent is that of the smallest normal value.
    setMpfr(target, fields.significand, std::max(biased, 1) - 16383 - 63, (fields.signAndExponent & 0x8000) != 0);
}

#endif

[[maybe_unused]] void setMpfr(mpfr_t target, const SoftExtended& value) {
    if (value.kind == ExtendedKind::NotANumber) {
        mpfr_set_nan(target);
        return;
    }
    if (value.kind == ExtendedKind::Infinite) {
        mpfr_set_inf(target, value.negative ? -1 : 1);
        return;
    }
    if (value.significand == 0) {
        mpfr_set_zero(target, value.negative ? -1 : 1);
        return;
    }
    setMpfr(target, value.significand, value.exponent - 63, value.negative);
}

double doubleOf(const mpfr_t value) {
    return mpfr_get_d(value, MPFR_RNDN);
}

// A regular value of 64-bit precision as MPFR holds it: 0.m * 2^e, m's 64
// bits in one limb or two. Every value the extended evaluations convert has
// that precision: their scratch and their constants are made with it.
std::uint64_t significandOf(const mpfr_t value) {
    assert(mpfr_get_prec(value) == 64);
    const auto* limbs = static_cast<const mp_limb_t*>(mpfr_custom_get_significand(value));
#if GMP_NUMB_BITS == 64
    return limbs[0];
#elif GMP_NUMB_BITS == 32
    return (std::uint64_t{limbs[1]} << 32) | limbs[0];
#else
#error "GMP's limbs are expected to have 32 or 64 bits"
#endif
}

template <typename Type>
Type extendedOf(const mpfr_t value) {
    if constexpr (std::is_same_v<Type, long double>) {
#if CHORDS_X87_LONG_DOUBLE
        // A normal value's fields written directly; the rest by MPFR.
        if (mpfr_regular_p(value)) {
            const mpfr_exp_t biased = mpfr_get_exp(value) - 1 + 16383;
            if (biased >= 1 && biased < 0x7FFF) {
                return longDoubleOf({significandOf(value),
                                     static_cast<std::uint16_t>((mpfr_signbit(value) ? 0x8000 : 0) | biased)});
            }
        }
#endif
        return mpfr_get_ld(value, MPFR_RNDN);
    } else {
        if (mpfr_nan_p(value)) {
            return SoftExtended{0, 0, false, ExtendedKind::NotANumber};
        }
        if (mpfr_inf_p(value)) {
            return SoftExtended{0, 0, mpfr_signbit(value) != 0, ExtendedKind::Infinite};
        }
        if (mpfr_zero_p(value)) {
            return SoftExtended{0, 0, mpfr_signbit(value) != 0, ExtendedKind::Finite};
        }
        // Rounded to 64 bits, the significand is the whole of MPFR's.
        std::uint64_t significand = significandOf(value);
        const mpfr_exp_t exponent = mpfr_get_exp(value);  // value in [2^(e-1), 2^e)
        auto binary = static_cast<std::int32_t>(exponent - 1);  // the top bit's weight
        // Below the normal range the exponent stays put and the significand
        // gives up its leading bits, exactly, since the value was subnormalized.
        if (binary < SoftExtendedMinExponent) {
            significand >>= SoftExtendedMinExponent - binary;
            binary = SoftExtendedMinExponent;
        }
        return SoftExtended{significand, binary, mpfr_signbit(value) != 0, ExtendedKind::Finite};
    }
}

// A decimal constant or pi or e, the nearest value in the format.
void constantInto(mpfr_t target, const Node& node, const Format& format) {
    int ternary = 0;
    if (node.kind == NodeKind::Pi) {
        ternary = mpfr_const_pi(target, MPFR_RNDN);
    } else if (node.kind == NodeKind::E) {
        mpfr_set_ui(target, 1, MPFR_RNDN);
        ternary = mpfr_exp(target, target, MPFR_RNDN);
    } else {
        ternary = readDecimal(target, node.text);
    }
    roundInto(target, ternary, format);
}

bool isConstant(const Node& node) {
    return node.kind == NodeKind::Number || node.kind == NodeKind::Pi || node.kind == NodeKind::E;
}

// One node's value from its operands' values, in Type (double or Extended).
// u^2 with the 2 written as a whole number.
bool squares(const Node& node, const std::vector<Node>& nodes) {
    const Node& exponent = nodes[static_cast<std::size_t>(node.right)];
    return exponent.kind == NodeKind::Number && exponent.text == "2";
}

template <typename Type, typename FromMpfr>
Type nodeValue(const Node& node, const std::vector<Node>& nodes, const std::vector<Type>& values, Type x,
               Type constant, MpfrScratch& scratch, const Format& format, FromMpfr fromMpfr) {
    const auto operand = [&values](std::int32_t at) { return values[static_cast<std::size_t>(at)]; };
    switch (node.kind) {
    case NodeKind::Number:
    case NodeKind::Pi:
    case NodeKind::E:
        return constant;
    case NodeKind::Variable:
        return x;
    case NodeKind::Negate:
        return -operand(node.left);
    case NodeKind::Add:
        return operand(node.left) + operand(node.right);
    case NodeKind::Subtract:
        return operand(node.left) - operand(node.right);
    case NodeKind::Multiply:
        return operand(node.left) * operand(node.right);
    case NodeKind::Divide:
        return operand(node.left) / operand(node.right);
    case NodeKind::Power: {
        // A square is one product, rounded once: the correctly rounded
        // power itself, at a fraction of its cost.
        if (squares(node, nodes)) {
            return operand(node.left) * operand(node.left);
        }
        setMpfr(scratch.result, operand(node.left));
        setMpfr(scratch.operand, operand(node.right));
        const int ternary = mpfr_pow(scratch.result, scratch.result, scratch.operand, MPFR_RNDN);
        roundInto(scratch.result, ternary, format);
        return fromMpfr(scratch.result);
    }
    case NodeKind::Function: {
        setMpfr(scratch.operand, operand(node.left));
        const int ternary = mpfrFunction(node.function)(scratch.result, scratch.operand, MPFR_RNDN);
        roundInto(scratch.result, ternary, format);
        return fromMpfr(scratch.result);
    }
    }
    return constant;
}

}  // namespace

Evaluator::Evaluator(const Expression& typed, Precision chosen)
    : expression(&typed),
      precision(chosen),
      doubleValues(typed.nodes.size()),
      extendedValues(typed.nodes.size(), toExtended(0.0)),
      scratch(std::make_unique<MpfrScratch>(chosen == Precision::Double ? 53 : 64)) {
    // A decimal constant is the nearest double for single and double, the
    // nearest extended value for extended.
    const Format& format = chosen == Precision::Wide ? ExtendedFormat : DoubleFormat;
    MpfrValues<1> constant(format.bits);
    doubleConstants.assign(typed.nodes.size(), 0.0);
    extendedConstants.assign(typed.nodes.size(), toExtended(0.0));
    for (std::size_t i = 0; i < typed.nodes.size(); ++i) {
        if (!isConstant(typed.nodes[i])) {
            continue;
        }
        constantInto(constant[0], typed.nodes[i], format);
        doubleConstants[i] = doubleOf(constant[0]);
        extendedConstants[i] = chosen == Precision::Wide ? extendedOf<Extended>(constant[0])
                                                             : toExtended(doubleConstants[i]);
    }
}

Evaluator::~Evaluator() = default;
Evaluator::Evaluator(Evaluator&&) noexcept = default;

double evaluateDouble(Evaluator& evaluator, double x) {
    const std::vector<Node>& nodes = evaluator.expression->nodes;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        evaluator.doubleValues[i] =
            nodeValue(nodes[i], nodes, evaluator.doubleValues, x, evaluator.doubleConstants[i], *evaluator.scratch,
                      DoubleFormat, [](const mpfr_t value) { return doubleOf(value); });
    }
    const double value = evaluator.doubleValues[static_cast<std::size_t>(evaluator.expression->root)];
    return std::isnan(value) ? std::numeric_limits<double>::quiet_NaN() : value;
}

Extended evaluateExtended(Evaluator& evaluator, Extended x) {
    const std::vector<Node>& nodes = evaluator.expression->nodes;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        evaluator.extendedValues[i] =
            nodeValue(nodes[i], nodes, evaluator.extendedValues, x, evaluator.extendedConstants[i],
                      *evaluator.scratch, ExtendedFormat,
                      [](const mpfr_t value) { return extendedOf<Extended>(value); });
    }
    const Extended value = evaluator.extendedValues[static_cast<std::size_t>(evaluator.expression->root)];
    if (isNan(value)) {
        mpfr_set_nan(evaluator.scratch->result);
        return extendedOf<Extended>(evaluator.scratch->result);  // one NaN, whatever made it
    }
    return value;
}

// x is never read: the value of any x will do.
double constantDouble(const Expression& constant) {
    if (constant.root < 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    Evaluator evaluator(constant, Precision::Double);
    return evaluateDouble(evaluator, 0.0);
}

Extended constantExtended(const Expression& constant, Precision precision) {
    Evaluator evaluator(constant, precision);
    if (constant.root < 0) {
        mpfr_set_nan(evaluator.scratch->result);
        return extendedOf<Extended>(evaluator.scratch->result);  // the one NaN F has
    }
    return evaluateExtended(evaluator, toExtended(0.0));
}

namespace {

template <typename Type, typename FromMpfr>
Type nearestIn(const std::string& decimal, const Format& format, FromMpfr fromMpfr) {
    MpfrValues<1> value(format.bits);
    roundInto(value[0], readDecimal(value[0], decimal), format);
    return fromMpfr(value[0]);
}

}  // namespace

double nearestDouble(const std::string& decimal) {
    return nearestIn<double>(decimal, DoubleFormat, [](const mpfr_t value) { return doubleOf(value); });
}

Extended nearestExtended(const std::string& decimal) {
    return nearestIn<Extended>(decimal, ExtendedFormat, [](const mpfr_t value) { return extendedOf<Extended>(value); });
}

std::string sixSignificantDigits(Extended value) {
    MpfrValues<1> wide(64);
    setMpfr(wide[0], value);
    char* digits = nullptr;
    std::string text;
    if (mpfr_asprintf(&digits, "%.6Rg", wide[0]) >= 0) {
        text = digits;
        mpfr_free_str(digits);
    }
    return text;
}
