#pragma once
#include <QtGlobal>

namespace platform {

// Colour values are signed 32-bit: a plain colour is red + green*256 + blue*65536
// (0..16777215); a system colour code is -2147483648 + index (&H800000nn), index
// 0..24, and stands for whatever the desktop currently uses for that index.
// Every part of the program takes these codes from here.
constexpr qint32 SysColorBase = -2147483647 - 1;
constexpr int SysColorCount = 25;

// The system colours the program names: the editor's defaults, the greyed font
// list, and the ones the picker draws its raised and sunken edges with.
constexpr int WindowBackground = 5;
constexpr int WindowText = 8;
constexpr int ButtonFace = 15;
constexpr int ButtonShadow = 16;
constexpr int GrayText = 17;
constexpr int ButtonHighlight = 20;
constexpr int ButtonDarkShadow = 21;

// A value is taken for a system colour only when it is below -1 (-1 means "none").
constexpr bool IsSysColorCode(qint32 value) {
    return value < -1;
}

// -2147483648 + index.
constexpr qint32 SysColorCode(int index) {
    return SysColorBase + index;
}

// The system colour index of a well-formed code (&H800000nn with nn 0..24), or -1.
constexpr int SysColorIndex(qint32 code) {
    const auto bits = static_cast<quint32>(code);
    if ((bits & 0xFFFFFF00u) != 0x80000000u)
        return -1;
    const int index = static_cast<int>(bits & 0xFFu);
    return index < SysColorCount ? index : -1;
}

} // namespace platform
