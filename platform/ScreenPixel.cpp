#include "platform/ScreenPixel.h"

#include "platform/SystemColors.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

namespace platform {
namespace {
std::function<qint32(const QPoint&)>& reader() {
    static std::function<qint32(const QPoint&)> r;
    return r;
}
} // namespace

qint32 ScreenPixel::at(const QPoint& globalPos) {
    if (reader())
        return reader()(globalPos);
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return -1;
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        return -1;
    const QPoint local = globalPos - screen->geometry().topLeft();
    const QPixmap shot = screen->grabWindow(0, local.x(), local.y(), 1, 1);
    if (shot.isNull())
        return -1;
    const QImage image = shot.toImage();
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return -1;
    return SystemColors::fromQColor(image.pixelColor(0, 0));
}

void ScreenPixel::setReader(std::function<qint32(const QPoint&)> r) {
    reader() = std::move(r);
}

} // namespace platform
