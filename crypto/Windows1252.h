#pragma once
#include <QString>
#include <array>
#include <cstdint>

// The single-byte code page of stored entries. Every byte has a character and
// comes back from it unchanged: the five bytes the code page leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same number.
// A UTF-16 unit outside the code page becomes "?".
namespace crypto::Windows1252 {

inline constexpr std::uint8_t Unmappable = '?';

// Byte to UTF-16 unit.
extern const std::array<char16_t, 256> toUnicode;
// UTF-16 unit to byte, for all 65536 units.
extern const std::array<std::uint8_t, 65536> fromUnicode;

// The text as it comes back from the code page: every character outside it
// turned into "?".
QString roundTrip(QStringView text);
// Whether every character of the text comes back from the code page unchanged.
bool represents(QStringView text);
// The index of the first UTF-16 unit that does not, or -1.
qsizetype firstUnrepresentable(QStringView text);
// How many UTF-16 units the character at index takes (2 for a surrogate pair, else 1).
qsizetype characterLength(QStringView text, qsizetype index);
// The character at index as a message names it: the character in quotes where
// it is printable, then its code, as in "→" (U+2192).
QString describeCharacter(QStringView text, qsizetype index);

} // namespace crypto::Windows1252
