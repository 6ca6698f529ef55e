#include "crypto/Windows1252.h"

#include <algorithm>

namespace crypto::Windows1252 {
namespace {

// 0x80 to 0x9F; everything else is Latin-1 by number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> makeToUnicode() {
    std::array<char16_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
    return table;
}

// A flat table costs 64 KB but turns every character into its byte with one
// load, which keeps the cipher's inner loop free of branches.
constexpr std::array<std::uint8_t, 65536> makeFromUnicode() {
    std::array<std::uint8_t, 65536> table{};
    table.fill(Unmappable);
    const auto forward = makeToUnicode();
    for (unsigned b = 0; b < 256; ++b)
        table[forward[b]] = static_cast<std::uint8_t>(b);
    return table;
}

} // namespace

// Built by the compiler, so both are ready before any code runs. Each starts
// a page: the cipher keeps its state clear of the parts it reads most.
alignas(4096) constinit const std::array<char16_t, 256> toUnicode = makeToUnicode();
alignas(4096) constinit const std::array<std::uint8_t, 65536> fromUnicode = makeFromUnicode();

QString roundTrip(QStringView text) {
    QString result(text.size(), Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(result.data());
    for (qsizetype k = 0; k < text.size(); ++k)
        out[k] = toUnicode[fromUnicode[text[k].unicode()]];
    return result;
}

qsizetype firstUnrepresentable(QStringView text) {
    const auto* const found = std::find_if(
        text.begin(), text.end(), [](QChar c) { return toUnicode[fromUnicode[c.unicode()]] != c.unicode(); });
    return found == text.end() ? -1 : found - text.begin();
}

qsizetype characterLength(QStringView text, qsizetype index) {
    return index + 1 < text.size() && text[index].isHighSurrogate() && text[index + 1].isLowSurrogate() ? 2
                                                                                                        : 1;
}

QString describeCharacter(QStringView text, qsizetype index) {
    const QStringView character = text.sliced(index, characterLength(text, index));
    const char32_t code =
        character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1]) : character[0].unicode();
    QString number = QStringLiteral("U+%1").arg(quint32(code), 4, 16, QLatin1Char('0')).toUpper();
    if (!QChar::isPrint(code) || QChar::isSurrogate(code))
        return number;
    return QLatin1Char('"') + character.toString() + QStringLiteral("\" (") + number + QLatin1Char(')');
}

bool represents(QStringView text) {
    return firstUnrepresentable(text) < 0;
}

} // namespace crypto::Windows1252
