#include "colour/ComponentInput.h"

#include <QChar>
#include <algorithm>

namespace colour {
namespace {

bool isHexLetter(char16_t c) {
    return c >= u'A' && c <= u'F';
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

KeyDecision FilterRGBKey(int code, bool hexMode) {
    // Only a character code can be a digit: a code outside 16 bits must not
    // pass for the character its low bits happen to spell.
    if (code < 0 || code > 0xFFFF)
        return {0, true};
    code = QChar(static_cast<char16_t>(code)).toUpper().unicode();
    // Codes up to 8 are control keys such as backspace.
    if (code <= 8 || isDigit(static_cast<char16_t>(code)))
        return {code, false};
    if (hexMode && isHexLetter(static_cast<char16_t>(code)))
        return {code, false};
    return {0, true};
}

ParsedComponent ParseRGBText(const QString& text, bool hexMode) {
    ParsedComponent result;
    const int base = hexMode ? 16 : 10;
    // Past this the value can only be refused, so stop growing it before it overflows.
    constexpr int kCeiling = 1 << 20;
    int kept = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.toUpper().unicode();
        int digit = -1;
        if (isDigit(c))
            digit = c - u'0';
        else if (hexMode && isHexLetter(c))
            digit = c - u'A' + 10;
        if (digit < 0)
            continue;
        ++kept;
        result.value = std::min(kCeiling, result.value * base + digit);
    }
    result.acceptable = kept == text.size() && result.value <= 255;
    return result;
}

std::array<int, 3> ApplyShade(int red, int green, int blue, int delta) {
    return {std::clamp(red + delta, 0, 255), std::clamp(green + delta, 0, 255),
            std::clamp(blue + delta, 0, 255)};
}

} // namespace colour
