#include "crypto/HexCodec.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace crypto::HexCodec {
namespace {

constexpr std::uint8_t NotHex = 0xFF;

constexpr std::array<std::uint8_t, 128> makeValues() {
    std::array<std::uint8_t, 128> values{};
    values.fill(NotHex);
    for (int d = 0; d < 10; ++d)
        values['0' + d] = static_cast<std::uint8_t>(d);
    for (int d = 0; d < 6; ++d) {
        values['A' + d] = static_cast<std::uint8_t>(10 + d);
        values['a' + d] = static_cast<std::uint8_t>(10 + d);
    }
    return values;
}
constexpr auto kValues = makeValues();

// Byte b is written as kPairs[2b], kPairs[2b + 1].
constexpr std::array<char16_t, 512> makePairs() {
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::array<char16_t, 512> pairs{};
    for (std::size_t b = 0; b < 256; ++b) {
        pairs[2 * b] = digits[b >> 4];
        pairs[2 * b + 1] = digits[b & 15];
    }
    return pairs;
}
constexpr auto kPairs = makePairs();

// The value of a digit, or NotHex.
std::uint8_t valueOf(char16_t c) {
    return c < 128 ? kValues[c] : NotHex;
}

#if defined(__SSE2__)
// Sixteen nibbles (0 to 15, one per byte) to their upper-case digits.
__m128i nibblesToDigits(__m128i nibbles) {
    const __m128i letters =
        _mm_and_si128(_mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9)), _mm_set1_epi8('A' - '0' - 10));
    return _mm_add_epi8(_mm_add_epi8(nibbles, _mm_set1_epi8('0')), letters);
}

// Sixteen bytes to 32 digits.
void encodeBlock(const std::uint8_t* bytes, char16_t* out) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i low = _mm_set1_epi8(0x0F);
    const __m128i high = nibblesToDigits(_mm_and_si128(_mm_srli_epi16(b, 4), low));
    const __m128i lows = nibblesToDigits(_mm_and_si128(b, low));
    const __m128i first = _mm_unpacklo_epi8(high, lows);
    const __m128i second = _mm_unpackhi_epi8(high, lows);
    const __m128i zero = _mm_setzero_si128();
    auto* target = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(target, _mm_unpacklo_epi8(first, zero));
    _mm_storeu_si128(target + 1, _mm_unpackhi_epi8(first, zero));
    _mm_storeu_si128(target + 2, _mm_unpacklo_epi8(second, zero));
    _mm_storeu_si128(target + 3, _mm_unpackhi_epi8(second, zero));
}

// Sixteen characters (as saturated bytes) to their digit values; `bad` gains
// set bits for every character that is not a digit.
__m128i digitValues(__m128i chars, __m128i& bad) {
    const __m128i digit = _mm_sub_epi8(chars, _mm_set1_epi8('0'));
    const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit);
    const __m128i letter = _mm_sub_epi8(_mm_or_si128(chars, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
    const __m128i isLetter = _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(5)), letter);
    bad = _mm_or_si128(bad, _mm_andnot_si128(_mm_or_si128(isDigit, isLetter), _mm_set1_epi8(-1)));
    return _mm_or_si128(_mm_and_si128(isDigit, digit),
                        _mm_and_si128(isLetter, _mm_add_epi8(letter, _mm_set1_epi8(10))));
}

// Sixteen digit values in pairs (first digit in the low byte of each 16-bit lane) to eight bytes.
__m128i joinPairs(__m128i values) {
    const __m128i first = _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x00FF)), 4);
    return _mm_or_si128(first, _mm_srli_epi16(values, 8));
}

// 32 characters to 16 bytes. A character above 255 saturates to 0 or 255,
// neither of which is a digit.
__m128i decodeBlock(const char16_t* digits, __m128i& bad) {
    const auto* source = reinterpret_cast<const __m128i*>(digits);
    const __m128i a = _mm_packus_epi16(_mm_loadu_si128(source), _mm_loadu_si128(source + 1));
    const __m128i b = _mm_packus_epi16(_mm_loadu_si128(source + 2), _mm_loadu_si128(source + 3));
    return _mm_packus_epi16(joinPairs(digitValues(a, bad)), joinPairs(digitValues(b, bad)));
}
#endif

} // namespace

bool isHexDigit(char16_t c) {
    return valueOf(c) != NotHex;
}

void encode(const std::uint8_t* bytes, qsizetype count, char16_t* out) {
    qsizetype k = 0;
#if defined(__SSE2__)
    // The block at k loads bytes k to k + 15 before it stores 64 bytes from
    // out + 2k, which end at or before byte k + 16 of an input that starts
    // 3 * count bytes past the output: no store reaches input not yet read.
    for (; k + 16 <= count; k += 16)
        encodeBlock(bytes + k, out + 2 * k);
#endif
    for (; k < count; ++k)
        std::memcpy(out + 2 * k, &kPairs[std::size_t{2} * bytes[k]], 2 * sizeof(char16_t));
}

bool decode(const char16_t* digits, qsizetype count, std::uint8_t* out) {
    const qsizetype pairs = count / 2;
    qsizetype k = 0;
#if defined(__SSE2__)
    constexpr qsizetype BlocksPerCheck = 256;
    while (k + 16 <= pairs) {
        __m128i bad = _mm_setzero_si128();
        for (int block = 0; block < BlocksPerCheck && k + 16 <= pairs; ++block, k += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), decodeBlock(digits + 2 * k, bad));
        if (_mm_movemask_epi8(bad))
            return false;
    }
#endif
    for (; k < pairs; ++k) {
        const std::uint8_t high = valueOf(digits[2 * k]);
        const std::uint8_t low = valueOf(digits[2 * k + 1]);
        if (high == NotHex || low == NotHex)
            return false;
        out[k] = static_cast<std::uint8_t>((high << 4) | low);
    }
    if (count % 2) {
        const std::uint8_t last = valueOf(digits[count - 1]);
        if (last == NotHex)
            return false;
        out[pairs] = last;
    }
    return true;
}

} // namespace crypto::HexCodec
