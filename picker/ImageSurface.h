#pragma once
#include "picker/PaletteSurface.h"

#include <QFont>
#include <QImage>

// Draws the palette grid into an image with QPainter, pixel for pixel
// (no antialiasing, so every pixel is one of the colours asked for).
class ImageSurface : public PaletteSurface {
public:
    // The image must outlive the surface; it may be replaced (resized) meanwhile.
    explicit ImageSurface(QImage* image);

    QSize innerSize() const override { return m_image->size(); }
    void drawBox(int x, int y, int dx, int dy, const QColor& colour) override;
    void fillBox(int x, int y, int dx, int dy, const QColor& colour) override;
    QSize textSize(const QString& text) const override;
    void setTextColor(const QColor& colour) override { m_textColor = colour; }
    void drawText(int x, int y, const QString& text) override;

private:
    QImage* m_image;
    QFont m_font;
    QColor m_textColor = Qt::black;
};
