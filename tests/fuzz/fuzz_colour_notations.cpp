// The colour picker's texts. A component box's text (ParseRGBText) and its
// keys (FilterRGBKey) on anything typed or pasted; the eight notations of any
// colour value the program can hold (FormatNotations), each read back by its
// own grammar to the colour it came from; and a component read from a text,
// written as its box shows it and read again gives the same value.
// Input: a flag byte (bit 0 hex mode, bit 1 the text is UTF-16LE), a colour
// value (4 bytes), a desktop seed (4 bytes), the index of the system colour
// that equals the colour (1 byte; 25 and above: none), a key code (4 bytes),
// then the component text.
#include "colour/ColourNotations.h"
#include "colour/ComponentInput.h"
#include "colour/PaletteColor.h"
#include "tests/fuzz/FuzzInput.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

using namespace colour;

namespace {

// A digit's value in the box's base; -1 for any other character.
int digitValue(char16_t c, bool hexMode) {
    const int value = fuzz::hexDigitValue(c);
    return hexMode || value < 10 ? value : -1;
}

void checkComponentText(const QString& text, bool hexMode) {
    const ParsedComponent parsed = ParseRGBText(text, hexMode);
    // The digits the text holds, read in the box's base; the reading stops
    // growing far beyond 255, where the value can only be refused.
    constexpr qint64 Far = qint64{1} << 40;
    qint64 value = 0;
    bool onlyDigits = true;
    for (const QChar ch : text) {
        const int digit = digitValue(ch.unicode(), hexMode);
        onlyDigits = onlyDigits && digit >= 0;
        if (digit >= 0)
            value = std::min(Far, value * (hexMode ? 16 : 10) + digit);
    }
    FUZZ_CHECK(parsed.acceptable == (onlyDigits && value <= 255));
    FUZZ_CHECK(value > 255 ? parsed.value > 255 : parsed.value == value);
    if (value > 255)
        return;
    // Read, shown as the box shows it, read again.
    const QString shown =
        FormatNotations(ComposeRGB(0, static_cast<int>(value), 0), hexMode, {}).componentTexts[1];
    const ParsedComponent again = ParseRGBText(shown, hexMode);
    FUZZ_CHECK(again.acceptable && again.value == value);
}

void checkKey(std::uint32_t code, bool hexMode) {
    const int key = static_cast<int>(code);
    const KeyDecision decision = FilterRGBKey(key, hexMode);
    FUZZ_CHECK(decision.beep == (decision.code == 0 && key != 0));
    if (decision.code == 0)
        return;
    // Only a character of the box's base (upper-cased) or a control key gets through.
    FUZZ_CHECK(key >= 0 && key <= 0xFFFF);
    const char16_t upper = QChar(static_cast<char16_t>(key)).toUpper().unicode();
    FUZZ_CHECK(decision.code == upper);
    FUZZ_CHECK(decision.code <= 8 || digitValue(upper, hexMode) >= 0);
    if (decision.code > 8)
        FUZZ_CHECK(ParseRGBText(QString(QChar(upper)), hexMode).acceptable);
}

// A value the program holds: a plain colour or &H800000nn.
qint32 heldColour(std::uint32_t bits) {
    return bits & 0x80000000u ? static_cast<qint32>(bits & 0x800000FFu)
                              : static_cast<qint32>(bits & 0xFFFFFFu);
}

int hexNumber(const QString& digits) {
    bool ok = false;
    const int value = static_cast<int>(digits.toUInt(&ok, 16));
    FUZZ_CHECK(ok);
    return value;
}

void checkNotations(qint32 colour, bool hexMode, const SysColorSource& desktop) {
    const ColorNotations n = FormatNotations(colour, hexMode, desktop);
    const qint32 v = n.plainValue;
    const int index = SysColorIndex(colour);
    if (colour >= 0) {
        FUZZ_CHECK(v == colour);
    } else {
        FUZZ_CHECK(v == (index >= 0 ? desktop(index) : 0));
    }
    FUZZ_CHECK(v >= 0 && v <= 0xFFFFFF);
    FUZZ_CHECK(ComposeRGB(n.red, n.green, n.blue) == v);
    FUZZ_CHECK(n.shade == std::lround((n.red + n.green + n.blue) / 3.0));

    static const QRegularExpression rgb(QStringLiteral("^RGB\\((\\d{1,3}), (\\d{1,3}), (\\d{1,3})\\)$"));
    const QRegularExpressionMatch parts = rgb.match(n.rgbText);
    FUZZ_CHECK(parts.hasMatch());
    FUZZ_CHECK(ComposeRGB(parts.captured(1).toInt(), parts.captured(2).toInt(), parts.captured(3).toInt()) ==
               v);

    bool ok = false;
    FUZZ_CHECK(n.decimalText.toInt(&ok) == v && ok && n.decimalText == QString::number(v));

    static const QRegularExpression hex(QStringLiteral("^&H([0-9A-F]{6})&$"));
    const QRegularExpressionMatch hexDigits = hex.match(n.hexText);
    FUZZ_CHECK(hexDigits.hasMatch() && hexNumber(hexDigits.captured(1)) == v);

    static const QRegularExpression html(QStringLiteral("^#([0-9A-F]{2})([0-9A-F]{2})([0-9A-F]{2})$"));
    const QRegularExpressionMatch web = html.match(n.htmlText);
    FUZZ_CHECK(web.hasMatch());
    FUZZ_CHECK(
        ComposeRGB(hexNumber(web.captured(1)), hexNumber(web.captured(2)), hexNumber(web.captured(3))) == v);

    // Every colour of the palette has its palette text, and only those.
    bool inPalette = false;
    for (int cell = 0; cell < PaletteCount; ++cell)
        inPalette = inPalette || PaletteColor(cell) == v;
    static const QRegularExpression palette(QStringLiteral("^QBColor\\((\\d{1,2})\\)$"));
    const QRegularExpressionMatch cell = palette.match(n.paletteText);
    FUZZ_CHECK(cell.hasMatch() == inPalette);
    if (inPalette)
        FUZZ_CHECK(cell.captured(1).toInt() == n.paletteIndex && PaletteColor(n.paletteIndex) == v);
    else
        FUZZ_CHECK(n.paletteText == QLatin1String("QBColor(N/A)") && n.paletteIndex == -1);
    FUZZ_CHECK(isAvailable(n.constantText) == (FindNamedColor(v) != nullptr));

    // A system colour, given or found, names its index both ways.
    FUZZ_CHECK(isAvailable(n.sysHexText) == (n.sysIndex >= 0));
    if (n.sysIndex >= 0) {
        static const QRegularExpression sys(QStringLiteral("^&H(800000[0-9A-F]{2})&$"));
        const QRegularExpressionMatch code = sys.match(n.sysHexText);
        FUZZ_CHECK(code.hasMatch());
        FUZZ_CHECK(SysColorIndex(static_cast<qint32>(code.captured(1).toUInt(nullptr, 16))) == n.sysIndex);
        FUZZ_CHECK(n.sysConstantText == SysColorConstant(n.sysIndex) && desktop(n.sysIndex) == v);
    }

    const int components[3] = {n.red, n.green, n.blue};
    for (int i = 0; i < 3; ++i) {
        const ParsedComponent parsed = ParseRGBText(n.componentTexts[i], hexMode);
        FUZZ_CHECK(parsed.acceptable && parsed.value == components[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::uint8_t flags = input.byte();
    const bool hexMode = flags & 1;
    const std::uint32_t colourBits = input.u32();
    const std::uint32_t seed = input.u32();
    const std::uint8_t match = input.byte();
    const std::uint32_t key = input.u32();
    const QString text = input.text(flags & 2);

    const qint32 colour = heldColour(colourBits);
    const auto desktop = [seed, match, colour](int index) -> qint32 {
        if (index == match && colour >= 0)
            return colour;
        return static_cast<qint32>((seed * (2u * static_cast<std::uint32_t>(index) + 1u)) & 0xFFFFFFu);
    };
    // Any value at all must not trip the formatter; the held ones must read back.
    FormatNotations(static_cast<qint32>(colourBits), hexMode, desktop);
    checkNotations(colour, hexMode, desktop);
    checkKey(key, hexMode);
    checkComponentText(text, hexMode);
    return 0;
}
