#pragma once
// Number tokens of the text mesh format, read the way the C library's atol and atof read them in
// the "C" locale: the longest valid prefix counts, a token without one is 0. Independent of the
// process locale (the application's locale may use a decimal comma), so a mesh reads the same on
// every machine.

#include <string_view>

namespace xfile {

// Base-10 integer prefix after optional white space and sign; saturates at the long range.
long ParseLong(std::string_view token);

// Real prefix (decimal, exponent, hexadecimal, "inf", "nan"), correctly rounded to double;
// out-of-range values give +-HUGE_VAL or a value towards 0, as strtod does.
double ParseReal(std::string_view token);

// double -> float without undefined behaviour: magnitudes past the float range give infinity.
float ToFloat(double value);

}  // namespace xfile
