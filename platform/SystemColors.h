#pragma once
#include "platform/SystemColorCodes.h"

#include <QColor>
#include <functional>

namespace platform {

// The desktop's present colours for the 25 system colour indexes, and the one
// place where a 32-bit colour value (&H00BBGGRR, or &H800000nn for system
// colour nn) becomes a QColor.
class SystemColors {
public:
    // Present colour of system index 0..24 (black for any other index).
    static QRgb rgb(int index);
    // Present colour of a system index as a plain colour value (red + green*256 + blue*65536).
    static qint32 plainValue(int index);
    static QColor toQColor(qint32 value);
    static qint32 fromQColor(const QColor& colour);
    // Tests give a fixed table; an empty source restores the application palette.
    static void setSource(std::function<QRgb(int)> source);
};

} // namespace platform
