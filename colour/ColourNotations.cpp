#include "colour/ColourNotations.h"

#include "colour/PaletteColor.h"

#include <cmath>

namespace colour {
namespace {

const QString kNotAvailable = QString::fromLatin1(NotAvailable);

// Upper-case hexadecimal without leading zeros; a negative value gives its
// eight-digit two's complement.
QString hexDigits(qint32 value) {
    return QString::number(static_cast<quint32>(value), 16).toUpper();
}

} // namespace

const QString& ColorNotations::text(int box) const {
    switch (box) {
    case Constant:
        return constantText;
    case Palette:
        return paletteText;
    case Rgb:
        return rgbText;
    case Decimal:
        return decimalText;
    case Html:
        return htmlText;
    case Hex:
        return hexText;
    case SysConstant:
        return sysConstantText;
    default:
        return sysHexText;
    }
}

qint32 FindSysColor(qint32 colour, const SysColorSource& source) {
    if (colour < 0)
        return colour;
    if (!source)
        return -1;
    for (int index = 0; index < SysColorCount; ++index) {
        if (source(index) == colour)
            return SysColorCode(index);
    }
    return -1;
}

ColorNotations FormatNotations(qint32 colour, bool hexMode, const SysColorSource& source) {
    ColorNotations n;
    const qint32 code = FindSysColor(colour, source);
    n.sysConstantText = kNotAvailable;
    n.sysHexText = kNotAvailable;
    n.plainValue = colour;
    if (IsSysColorCode(code)) {
        n.sysIndex = SysColorIndex(code);
        if (n.sysIndex >= 0) {
            n.sysConstantText = SysColorConstant(n.sysIndex);
            n.sysHexText = QStringLiteral("&H") + hexDigits(code) + QLatin1Char('&');
            n.plainValue = source ? source(n.sysIndex) : 0;
        } else {
            // A negative value that names no system colour shows as black
            // rather than as a nonsense plain value.
            n.plainValue = 0;
        }
    }
    const qint32 v = n.plainValue;

    if (const NamedColor* named = FindNamedColor(v)) {
        n.constantText = QString::fromLatin1(named->constantText);
        n.paletteIndex = named->paletteIndex;
    } else {
        n.constantText = kNotAvailable;
        for (int index = 1; index <= 8; ++index) {
            if (PaletteColor(index) == v) {
                n.paletteIndex = index;
                break;
            }
        }
    }
    n.paletteText = QStringLiteral("QBColor(%1)")
                        .arg(n.paletteIndex >= 0 ? QString::number(n.paletteIndex) : kNotAvailable);

    n.red = v & 0xFF;
    n.green = (v & 0xFF00) >> 8;
    n.blue = (v & 0xFF0000) >> 16;
    n.rgbText = QStringLiteral("RGB(%1, %2, %3)").arg(n.red).arg(n.green).arg(n.blue);
    n.decimalText = QString::number(v);

    const QString six = hexDigits(v).rightJustified(6, QLatin1Char('0'));
    n.hexText = QStringLiteral("&H") + six + QLatin1Char('&');
    // The digits run blue, green, red; the web form wants red, green, blue.
    n.htmlText = QLatin1Char('#') + six.right(2) + six.mid(2, 2) + six.left(2);

    n.shade = static_cast<int>(std::lround((n.red + n.green + n.blue) / 3.0));
    const int parts[3] = {n.red, n.green, n.blue};
    for (int i = 0; i < 3; ++i)
        n.componentTexts[i] = hexMode ? hexDigits(parts[i]) : QString::number(parts[i]);
    return n;
}

} // namespace colour
