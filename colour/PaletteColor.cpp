#include "colour/PaletteColor.h"

namespace colour {
namespace {
constexpr qint32 rgb(int r, int g, int b) {
    return r + g * 256 + b * 65536;
}

constexpr qint32 kPalette[16] = {
    rgb(0, 0, 0),       rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
    rgb(128, 0, 0),     rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
    rgb(128, 128, 128), rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(0, 255, 255),
    rgb(255, 0, 0),     rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255),
};
} // namespace

qint32 PaletteColor(int index) {
    return index >= 0 && index < 16 ? kPalette[index] : 0;
}

} // namespace colour
