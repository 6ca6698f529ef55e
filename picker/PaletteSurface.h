#pragma once
#include <QColor>
#include <QSize>
#include <QString>

// The few drawing operations the palette grid needs. Extents are inclusive:
// a box at (x, y) with extent (dx, dy) covers the pixels x..x+dx and y..y+dy.
class PaletteSurface {
public:
    virtual ~PaletteSurface() = default;

    // The drawable area inside any border, in pixels.
    virtual QSize innerSize() const = 0;
    virtual void drawBox(int x, int y, int dx, int dy, const QColor& colour) = 0;
    virtual void fillBox(int x, int y, int dx, int dy, const QColor& colour) = 0;
    virtual QSize textSize(const QString& text) const = 0;
    virtual void setTextColor(const QColor& colour) = 0;
    // Draws with the text's top-left corner at (x, y).
    virtual void drawText(int x, int y, const QString& text) = 0;
};
