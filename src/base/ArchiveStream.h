#pragma once
// Little-endian storing and loading streams for the system's binary files (settings, scene files,
// archive indexes). Strings are counted: a 1-byte length up to 254, or 0xFF and a 16-bit length up
// to 0xFFFD, or 0xFF, 0xFFFF and a 32-bit length; list counts use a 16-bit count below 0xFFFF,
// otherwise 0xFFFF and a 32-bit count.
//
// The loading stream never reads past its end: a read that does not fit yields zeros and sets a
// sticky "truncated" state that the caller checks once at the end (Ok()).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class StoringArchive {
public:
    void WriteU8(std::uint8_t v) { m_bytes.push_back(v); }
    void WriteU16(std::uint16_t v);
    void WriteU32(std::uint32_t v);
    void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
    void WriteF32(float v);
    void WriteF64(double v);
    void WriteBytes(std::span<const std::uint8_t> bytes);
    void WriteBytes(std::string_view bytes);
    void WriteString(std::string_view text);  // counted string, bytes as they are
    void WriteCount(std::uint32_t count);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

class LoadingArchive {
public:
    explicit LoadingArchive(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
    float ReadF32();
    double ReadF64();
    // Copies n bytes; fails (empty result, truncated) when fewer remain.
    std::string ReadBytes(std::size_t n);
    // Counted string. A wide string (prefix 0xFF 0xFFFE) is read as UTF-16LE and converted to
    // code page 932. A length larger than what remains fails without allocating.
    std::string ReadString();
    // List count; the caller must still check it against what the items need.
    std::uint32_t ReadCount();

    bool Ok() const { return !m_truncated; }
    bool AtEnd() const { return m_pos == m_bytes.size(); }
    std::size_t Remaining() const { return m_bytes.size() - m_pos; }
    std::size_t Position() const { return m_pos; }
    // Marks the stream as failed (for callers that find a value out of its range).
    void Fail() { m_truncated = true; }

private:
    bool Take(std::size_t n, const std::uint8_t** out);
    std::uint32_t ReadStringLength(bool* wide);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_truncated = false;
};
