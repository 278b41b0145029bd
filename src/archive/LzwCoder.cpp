#include "archive/LzwCoder.h"

#include <cstring>
#include <limits>
#include <memory>

#include "archive/LzwFormat.h"

namespace lzw {

namespace {

// Packs codes most significant bit first. Whole 32-bit words are stored as soon as they are complete,
// so the accumulator never holds more than 31 + 15 bits.
class BitWriter {
  public:
    explicit BitWriter(std::uint8_t* out) : m_out(out) {}

    void Put(unsigned code, unsigned width) {
        m_acc = (m_acc << width) | code;
        m_bits += width;
        if (m_bits >= 32) {
            m_bits -= 32;
            const auto word = static_cast<std::uint32_t>(m_acc >> m_bits);
            m_out[0] = static_cast<std::uint8_t>(word >> 24);
            m_out[1] = static_cast<std::uint8_t>(word >> 16);
            m_out[2] = static_cast<std::uint8_t>(word >> 8);
            m_out[3] = static_cast<std::uint8_t>(word);
            m_out += 4;
        }
    }

    // Stores the completely filled bytes that remain; the partly filled last byte is dropped.
    std::uint8_t* Finish() {
        while (m_bits >= 8) {
            m_bits -= 8;
            *m_out++ = static_cast<std::uint8_t>(m_acc >> m_bits);
        }
        return m_out;
    }

  private:
    std::uint8_t* m_out;
    std::uint64_t m_acc = 0;
    unsigned m_bits = 0;
};

// The dictionary of the coder: an open-addressing table from (prefix code, byte) to code. Any
// structure gives the same stream, since codes are assigned in order of first occurrence; this one is
// sized from the input (a generation defines at most min(n, 32509) entries) to a power of two at
// least twice that, so the load stays at or below one half.
//
// A slot holds generation (26 bits) | key (23 bits: prefix << 8 | byte) | code (15 bits). Slots of an
// older generation count as empty, so a FLUSH costs nothing. A generation needs at least 32509 input
// bytes, so a 4 GiB input stays far below 2^26 generations.
class Dictionary {
  public:
    explicit Dictionary(std::size_t inputLength) {
        const std::size_t entries = std::min<std::size_t>(inputLength, kLastCode - kFirstFreeCode + 1) + 1;
        std::size_t size = 256;
        while (size < 2 * entries) size *= 2;
        m_mask = size - 1;
        m_slots = std::make_unique<std::uint64_t[]>(size);  // zero: generation 0 is never live
    }

    void NewGeneration() { ++m_generation; }

    // Code of (prefix, byte), or 0 after noting in `slot` where it would go.
    unsigned Find(std::uint32_t key, std::size_t& slot) const {
        const std::uint64_t live = (m_generation << 23) | key;
        std::size_t h = (key * 0x9E3779B1u) >> 16 & m_mask;
        for (;;) {
            const std::uint64_t s = m_slots[h];
            const std::uint64_t tag = s >> 15;
            if (tag == live) return static_cast<unsigned>(s & 0x7FFF);
            if ((tag >> 23) != m_generation) break;
            h = (h + 1) & m_mask;
        }
        slot = h;
        return 0;
    }

    void Insert(std::size_t slot, std::uint32_t key, unsigned code) {
        m_slots[slot] = (m_generation << 38) | (std::uint64_t{key} << 15) | code;
    }

  private:
    std::unique_ptr<std::uint64_t[]> m_slots;
    std::size_t m_mask = 0;
    std::uint64_t m_generation = 1;
};

void PutLittleEndian32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

bool Compress(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& output) {
    const std::size_t n = input.size();
    if (n > std::numeric_limits<std::uint32_t>::max()) return false;

    // Bound of the code stream: at most n + 1 data codes and END, plus at most 7 control codes per
    // generation of 32509 data codes, each at most 15 bits: below 16n + 8320 bits, i.e. the 2n + 1040
    // bytes that have always been reserved. Four more bytes let the writer store whole words.
    output.assign(kHeaderSize + 2 * n + 1040 + 4, 0);
    PutLittleEndian32(output.data(), kSignature);
    PutLittleEndian32(output.data() + 4, static_cast<std::uint32_t>(n));

    BitWriter bits(output.data() + kHeaderSize);
    Dictionary dictionary(n);
    const std::uint8_t* p = input.data();
    const std::uint8_t* const end = p + n;

    unsigned w = n ? *p++ : kCodeEnd;
    unsigned next = kFirstFreeCode;
    unsigned width = kStartWidth;
    unsigned limit = kFirstBumpLimit;
    while (p < end) {
        const unsigned b = *p++;
        const std::uint32_t key = (w << 8) | b;
        std::size_t slot = 0;
        if (const unsigned code = dictionary.Find(key, slot)) {
            w = code;
            continue;
        }
        dictionary.Insert(slot, key, next++);
        bits.Put(w, width);
        w = b;
        if (next > kLastCode) {
            bits.Put(kCodeFlush, width);
            dictionary.NewGeneration();
            next = kFirstFreeCode;
            width = kStartWidth;
            limit = kFirstBumpLimit;
        } else if (next > limit) {
            bits.Put(kCodeBump, width);
            ++width;
            limit = 2 * limit + 1;
        }
    }
    bits.Put(w, width);
    bits.Put(kCodeEnd, width);
    output.resize(static_cast<std::size_t>(bits.Finish() - output.data()));
    return true;
}

}  // namespace lzw
