#pragma once
#include "platform/SystemColorCodes.h"

#include <QString>
#include <functional>

namespace colour {

// The system colour codes are the platform's (platform/SystemColorCodes.h).
using platform::ButtonDarkShadow;
using platform::ButtonFace;
using platform::ButtonHighlight;
using platform::ButtonShadow;
using platform::IsSysColorCode;
using platform::SysColorBase;
using platform::SysColorCode;
using platform::SysColorCount;
using platform::SysColorIndex;

constexpr int PaletteCount = 16;

// The present plain value of system colour `index` (0..24).
using SysColorSource = std::function<qint32(int index)>;

constexpr qint32 ComposeRGB(int red, int green, int blue) {
    return red + green * 256 + blue * 65536;
}

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
