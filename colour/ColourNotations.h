#pragma once
#include "colour/ColourTables.h"

#include <QString>
#include <array>

namespace colour {

// Everything the picker shows for one colour.
struct ColorNotations {
    // The code boxes of the picker, in the numbering its boxes use.
    enum Box { Constant = 0, Palette, Rgb, Decimal, Html, Hex, SysConstant, SysHex, BoxCount };

    QString constantText;    // "vbRed" or "N/A"
    QString paletteText;     // "QBColor(12)" or "QBColor(N/A)"
    QString rgbText;         // "RGB(255, 0, 0)"
    QString decimalText;     // "255"
    QString htmlText;        // "#FF0000"
    QString hexText;         // "&H0000FF&"
    QString sysConstantText; // "vbButtonFace" or "N/A"
    QString sysHexText;      // "&H8000000F&" or "N/A"

    qint32 plainValue = 0; // what a system colour resolves to now; the colour itself otherwise
    int red = 0;
    int green = 0;
    int blue = 0;
    int shade = 0;                         // (red + green + blue) / 3, rounded
    int paletteIndex = -1;                 // -1: none
    int sysIndex = -1;                     // -1: no system colour
    std::array<QString, 3> componentTexts; // red, green, blue in decimal or hexadecimal

    const QString& text(int box) const;
};

// What a box shows for a notation the colour has none of.
inline constexpr char NotAvailable[] = "N/A";
// A box whose text holds "N/A" ("QBColor(N/A)" included) names no colour and is shown disabled.
inline bool isAvailable(const QString& text) {
    return !text.contains(QLatin1String(NotAvailable));
}

// A colour below 0 comes back unchanged. Otherwise the code of the lowest system
// index whose present value is the colour, or -1 when none is.
qint32 FindSysColor(qint32 colour, const SysColorSource& source);

// The notations of a colour. A plain colour that equals a system colour's
// present value is reported as that system colour (the lowest index).
ColorNotations FormatNotations(qint32 colour, bool hexMode, const SysColorSource& source);

} // namespace colour
