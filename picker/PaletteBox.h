#pragma once
#include "picker/ImageSurface.h"

#include <QFrame>

// The picture area that shows the palette grid: a sunken box whose inside is
// drawn through the surface operations. What is drawn is kept in an image, so
// the box can repaint itself at any time without asking the grid again.
class PaletteBox : public QFrame, public PaletteSurface {
    Q_OBJECT
public:
    explicit PaletteBox(QWidget* parent = nullptr);

    const QImage& image() const { return m_image; }

    QSize innerSize() const override { return contentsRect().size().expandedTo(QSize(0, 0)); }
    void drawBox(int x, int y, int dx, int dy, const QColor& colour) override;
    void fillBox(int x, int y, int dx, int dy, const QColor& colour) override;
    QSize textSize(const QString& text) const override;
    void setTextColor(const QColor& colour) override { m_surface.setTextColor(colour); }
    void drawText(int x, int y, const QString& text) override;

signals:
    // A mouse press at pos, in inner-area coordinates.
    void pressed(Qt::MouseButton button, QPointF pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The image follows the inner size, also before the box is first shown.
    void fitImage() const;
    void changed(int x, int y, int dx, int dy);

    mutable QImage m_image;
    ImageSurface m_surface;
};
