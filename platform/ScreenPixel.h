#pragma once
#include <QPoint>
#include <functional>

namespace platform {

// Reads the colour of one pixel of the whole screen.
class ScreenPixel {
public:
    // The colour as a plain value (red + green*256 + blue*65536), or -1 when the
    // platform will not give the screen's contents (for example under Wayland).
    static qint32 at(const QPoint& globalPos);
    // Tests give their own reader; an empty one restores the screen.
    static void setReader(std::function<qint32(const QPoint&)> reader);
};

} // namespace platform
