#include "app/AppStyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QStyleOption>

namespace {

// Two chevrons pointing where the hidden items are, in the button text colour
// of the icon's mode, drawn at whatever size is asked for.
class OverflowArrows : public QIconEngine {
public:
    explicit OverflowArrows(Qt::ArrowType direction) : m_direction(direction) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette::ColorGroup group = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        const qreal side = qMin(rect.width(), rect.height());
        const qreal unit = side / 16.0;
        QPainterPath path;
        for (const qreal offset : {4.0, 9.0}) {
            path.moveTo(offset, 4);
            path.lineTo(offset + 3.5, 8);
            path.lineTo(offset, 12);
        }
        QTransform place;
        place.translate(rect.center().x() + 0.5, rect.center().y() + 0.5);
        place.rotate(m_direction == Qt::DownArrow ? 90 : m_direction == Qt::LeftArrow ? 180 : 0);
        place.scale(unit, unit);
        place.translate(-8, -8);

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(QApplication::palette().color(group, QPalette::ButtonText),
                             qMax<qreal>(1.0, 1.5 * unit), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(place.map(path));
        painter->restore();
    }

    // The base class paints onto an uncleared pixmap.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap image(size);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paint(&painter, image.rect(), mode, state);
        return image;
    }

    QIconEngine* clone() const override { return new OverflowArrows(m_direction); }

private:
    Qt::ArrowType m_direction;
};

} // namespace

QIcon AppStyle::standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const {
    const bool rightToLeft =
        (option ? option->direction : QApplication::layoutDirection()) == Qt::RightToLeft;
    switch (which) {
    case SP_ToolBarHorizontalExtensionButton:
        return QIcon(new OverflowArrows(rightToLeft ? Qt::LeftArrow : Qt::RightArrow));
    case SP_ToolBarVerticalExtensionButton:
        return QIcon(new OverflowArrows(Qt::DownArrow));
    default:
        return QProxyStyle::standardIcon(which, option, widget);
    }
}

void AppStyle::install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QApplication::setStyle(new AppStyle);
}
