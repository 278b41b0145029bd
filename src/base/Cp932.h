#pragma once
// Code page 932 text: the byte strings of the data archive, scene files and settings stay in this
// encoding as read. These helpers walk them character by character (one or two bytes each) and
// convert to and from UTF-8 only at the display boundary.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cp932 {

// True for the first byte of a two-byte character (0x81-0x9F and 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Length in bytes of the character starting at text[pos] (1 or 2; 1 for a lead byte at the very end).
std::size_t CharLength(std::string_view text, std::size_t pos);

// The last whole character of `text` (one or two bytes; empty for an empty text). Found by walking
// from the start: a byte before the end cannot tell by itself whether it ends a character.
std::string_view LastChar(std::string_view text);

// ASCII letters upper-cased; the second byte of a two-byte character is never touched.
std::string ToUpper(std::string_view text);
void ToUpperInPlace(std::string& text);

// Case-insensitive (ASCII letters only) byte comparison that respects two-byte characters.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Position of the first / last single-byte character c outside two-byte characters, or npos.
std::size_t FindChar(std::string_view text, char c, std::size_t from = 0);
std::size_t FindLastChar(std::string_view text, char c);

// Splits at every single-byte separator character; empty pieces are kept, a trailing separator
// does not produce an empty last piece ("a|b|" gives "a", "b").
std::vector<std::string> Split(std::string_view text, char separator);

// Conversions at the display boundary. Characters that cannot be converted become '?'.
std::string ToUtf8(std::string_view cp932Text);
std::string FromUtf8(std::string_view utf8Text);
// UTF-16LE code units (from a wide counted string) to code page 932.
std::string FromUtf16(const std::u16string& text);

}  // namespace cp932
