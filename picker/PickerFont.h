#pragma once
#include <QFont>

namespace colour {

// The picker's small dialog face: the classic 8-point sans-serif where the
// desktop has it, otherwise the nearest sans-serif face there is.
inline QFont PickerFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

// The palette grid's numbers: the same face in bold, drawn without smoothing
// so every pixel is the text colour or the swatch colour.
inline QFont PaletteNumberFont() {
    QFont font = PickerFont();
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace colour
