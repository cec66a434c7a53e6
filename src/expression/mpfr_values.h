#pragma once
// A fixed number of MPFR values at one precision, made with their holder and
// cleared with it. Only the evaluation library's own files include this: it
// brings MPFR's header, which the expression tree and its readers never need.

// <stdint.h> first: MPFR declares its uintmax_t functions only after it.
#include <stdint.h>
#include <mpfr.h>

#include <cstddef>

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
