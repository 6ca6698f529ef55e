#pragma once
#include <QRect>
#include <QSize>
#include <span>

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
    // A hand-placed form's layout: each control by its object name, in twips within its parent.
    struct Placement {
        const char* name;
        double left, top, width, height;
    };
    // Places every control of the table found among the form's children (at any depth).
    static void placeAll(QWidget* form, std::span<const Placement> table);

    // Tests fix the screen; a zero size restores the real primary screen.
    static void setOverride(QSize pixels, double logicalDpi = 96.0);
};

} // namespace platform
