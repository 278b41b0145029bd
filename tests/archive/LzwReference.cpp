#include "LzwReference.h"

#include <algorithm>

namespace lzwref {

namespace {

constexpr int kTableSize = 35023;

struct Slot {
    int code = -1;
    unsigned prefix = 0;
    unsigned byte = 0;
};

class BitSink {
  public:
    explicit BitSink(std::vector<std::uint8_t>& out) : m_out(out) {}
    void Put(unsigned code, unsigned width) {
        for (int bit = static_cast<int>(width) - 1; bit >= 0; --bit) {
            if (m_bit == 0) m_out.push_back(0);
            if ((code >> bit) & 1) m_out.back() |= static_cast<std::uint8_t>(0x80 >> m_bit);
            m_bit = (m_bit + 1) % 8;
        }
    }
    // Drops the partly filled last byte.
    void Finish() {
        if (m_bit != 0) m_out.pop_back();
    }

  private:
    std::vector<std::uint8_t>& m_out;
    int m_bit = 0;
};

class BitSource {
  public:
    BitSource(const std::vector<std::uint8_t>& in, std::size_t start) : m_in(in), m_pos(start * 8) {}
    bool Get(unsigned width, unsigned& code) {
        if (m_pos + width > m_in.size() * 8) return false;
        code = 0;
        for (unsigned i = 0; i < width; ++i, ++m_pos)
            code = (code << 1) | ((m_in[m_pos / 8] >> (7 - m_pos % 8)) & 1);
        return true;
    }

  private:
    const std::vector<std::uint8_t>& m_in;
    std::size_t m_pos;
};

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& input) {
    std::vector<std::uint8_t> out;
    PutU32(out, 0xFF67FEB2);
    PutU32(out, static_cast<std::uint32_t>(input.size()));
    BitSink bits(out);
    std::vector<Slot> table(kTableSize);
    unsigned next = 259, width = 9, limit = 511;
    auto reset = [&] {
        std::fill(table.begin(), table.end(), Slot{});
        next = 259;
        width = 9;
        limit = 511;
    };
    unsigned w = input.empty() ? 256 : input[0];
    for (std::size_t i = 1; i < input.size(); ++i) {
        const unsigned b = input[i];
        int slot = static_cast<int>((b << 7) ^ w);
        const int step = slot == 0 ? 1 : kTableSize - slot;
        while (table[slot].code != -1 && !(table[slot].prefix == w && table[slot].byte == b)) {
            slot -= step;
            if (slot < 0) slot += kTableSize;
        }
        if (table[slot].code != -1) {
            w = static_cast<unsigned>(table[slot].code);
            continue;
        }
        table[slot] = {static_cast<int>(next++), w, b};
        bits.Put(w, width);
        w = b;
        if (next > 32767) {
            bits.Put(258, width);
            reset();
        } else if (next > limit) {
            bits.Put(257, width);
            ++width;
            limit = 2 * limit + 1;
        }
    }
    bits.Put(w, width);
    bits.Put(256, width);
    bits.Finish();
    return out;
}

std::optional<std::vector<std::uint8_t>> Expand(const std::vector<std::uint8_t>& stream) {
    if (stream.size() < 8) return std::nullopt;
    const std::uint32_t total =
        stream[4] | (stream[5] << 8) | (stream[6] << 16) | (std::uint32_t{stream[7]} << 24);
    std::vector<std::uint8_t> out;
    std::vector<unsigned> prefix(32768), last(32768);
    BitSource bits(stream, 8);
    auto stringOf = [&](unsigned code) {
        std::vector<std::uint8_t> s;
        while (code > 258) {
            s.push_back(static_cast<std::uint8_t>(last[code]));
            code = prefix[code];
        }
        s.push_back(static_cast<std::uint8_t>(code));
        std::reverse(s.begin(), s.end());
        return s;
    };
    for (;;) {
        unsigned next = 259, width = 9, c = 0;
        if (!bits.Get(width, c) || c == 256) return out;
        if (c > 255) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(c));
        if (out.size() >= total) return out;
        unsigned old = c, ch = c;
        for (;;) {
            unsigned n = 0;
            if (!bits.Get(width, n)) return out;
            if (n == 256 || n == 258) break;
            if (n == 257) {
                ++width;
                continue;
            }
            std::vector<std::uint8_t> s;
            if (n >= next) {
                if (n > next) return std::nullopt;
                s = stringOf(old);
                s.push_back(static_cast<std::uint8_t>(ch));
            } else {
                s = stringOf(n);
            }
            for (std::uint8_t byte : s) {
                out.push_back(byte);
                if (out.size() >= total) return out;
            }
            ch = s[0];
            prefix[next] = old;
            last[next] = ch;
            ++next;
            old = n;
        }
    }
}

std::vector<Code> ParseCodes(const std::vector<std::uint8_t>& stream) {
    std::vector<Code> codes;
    BitSource bits(stream, 8);
    unsigned width = 9, c = 0;
    while (bits.Get(width, c)) {
        codes.push_back({c, width});
        if (c == 256 && codes.size() > 1 && codes[codes.size() - 2].value != 256) break;
        if (c == 257) ++width;
        if (c == 258) width = 9;
    }
    return codes;
}

}  // namespace lzwref
