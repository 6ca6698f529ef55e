// The hexadecimal half of the stored form. The bytes after the flag byte are
// encoded (into fresh storage and in place, as the cipher does), decoded back,
// and read as characters for decoding, each against a one-digit-at-a-time reading.
// Flag bit 0: those characters are UTF-16LE units, otherwise one per byte (so
// that digits are common).
#include "crypto/HexCodec.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstring>
#include <memory>

namespace {

using namespace crypto;

void checkEncode(const std::uint8_t* bytes, qsizetype count) {
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    // Exactly sized, so that any write past the end is a sanitizer report.
    const auto fresh = std::make_unique<char16_t[]>(static_cast<std::size_t>(2 * count));
    HexCodec::encode(bytes, count, fresh.get());
    for (qsizetype k = 0; k < count; ++k)
        FUZZ_CHECK(fresh[2 * k] == digits[bytes[k] >> 4] && fresh[2 * k + 1] == digits[bytes[k] & 15]);

    // The bytes in the last count bytes of the output's own storage.
    const auto inPlace = std::make_unique<char16_t[]>(static_cast<std::size_t>(2 * count));
    auto* tail = reinterpret_cast<std::uint8_t*>(inPlace.get()) + 3 * count;
    if (count > 0)
        std::memcpy(tail, bytes, static_cast<std::size_t>(count));
    HexCodec::encode(tail, count, inPlace.get());
    FUZZ_CHECK(count == 0 || std::memcmp(inPlace.get(), fresh.get(), 2 * sizeof(char16_t) * count) == 0);

    const auto back = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(count));
    FUZZ_CHECK(HexCodec::decode(fresh.get(), 2 * count, back.get()));
    FUZZ_CHECK(count == 0 || std::memcmp(back.get(), bytes, static_cast<std::size_t>(count)) == 0);
}

void checkDecode(const char16_t* chars, qsizetype count) {
    const qsizetype size = (count + 1) / 2;
    const auto out = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(size));
    const bool decoded = HexCodec::decode(chars, count, out.get());
    bool valid = true;
    for (qsizetype k = 0; k < count; ++k) {
        FUZZ_CHECK(HexCodec::isHexDigit(chars[k]) == (fuzz::hexDigitValue(chars[k]) >= 0));
        valid = valid && fuzz::hexDigitValue(chars[k]) >= 0;
    }
    FUZZ_CHECK(decoded == valid);
    if (!decoded)
        return;
    for (qsizetype k = 0; k < size; ++k) {
        const int high = fuzz::hexDigitValue(chars[2 * k]);
        const int expected = 2 * k + 1 < count ? high * 16 + fuzz::hexDigitValue(chars[2 * k + 1]) : high;
        FUZZ_CHECK(out[k] == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const bool utf16 = input.byte() & 1;
    const auto count = static_cast<qsizetype>(input.remaining());
    checkEncode(input.rest(), count);

    const qsizetype chars = utf16 ? count / 2 : count;
    const auto text = std::make_unique<char16_t[]>(static_cast<std::size_t>(chars));
    for (qsizetype k = 0; k < chars; ++k)
        text[k] = utf16 ? static_cast<char16_t>(input.rest()[2 * k] | (input.rest()[2 * k + 1] << 8))
                        : input.rest()[k];
    checkDecode(text.get(), chars);
    return 0;
}
