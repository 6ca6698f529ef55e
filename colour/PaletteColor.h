#pragma once
#include <QtGlobal>

namespace colour {

// The 16-colour palette as colour values (red + green*256 + blue*65536), index 0..15.
// Any other index gives black.
qint32 PaletteColor(int index);

} // namespace colour
