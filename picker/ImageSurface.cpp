#include "picker/ImageSurface.h"

#include "picker/PickerFont.h"

#include <QFontMetrics>
#include <QPainter>

ImageSurface::ImageSurface(QImage* image) : m_image(image), m_font(colour::PaletteNumberFont()) {}

void ImageSurface::drawBox(int x, int y, int dx, int dy, const QColor& colour) {
    if (dx < 0 || dy < 0 || m_image->isNull())
        return;
    QPainter painter(m_image);
    painter.setPen(QPen(colour, 0));
    painter.setBrush(Qt::NoBrush);
    // An aliased one-pixel outline of a w x h rectangle covers w + 1 by h + 1 pixels.
    painter.drawRect(QRect(x, y, dx, dy));
}

void ImageSurface::fillBox(int x, int y, int dx, int dy, const QColor& colour) {
    if (dx < 0 || dy < 0 || m_image->isNull())
        return;
    QPainter painter(m_image);
    painter.fillRect(QRect(x, y, dx + 1, dy + 1), colour);
}

QSize ImageSurface::textSize(const QString& text) const {
    const QFontMetrics metrics(m_font, m_image);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void ImageSurface::drawText(int x, int y, const QString& text) {
    if (m_image->isNull())
        return;
    QPainter painter(m_image);
    painter.setFont(m_font);
    painter.setPen(m_textColor);
    painter.drawText(x, y + QFontMetrics(m_font, m_image).ascent(), text);
}
