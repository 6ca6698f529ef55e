#include "colour/SpokenColour.h"

#include "colour/ColourNotations.h"

namespace colour {

QString SpokenColour(qint32 colour, const SysColorSource& source) {
    QString name;
    qint32 plain = colour;
    if (const int index = SysColorIndex(colour); index >= 0) {
        name = QStringLiteral("System colour %1").arg(SysColorName(index));
        if (!source)
            return name;
        plain = source(index);
    } else if (colour < 0 || colour > 0xFFFFFF) {
        return QStringLiteral("Colour code %1").arg(colour);
    } else if (const NamedColor* named = FindNamedColor(colour)) {
        // The constants read "vbRed"; the colour's name is what follows "vb".
        name = QString::fromLatin1(named->constantText).mid(2);
    }
    // No system source: a plain colour is described as the value it is.
    const ColorNotations n = FormatNotations(plain, false, {});
    QString notations = n.rgbText + QStringLiteral(", ") + n.htmlText;
    if (name.isEmpty())
        return notations;
    return name + (IsSysColorCode(colour) ? QStringLiteral(", now ") : QStringLiteral(", ")) + notations;
}

} // namespace colour
