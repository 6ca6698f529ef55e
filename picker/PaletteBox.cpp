#include "picker/PaletteBox.h"

#include "colour/ColourTables.h"
#include "platform/SystemColors.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Assistive technology would take the box for a plain frame; it is where a
// colour is chosen.
QAccessibleInterface* paletteAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("PaletteBox") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::ColorChooser);
    return nullptr;
}

} // namespace

PaletteBox::PaletteBox(QWidget* parent) : QFrame(parent), m_surface(&m_image) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    // The box paints every one of its pixels; without this each grid update
    // would also repaint the dialog behind it, which redraws the grid again.
    setAttribute(Qt::WA_OpaquePaintEvent);
    static const bool installed = (QAccessible::installFactory(&paletteAccessible), true);
    Q_UNUSED(installed);
}

QSize PaletteBox::textSize(const QString& text) const {
    fitImage();
    return m_surface.textSize(text);
}

void PaletteBox::drawBox(int x, int y, int dx, int dy, const QColor& colour) {
    fitImage();
    m_surface.drawBox(x, y, dx, dy, colour);
    changed(x, y, dx, dy);
}

void PaletteBox::fillBox(int x, int y, int dx, int dy, const QColor& colour) {
    fitImage();
    m_surface.fillBox(x, y, dx, dy, colour);
    changed(x, y, dx, dy);
}

void PaletteBox::drawText(int x, int y, const QString& text) {
    fitImage();
    m_surface.drawText(x, y, text);
    const QSize size = m_surface.textSize(text);
    changed(x, y, size.width(), size.height());
}

void PaletteBox::changed(int x, int y, int dx, int dy) {
    update(QRect(contentsRect().topLeft() + QPoint(x, y), QSize(dx + 1, dy + 1)));
}

void PaletteBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(contentsRect(),
                     platform::SystemColors::toQColor(colour::SysColorCode(colour::ButtonFace)));
    painter.drawImage(contentsRect().topLeft(), m_image);
}

void PaletteBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    fitImage();
}

void PaletteBox::fitImage() const {
    const QSize inner = innerSize();
    if (inner == m_image.size())
        return;
    QImage resized(inner, QImage::Format_RGB32);
    resized.fill(platform::SystemColors::toQColor(colour::SysColorCode(colour::ButtonFace)));
    QPainter painter(&resized);
    painter.drawImage(0, 0, m_image);
    painter.end();
    m_image = resized;
}

void PaletteBox::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button(), event->position() - QPointF(contentsRect().topLeft()));
    event->accept();
}
