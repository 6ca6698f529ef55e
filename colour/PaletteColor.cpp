#include "colour/PaletteColor.h"

#include "colour/ColourTables.h"

namespace colour {
namespace {
constexpr qint32 kPalette[16] = {
    ComposeRGB(0, 0, 0),       ComposeRGB(0, 0, 128),   ComposeRGB(0, 128, 0),   ComposeRGB(0, 128, 128),
    ComposeRGB(128, 0, 0),     ComposeRGB(128, 0, 128), ComposeRGB(128, 128, 0), ComposeRGB(192, 192, 192),
    ComposeRGB(128, 128, 128), ComposeRGB(0, 0, 255),   ComposeRGB(0, 255, 0),   ComposeRGB(0, 255, 255),
    ComposeRGB(255, 0, 0),     ComposeRGB(255, 0, 255), ComposeRGB(255, 255, 0), ComposeRGB(255, 255, 255),
};
} // namespace

qint32 PaletteColor(int index) {
    return index >= 0 && index < 16 ? kPalette[index] : 0;
}

} // namespace colour
