#include "picker/ColourSwatch.h"

#include "colour/SpokenColour.h"
#include "platform/Screen.h"
#include "platform/SystemColors.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

ColourSwatch::ColourSwatch(qint32 colour, QWidget* parent) : QAbstractButton(parent), m_colour(colour) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    describeColour();
}

// A screen reader cannot see the fill; it reads the colour from the description.
void ColourSwatch::describeColour() {
    setAccessibleDescription(colour::SpokenColour(m_colour, &platform::SystemColors::plainValue));
}

void ColourSwatch::setBackColor(qint32 colour) {
    if (colour == m_colour)
        return;
    m_colour = colour;
    describeColour();
    update();
}

QSize ColourSwatch::sizeHint() const {
    return QSize(platform::Screen::toPixelsX(375), platform::Screen::toPixelsY(308));
}

void ColourSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    // A system colour code is resolved now, so the swatch follows the desktop.
    painter.fillRect(rect(), platform::SystemColors::toQColor(m_colour));
    painter.setPen(palette().color(isDown() ? QPalette::Shadow : QPalette::Dark));
    painter.drawRect(frame);
    if (isDown()) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(1, 1, width() - 2, 1);
        painter.drawLine(1, 1, 1, height() - 2);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        option.backgroundColor = platform::SystemColors::toQColor(m_colour);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void ColourSwatch::changeEvent(QEvent* event) {
    // The desktop's colours changed: a system colour may now look different.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange ||
        event->type() == QEvent::StyleChange) {
        describeColour();
        update();
    }
    QAbstractButton::changeEvent(event);
}
