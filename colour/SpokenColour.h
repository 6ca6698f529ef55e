#pragma once
#include "colour/ColourTables.h"

#include <QString>

namespace colour {

// A colour value in words a person can check against what the picker shows:
// its name where it has one ("Red"), then its RGB and HTML notations. A
// system colour code is named as such, with what the desktop shows for it now.
// Screen readers announce this for controls that show only a colour.
QString SpokenColour(qint32 colour, const SysColorSource& source);

} // namespace colour
