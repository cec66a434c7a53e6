// Free-format digit generation (Steele and White, as refined by Burger and
// Dybvig) over big integers: value = r / s, with the gaps to the
// neighbouring values m- / s and m+ / s; digits are produced until the
// number written lies within half a gap of the value.
#include "numeric/extended_digits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// Non-negative integers, 32 bits a limb, least significant first.
struct Big {
    std::vector<std::uint32_t> limbs;
};

Big bigOf(std::uint64_t value) {
    Big big;
    while (value != 0) {
        big.limbs.push_back(static_cast<std::uint32_t>(value));
        value >>= 32;
    }
    return big;
}

void trim(Big& big) {
    while (!big.limbs.empty() && big.limbs.back() == 0) {
        big.limbs.pop_back();
    }
}

void multiply(Big& big, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : big.limbs) {
        const std::uint64_t product = std::uint64_t{limb} * factor + carry;
        limb = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    if (carry != 0) {
        big.limbs.push_back(static_cast<std::uint32_t>(carry));
    }
}

void shiftLeft(Big& big, int bits) {
    big.limbs.insert(big.limbs.begin(), static_cast<std::size_t>(bits / 32), 0u);
    const int rest = bits % 32;
    if (rest != 0) {
        std::uint32_t carry = 0;
        for (std::uint32_t& limb : big.limbs) {
            const std::uint32_t next = limb >> (32 - rest);
            limb = (limb << rest) | carry;
            carry = next;
        }
        if (carry != 0) {
            big.limbs.push_back(carry);
        }
    }
}

int compare(const Big& a, const Big& b) {
    if (a.limbs.size() != b.limbs.size()) {
        return a.limbs.size() < b.limbs.size() ? -1 : 1;
    }
    for (std::size_t i = a.limbs.size(); i-- > 0;) {
        if (a.limbs[i] != b.limbs[i]) {
            return a.limbs[i] < b.limbs[i] ? -1 : 1;
        }
    }
    return 0;
}

Big sum(const Big& a, const Big& b) {
    Big total;
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < std::max(a.limbs.size(), b.limbs.size()); ++i) {
        carry += (i < a.limbs.size() ? a.limbs[i] : 0u) + std::uint64_t{i < b.limbs.size() ? b.limbs[i] : 0u};
        total.limbs.push_back(static_cast<std::uint32_t>(carry));
        carry >>= 32;
    }
    if (carry != 0) {
        total.limbs.push_back(static_cast<std::uint32_t>(carry));
    }
    return total;
}

// a -= b, for a >= b.
void subtract(Big& a, const Big& b) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.limbs.size(); ++i) {
        std::int64_t difference = std::int64_t{a.limbs[i]} - borrow - (i < b.limbs.size() ? std::int64_t{b.limbs[i]} : 0);
        borrow = difference < 0 ? 1 : 0;
        a.limbs[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
    trim(a);
}

void multiplyByPowerOfTen(Big& big, int power) {
    for (; power >= 9; power -= 9) {
        multiply(big, 1000000000u);
    }
    for (; power > 0; --power) {
        multiply(big, 10u);
    }
}

// The digits and the decimal exponent: value = 0.DIGITS * 10^exponent.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal shortestDigits(std::uint64_t significand, int binaryExponent, bool lowerGapHalved) {
    // value = significand * 2^binaryExponent; both gaps one unit of the last
    // place, halved below at a power of two, all doubled to stay whole.
    Big r = bigOf(significand);
    Big s = bigOf(1);
    Big mPlus = bigOf(1);
    Big mMinus = bigOf(1);
    const int extra = lowerGapHalved ? 2 : 1;
    shiftLeft(r, extra);
    shiftLeft(mPlus, extra - 1);
    if (binaryExponent >= 0) {
        shiftLeft(r, binaryExponent);
        shiftLeft(mPlus, binaryExponent);
        shiftLeft(mMinus, binaryExponent);
    } else {
        shiftLeft(s, -binaryExponent);
    }
    shiftLeft(s, extra);
    // A correctly rounding reader takes a halfway point to the even
    // neighbour: the gap's ends belong to an even significand.
    const bool even = significand % 2 == 0;
    const int inside = even ? 0 : 1;
    // An estimate of the exponent from the binary one, put right below.
    const double log10Value =
        (binaryExponent + std::log2(static_cast<double>(significand))) * 0.30102999566398120;
    int exponent = static_cast<int>(std::ceil(log10Value - 1e-9));
    if (exponent >= 0) {
        multiplyByPowerOfTen(s, exponent);
    } else {
        multiplyByPowerOfTen(r, -exponent);
        multiplyByPowerOfTen(mPlus, -exponent);
        multiplyByPowerOfTen(mMinus, -exponent);
    }
    while (compare(sum(r, mPlus), s) >= inside) {
        multiply(s, 10);
        ++exponent;
    }
    for (;;) {
        Big scaled = sum(r, mPlus);
        multiply(scaled, 10);
        if (compare(scaled, s) >= inside) {
            break;
        }
        multiply(r, 10);
        multiply(mPlus, 10);
        multiply(mMinus, 10);
        --exponent;
    }
    Decimal decimal;
    decimal.exponent = exponent;
    for (;;) {
        multiply(r, 10);
        multiply(mPlus, 10);
        multiply(mMinus, 10);
        int digit = 0;
        while (compare(r, s) >= 0) {
            subtract(r, s);
            ++digit;
        }
        const bool low = compare(r, mMinus) < 1 - inside;
        const bool high = compare(sum(r, mPlus), s) > inside - 1;
        if (!low && !high) {
            decimal.digits += static_cast<char>('0' + digit);
            continue;
        }
        if (low && high) {
            Big twice = r;
            shiftLeft(twice, 1);
            const int side = compare(twice, s);
            digit += side > 0 || (side == 0 && digit % 2 == 1) ? 1 : 0;
        } else if (high) {
            ++digit;
        }
        decimal.digits += static_cast<char>('0' + digit);
        return decimal;
    }
}

// Built by appending: GCC 12 at -O3 warns wrongly (-Wrestrict) about the
// same text put together with operator+.
std::string written(const Decimal& decimal, bool negative) {
    std::string text = negative ? "-" : "";
    const int point = decimal.exponent;  // digits before the decimal point
    const std::string_view digits = decimal.digits;
    const auto size = static_cast<int>(digits.size());
    if (point - 1 < -5 || point - 1 > 20) {
        text.append(digits.substr(0, 1));
        if (size > 1) {
            text.append(".").append(digits.substr(1));
        }
        return text.append("e").append(std::to_string(point - 1));
    }
    if (point <= 0) {
        return text.append("0.").append(static_cast<std::size_t>(-point), '0').append(digits);
    }
    if (point >= size) {
        return text.append(digits).append(static_cast<std::size_t>(point - size), '0');
    }
    const auto whole = static_cast<std::size_t>(point);
    return text.append(digits.substr(0, whole)).append(".").append(digits.substr(whole));
}

}  // namespace

std::string shortestExtendedText(const SoftExtended& value) {
    if (value.kind == ExtendedKind::NotANumber) {
        return "nan";
    }
    if (value.kind == ExtendedKind::Infinite) {
        return value.negative ? "-inf" : "inf";
    }
    if (value.significand == 0) {
        return value.negative ? "-0" : "0";
    }
    const bool powerOfTwo = value.significand == std::uint64_t{1} << 63;
    const bool lowerGapHalved = powerOfTwo && value.exponent > SoftExtendedMinExponent;
    return written(shortestDigits(value.significand, value.exponent - 63, lowerGapHalved),
                   value.negative);
}
