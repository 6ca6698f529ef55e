#pragma once
#include <QtGlobal>
#include <cstdint>

// The hexadecimal half of the stored form: two upper-case digits per byte on
// the way out, either case accepted on the way in.
namespace crypto::HexCodec {

bool isHexDigit(char16_t c);

// Writes 2 * count digits (4 * count bytes). The output may overlap the input
// when the input starts at least 3 * count bytes past the output's start, so a
// caller can keep the bytes in the last count bytes of the output's own storage.
void encode(const std::uint8_t* bytes, qsizetype count, char16_t* out);

// Reads digits in pairs (an odd last digit on its own is one byte) into
// (count + 1) / 2 bytes. False when any character is not a hexadecimal digit;
// it gives up early on a long text that is not one.
bool decode(const char16_t* digits, qsizetype count, std::uint8_t* out);

} // namespace crypto::HexCodec
