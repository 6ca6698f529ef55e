#pragma once
#include <QRect>
#include <QSize>

class QWidget;

namespace platform {

// The primary screen, and twips (1/1440 inch) against its logical pixels.
class Screen {
public:
    static QSize sizePixels();
    static double twipsPerPixelX();
    static double twipsPerPixelY();
    static double widthTwips() { return sizePixels().width() * twipsPerPixelX(); }
    static double heightTwips() { return sizePixels().height() * twipsPerPixelY(); }

    static int toPixelsX(double twips);
    static int toPixelsY(double twips);
    static double toTwipsX(int pixels) { return pixels * twipsPerPixelX(); }
    static double toTwipsY(int pixels) { return pixels * twipsPerPixelY(); }
    // A rectangle given as left, top, width, height in twips, in pixels.
    static QRect rectFromTwips(double left, double top, double width, double height);

    // Places a widget at left, top, width, height given in twips within its parent.
    static void place(QWidget* widget, double left, double top, double width, double height);

    // Tests fix the screen; a zero size restores the real primary screen.
    static void setOverride(QSize pixels, double logicalDpi = 96.0);
};

} // namespace platform
