#pragma once
#include <QtGlobal>
#include <cstdint>

// The hexadecimal half of the stored form: two upper-case digits per byte on
// the way out, either case accepted on the way in.
namespace crypto::HexCodec {

bool isHexDigit(char16_t c);

// Writes 2 * count digits. The output may overlap the input as long as it
// starts at least 3 * count bytes below the input's end, which lets a caller
// keep the bytes in the tail of the output's own storage.
void encode(const std::uint8_t* bytes, qsizetype count, char16_t* out);

// Reads digits in pairs (an odd last digit on its own is one byte) into
// (count + 1) / 2 bytes. False when any character is not a hexadecimal digit;
// it gives up early on a long text that is not one.
bool decode(const char16_t* digits, qsizetype count, std::uint8_t* out);

} // namespace crypto::HexCodec
