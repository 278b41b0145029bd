#pragma once
// Names of the cases of value-parameterised suites. Left to itself GoogleTest numbers the cases
// and prints a struct parameter as its memory bytes, which change from build to build (and CTest
// took them into its test names). A suite instead gives its parameter type a PrintTo that says
// what the case is, and names the cases after that text:
//
//   void PrintTo(const PathCase& c, std::ostream* os) { *os << testsupport::Printable(c.path); }
//   INSTANTIATE_TEST_SUITE_P(Table, PartPathNames, ::testing::Values(...), testsupport::PrintedName());
//
// so `ctest -R 'PartPathNames.*/BODY_B_body_x'` and a failure report find the same case every time.
// Texts are printed through Printable: the test list that CTest reads is split into lines, and a
// line break or a "\" at the end of a line inside a printed parameter would run two entries together.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace testsupport {

// `text` in double quotes on one line: `"` and `\` escaped with "\", line breaks and tabs as \n, \r
// and \t, any other byte outside printable ASCII as \xHH.
inline std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (ch == '\n') {
            out += "\\n";
        } else if (ch == '\r') {
            out += "\\r";
        } else if (ch == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte > 0x7E) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += ch;
        }
    }
    return out + '"';
}

// `text` as a test name: ASCII letters and digits kept, a byte above 0x7F (from a PrintTo that
// prints raw text) as "x" and its two hex digits, every run of anything else as one "_" (none at
// either end); "empty" for no name at all.
inline std::string CaseName(std::string_view text) {
    std::string name;
    bool gap = false;
    const auto put = [&](std::string_view part) {
        if (gap && !name.empty()) name += '_';
        gap = false;
        name += part;
    };
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
            put(std::string_view(&ch, 1));
        } else if (byte > 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            gap = true;
            const char hex[3] = {'x', kHex[byte >> 4], kHex[byte & 0xF]};
            put(std::string_view(hex, 3));
            gap = true;
        } else {
            gap = true;
        }
    }
    return name.empty() ? "empty" : name;
}

// The name generator: each case named after the parameter as GoogleTest prints it. A parameter
// without a PrintTo would be named after its bytes; that stops the program at once.
struct PrintedName {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        const std::string printed = ::testing::PrintToString(info.param);
        if (printed.find("-byte object <") != std::string::npos) {
            std::fprintf(stderr, "a parameter printed as its bytes (%s): give its type a PrintTo\n",
                         printed.c_str());
            std::abort();
        }
        return CaseName(printed);
    }
};

}  // namespace testsupport
