#include "picker/PickerImages.h"

#include <QBitmap>
#include <QPainter>

namespace colour {
namespace {

constexpr int kSize = 32;
constexpr int kCentre = 15;
constexpr int kGap = 3; // the centre stays open so the picked pixel is visible

// The four arms and the ring round the centre, drawn with the given pen.
void drawCross(QPainter& painter, int width) {
    painter.setPen(QPen(Qt::color1, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(kCentre, 1, kCentre, kCentre - kGap - 1);
    painter.drawLine(kCentre, kCentre + kGap + 1, kCentre, kSize - 2);
    painter.drawLine(1, kCentre, kCentre - kGap - 1, kCentre);
    painter.drawLine(kCentre + kGap + 1, kCentre, kSize - 2, kCentre);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(kCentre - kGap - 3, kCentre - kGap - 3, 2 * (kGap + 3), 2 * (kGap + 3));
}

} // namespace

QCursor CaptureCursor() {
    // Bitmap 1 = black, 0 = white; mask 0 = transparent.
    QBitmap shape(kSize, kSize);
    QBitmap mask(kSize, kSize);
    shape.fill(Qt::color0);
    mask.fill(Qt::color0);
    {
        QPainter painter(&mask);
        drawCross(painter, 3);
    }
    {
        QPainter painter(&shape);
        drawCross(painter, 1);
    }
    return QCursor(shape, mask, kCentre, kCentre);
}

QIcon PickerIcon() {
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const int half = size / 2;
        const QColor squares[4] = {QColor(192, 0, 0), QColor(0, 128, 0), QColor(0, 0, 192), Qt::white};
        for (int i = 0; i < 4; ++i) {
            const QRect square(i % 2 * half, i / 2 * half, half - 1, half - 1);
            painter.fillRect(square, squares[i]);
            painter.setPen(QColor(60, 60, 60));
            painter.drawRect(square);
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace colour
