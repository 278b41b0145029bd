// Number tokens against the C library read in the "C" locale (strtol / strtod_l as the oracle).

#include <gtest/gtest.h>
#include <locale.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "xfile/XNumber.h"

namespace {

double Oracle(const std::string& s) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(s.c_str(), nullptr, c);
}

void ExpectSameReal(const std::string& s) {
    const double got = xfile::ParseReal(s);
    const double want = Oracle(s);
    if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << s;
    } else {
        EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << s << " got " << got << " want " << want;
    }
}

TEST(XNumber, LongTable) {
    struct Row {
        const char* text;
        long value;
    } rows[] = {
        {"0", 0},
        {"42", 42},
        {"-7", -7},
        {"+5", 5},
        {"12abc", 12},
        {"3.9", 3},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"\v\f12", 12},
        {"9223372036854775807", LONG_MAX},
        {"-9223372036854775808", LONG_MIN},
        {"9223372036854775808", LONG_MAX},
        {"99999999999999999999999", LONG_MAX},
        {"-99999999999999999999999", LONG_MIN},
        {"--1", 0},
        {"0x10", 0},
        {"{", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(xfile::ParseLong(row.text), row.value) << row.text;
        EXPECT_EQ(xfile::ParseLong(row.text), std::strtol(row.text, nullptr, 10)) << row.text;
    }
}

TEST(XNumber, RealTableMatchesTheCLibrary) {
    const char* rows[] = {
        "0",
        "-0",
        "1.0",
        "-1.5",
        "+2.25",
        ".5",
        "-.5",
        "5.",
        "0.1",
        "0.000001",
        "123456.789",
        "1e5",
        "1E+2",
        "2.5e-3",
        "1e22",
        "1e23",
        "1e-22",
        "1e-23",
        "9007199254740993",
        "123456789012345678",
        "0.30000000000000004",
        "1.5abc",
        "1e",
        "1e+",
        "1.2.3",
        "--1",
        "+.5e1",
        ".",
        "-",
        "",
        "abc",
        "inf",
        "-Infinity",
        "nan",
        "0x1p4",
        "0X1.8P1",
        "1e400",
        "-1e400",
        "1e-400",
        "4.9e-324",
        "2.2250738585072014e-308",
        "\v1.25",
        "000000000000000000000001.5",
        "1e0000000000000000001",
        "0.1234567890123456789",
        "179769313486231570000000000000000000000000000000000000000000000000000000000000000"
        "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000"
        "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "0000000"
        "000000000000000000000000000000.0",
    };
    for (const char* s : rows) ExpectSameReal(s);
}

TEST(XNumber, GeneratedRealsMatchTheCLibrary) {
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> small(-1000.0, 1000.0);
    std::uniform_int_distribution<int> exponent(-40, 40);
    const char* formats[] = {"%.6f", "%.3f", "%.9g", "%.15g", "%.17g", "%e", "%.3e", "%.0f"};
    char buffer[64];
    for (int i = 0; i < 20000; ++i) {
        const double v = small(random) * std::pow(10.0, exponent(random) / 4);
        std::snprintf(buffer, sizeof buffer, formats[i % 8], v);
        ExpectSameReal(buffer);
    }
}

TEST(XNumber, ToFloatStaysDefined) {
    EXPECT_EQ(xfile::ToFloat(1e300), HUGE_VALF);
    EXPECT_EQ(xfile::ToFloat(-1e300), -HUGE_VALF);
    EXPECT_EQ(xfile::ToFloat(0.1), 0.1f);
    EXPECT_EQ(xfile::ToFloat(FLT_MAX), FLT_MAX);
    EXPECT_TRUE(std::isnan(xfile::ToFloat(NAN)));
}

}  // namespace
