#include "base/ArchiveStream.h"

#include <cstring>

#include "base/Cp932.h"

void StoringArchive::WriteU16(std::uint16_t v) {
    m_bytes.push_back(static_cast<std::uint8_t>(v));
    m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
}

void StoringArchive::WriteU32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void StoringArchive::WriteF32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    WriteU32(bits);
}

void StoringArchive::WriteF64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    WriteU32(static_cast<std::uint32_t>(bits));
    WriteU32(static_cast<std::uint32_t>(bits >> 32));
}

void StoringArchive::WriteBytes(std::span<const std::uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void StoringArchive::WriteBytes(std::string_view bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void StoringArchive::WriteString(std::string_view text) {
    const std::size_t n = text.size();
    if (n < 0xFF) {
        WriteU8(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<std::uint16_t>(n));
    } else {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<std::uint32_t>(n));
    }
    WriteBytes(text);
}

void StoringArchive::WriteCount(std::uint32_t count) {
    if (count < 0xFFFF) {
        WriteU16(static_cast<std::uint16_t>(count));
    } else {
        WriteU16(0xFFFF);
        WriteU32(count);
    }
}

bool LoadingArchive::Take(std::size_t n, const std::uint8_t** out) {
    if (m_truncated || n > m_bytes.size() - m_pos) {
        m_truncated = true;
        return false;
    }
    *out = m_bytes.data() + m_pos;
    m_pos += n;
    return true;
}

std::uint8_t LoadingArchive::ReadU8() {
    const std::uint8_t* p;
    return Take(1, &p) ? p[0] : 0;
}

std::uint16_t LoadingArchive::ReadU16() {
    const std::uint8_t* p;
    if (!Take(2, &p)) return 0;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t LoadingArchive::ReadU32() {
    const std::uint8_t* p;
    if (!Take(4, &p)) return 0;
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

float LoadingArchive::ReadF32() {
    const std::uint32_t bits = ReadU32();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

double LoadingArchive::ReadF64() {
    const std::uint64_t lo = ReadU32();
    const std::uint64_t hi = ReadU32();
    const std::uint64_t bits = lo | (hi << 32);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string LoadingArchive::ReadBytes(std::size_t n) {
    const std::uint8_t* p;
    if (!Take(n, &p)) return {};
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::uint32_t LoadingArchive::ReadStringLength(bool* wide) {
    *wide = false;
    std::uint8_t b = ReadU8();
    if (b < 0xFF) return b;
    std::uint16_t w = ReadU16();
    if (w == 0xFFFE) {
        // A wide string: the length prefix starts over and counts 16-bit characters.
        *wide = true;
        b = ReadU8();
        if (b < 0xFF) return b;
        w = ReadU16();
    }
    if (w < 0xFFFF) return w;
    return ReadU32();
}

std::string LoadingArchive::ReadString() {
    bool wide = false;
    const std::uint32_t length = ReadStringLength(&wide);
    if (!Ok()) return {};
    if (!wide) return ReadBytes(length);
    if (length > Remaining() / 2) {
        Fail();
        return {};
    }
    std::u16string units(length, u'\0');
    for (auto& u : units) u = static_cast<char16_t>(ReadU16());
    return cp932::FromUtf16(units);
}

std::uint32_t LoadingArchive::ReadCount() {
    const std::uint16_t w = ReadU16();
    if (w < 0xFFFF) return w;
    return ReadU32();
}
