#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/jpeg/HuffmanTable.h"

namespace {

using jpeg::HuffmanTable;

struct TableCase {
    std::string name;
    std::array<std::uint8_t, 16> counts;
};

std::vector<std::uint8_t> SymbolsFor(const std::array<std::uint8_t, 16>& counts) {
    std::vector<std::uint8_t> symbols;
    int total = 0;
    for (auto c : counts) total += c;
    for (int i = 0; i < total; ++i) symbols.push_back(static_cast<std::uint8_t>((i * 37 + 5) & 0xFF));
    return symbols;
}

// The oracle: read one bit at a time and after each bit compare the code so far with every code of
// that length, as a bit-serial decoder does.
int BitSerialDecode(const HuffmanTable& table, std::uint32_t peek16, int* symbol) {
    for (int length = 1; length <= 16; ++length) {
        const std::uint32_t code = peek16 >> (16 - length);
        for (int i = 0; i < table.SymbolCount(); ++i) {
            if (table.LengthOf(i) == length && table.CodeOf(i) == code) {
                *symbol = table.SymbolAt(i);
                return length;
            }
        }
    }
    return 0;
}

TEST(HuffmanTable, LookUpAgreesWithBitSerialDecodingForEveryBitPattern) {
    const TableCase cases[] = {
        // The usual luminance tables of the common encoders.
        {"dc", {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}},
        {"ac", {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D}},
        {"single code of length 1", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"incomplete, long codes only", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 3, 0, 0, 2}},
        {"all 16-bit codes incl. all ones", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}},
        {"oversubscribed short lengths", {3, 4, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"codes straddling the look-up width", {0, 0, 0, 0, 0, 0, 0, 250, 2, 3, 1, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        HuffmanTable table;
        const auto symbols = SymbolsFor(c.counts);
        ASSERT_TRUE(table.Build(c.counts, symbols)) << c.name;
        for (std::uint32_t bits = 0; bits < 65536; ++bits) {
            int expectedSymbol = -1, symbol = -1;
            const int expected = BitSerialDecode(table, bits, &expectedSymbol);
            const int length = table.Decode(bits, &symbol);
            ASSERT_EQ(length, expected) << c.name << " bits " << bits;
            if (expected != 0) {
                ASSERT_EQ(symbol, expectedSymbol) << c.name << " bits " << bits;
            }
        }
    }
}

TEST(HuffmanTable, CanonicalCodesOfTheLuminanceDcTable) {
    HuffmanTable table;
    const std::array<std::uint8_t, 16> counts{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<std::uint8_t> symbols{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    ASSERT_TRUE(table.Build(counts, symbols));
    // 00; 010 011 100 101 110; 1110; 11110; … ; 111111110
    const std::pair<std::uint32_t, int> expected[] = {
        {0b00, 2},   {0b010, 3},   {0b011, 3},    {0b100, 3},     {0b101, 3},      {0b110, 3},
        {0b1110, 4}, {0b11110, 5}, {0b111110, 6}, {0b1111110, 7}, {0b11111110, 8}, {0b111111110, 9}};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(table.CodeOf(i), expected[i].first) << i;
        EXPECT_EQ(table.LengthOf(i), expected[i].second) << i;
    }
}

TEST(HuffmanTable, RefusesMoreSymbolsThanTheCountsCanName) {
    struct Row {
        std::array<std::uint8_t, 16> counts;
        std::size_t symbols;
        bool ok;
    } rows[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}, 255, true},
        {{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}, 256, true},
        {{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}, 257, false},  // above 256 symbols
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10}, 9, false},     // too few symbols given
        {{255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}, 4080, false},
    };
    for (const auto& r : rows) {
        HuffmanTable table;
        std::vector<std::uint8_t> symbols(r.symbols, 7);
        EXPECT_EQ(table.Build(r.counts, symbols), r.ok) << r.symbols;
        EXPECT_EQ(table.Defined(), r.ok);
    }
}

}  // namespace
