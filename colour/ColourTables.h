#pragma once
#include <QString>
#include <functional>

namespace colour {

// Colour values are signed 32-bit: a plain colour is red + green*256 + blue*65536
// (0..16777215); a system colour code is -2147483648 + index (&H800000nn), index
// 0..24, and stands for whatever the desktop currently uses for that index.
constexpr qint32 SysColorBase = -2147483647 - 1;
constexpr int SysColorCount = 25;
constexpr int PaletteCount = 16;
// The system colours the picker draws its raised and sunken edges with.
constexpr int ButtonFace = 15;
constexpr int ButtonShadow = 16;
constexpr int ButtonHighlight = 20;
constexpr int ButtonDarkShadow = 21;

// The present plain value of system colour `index` (0..24).
using SysColorSource = std::function<qint32(int index)>;

constexpr qint32 ComposeRGB(int red, int green, int blue) {
    return red + green * 256 + blue * 65536;
}

// A code is taken for a system colour only when it is below -1 (-1 means "none").
constexpr bool IsSysColorCode(qint32 value) {
    return value < -1;
}

// The system colour index of a well-formed code (&H800000nn with nn 0..24), or -1.
int SysColorIndex(qint32 code);

// -2147483648 + index.
qint32 SysColorCode(int index);

// Display name ("Button Face") and constant text ("vbButtonFace") of a system
// colour index; empty outside 0..24.
QString SysColorName(int index);
QString SysColorConstant(int index);

// The named colours: eight plain values with a constant and a palette index.
struct NamedColor {
    qint32 value;
    const char* constantText;
    int paletteIndex;
};
// The named colour with this plain value, or null.
const NamedColor* FindNamedColor(qint32 value);

} // namespace colour
