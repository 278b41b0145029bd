#include "xfile/XNumber.h"

#include <locale.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace xfile {

namespace {

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Powers of ten that a double holds exactly: 10^k = 2^k * 5^k and 5^k < 2^53 up to k = 22.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common mesh number: [sign] digits [. digits] [e [sign] digits], the whole token, at most 15
// significant digits and a decimal exponent within +-22. Then mantissa and power of ten are both
// exact doubles and one multiplication or division rounds correctly, giving strtod's result.
bool ParseSimpleReal(std::string_view t, double* out) {
    const char* p = t.data();
    const char* const end = p + t.size();
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    int digits = 0;
    int scale = 0;
    const char* const firstDigit = p;
    while (p < end && IsDigit(*p)) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
        if (mantissa != 0) ++digits;
    }
    bool any = p != firstDigit;
    if (p < end && *p == '.') {
        ++p;
        const char* const fraction = p;
        while (p < end && IsDigit(*p)) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
            if (mantissa != 0) ++digits;
            --scale;
        }
        any = any || p != fraction;
    }
    // Leading zeros are not counted; a longer mantissa may wrap (unsigned) but is refused here.
    if (!any || digits > 15) return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < end && (*p == '-' || *p == '+')) negativeExponent = *p++ == '-';
        if (p == end || !IsDigit(*p)) return false;
        int exponent = 0;
        while (p < end && IsDigit(*p)) {
            if (exponent > 1000) return false;
            exponent = exponent * 10 + (*p++ - '0');
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    if (p != end) return false;
    double value = static_cast<double>(mantissa);
    if (mantissa != 0) {
        if (scale < -22 || scale > 22) return false;
        value = scale < 0 ? value / kExactPowers[-scale] : value * kExactPowers[scale];
    }
    *out = negative ? -value : value;
    return true;
}

// Everything else goes to strtod in the "C" locale, on a terminated copy of the token.
double ParseRealSlow(std::string_view t) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    std::string copy(t);
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

}  // namespace

long ParseLong(std::string_view token) {
    const char* p = token.data();
    const char* const end = p + token.size();
    while (p < end && IsCSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    // Accumulate negatively: LONG_MIN has no positive counterpart.
    long value = 0;
    for (; p < end && IsDigit(*p); ++p) {
        const int d = *p - '0';
        if (value < (LONG_MIN + d) / 10) return negative ? LONG_MIN : LONG_MAX;
        value = value * 10 - d;
    }
    if (negative) return value;
    return value == LONG_MIN ? LONG_MAX : -value;
}

double ParseReal(std::string_view token) {
    double value;
    if (ParseSimpleReal(token, &value)) return value;
    return ParseRealSlow(token);
}

float ToFloat(double value) {
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

}  // namespace xfile
