#pragma once
// A fixed number of MPFR values at one precision, made with their holder and
// cleared with it. Only the evaluation library's own files include this: it
// brings MPFR's header, which the expression tree and its readers never need.

// <stdint.h> first: MPFR declares its uintmax_t functions only after it.
#include <stdint.h>
#include <mpfr.h>

#include <cstddef>
#include <iterator>

#include "expression/expression.h"

// An MPFR function of one operand, rounded in the direction given.
using MpfrFunction = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// MPFR's own function for each function a formula can name, each rounded
// once. cot is MPFR's cotangent: 1/tan would round twice and miss the
// nearest value now and then (cot(+-0) is +-inf, as 1/+-0 is); asin and
// acos are NaN outside [-1, 1].
inline MpfrFunction mpfrFunction(FunctionName function) {
    static constexpr MpfrFunction InNameOrder[] = {
        mpfr_exp, mpfr_log, mpfr_log10, mpfr_sqrt, mpfr_abs,  mpfr_sin,  mpfr_cos,  mpfr_tan,
        mpfr_cot, mpfr_asin, mpfr_acos, mpfr_atan, mpfr_sinh, mpfr_cosh, mpfr_tanh,
    };
    static_assert(std::size(InNameOrder) == FunctionNames);
    return InNameOrder[static_cast<std::size_t>(function)];
}

template <std::size_t Count>
class MpfrValues {
public:
    explicit MpfrValues(mpfr_prec_t bits) {
        for (mpfr_ptr value : values) {
            mpfr_init2(value, bits);
        }
    }
    ~MpfrValues() {
        for (mpfr_ptr value : values) {
            mpfr_clear(value);
        }
    }
    MpfrValues(const MpfrValues&) = delete;
    MpfrValues& operator=(const MpfrValues&) = delete;

    mpfr_ptr operator[](std::size_t at) { return values[at]; }
    mpfr_srcptr operator[](std::size_t at) const { return values[at]; }

private:
    mpfr_t values[Count];
};
