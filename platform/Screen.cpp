#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace platform {
namespace {

struct Override {
    QSize pixels;
    double dpi = 96.0;
};

Override& fixed() {
    static Override o;
    return o;
}

bool isFixed() {
    return fixed().pixels.isValid() && !fixed().pixels.isEmpty();
}

double logicalDpi(Qt::Orientation direction) {
    if (isFixed())
        return fixed().dpi;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = !screen                       ? 96.0
                       : direction == Qt::Horizontal ? screen->logicalDotsPerInchX()
                                                     : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

QSize Screen::sizePixels() {
    if (isFixed())
        return fixed().pixels;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

double Screen::twipsPerPixelX() {
    return 1440.0 / logicalDpi(Qt::Horizontal);
}
double Screen::twipsPerPixelY() {
    return 1440.0 / logicalDpi(Qt::Vertical);
}

namespace {

// A stored value may be any number at all: beyond what a window can be, it
// stops at the largest size Qt gives a widget rather than wrapping around.
int toPixels(double pixels) {
    if (!std::isfinite(pixels))
        return 0;
    return static_cast<int>(
        std::lround(std::clamp(pixels, -double(QWIDGETSIZE_MAX), double(QWIDGETSIZE_MAX))));
}

} // namespace

int Screen::toPixelsX(double twips) {
    return toPixels(twips / twipsPerPixelX());
}
int Screen::toPixelsY(double twips) {
    return toPixels(twips / twipsPerPixelY());
}

QRect Screen::rectFromTwips(double left, double top, double width, double height) {
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}

void Screen::place(QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(rectFromTwips(left, top, width, height));
}

void Screen::placeAll(QWidget* form, std::span<const Placement> table) {
    for (const Placement& p : table) {
        auto* widget = form->findChild<QWidget*>(QString::fromLatin1(p.name));
        Q_ASSERT_X(widget, "Screen::placeAll", p.name);
        if (widget)
            place(widget, p.left, p.top, p.width, p.height);
    }
}

void Screen::setOverride(QSize pixels, double logicalDpi) {
    fixed() = Override{pixels, logicalDpi};
}

} // namespace platform
