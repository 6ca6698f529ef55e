#include "platform/SystemColors.h"

#include <QApplication>
#include <QPalette>

namespace platform {
namespace {

std::function<QRgb(int)>& source() {
    static std::function<QRgb(int)> s;
    return s;
}

struct PaletteSlot {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Which palette colour stands for each system index.
constexpr PaletteSlot kSlots[SysColorCount] = {
    {QPalette::Active, QPalette::Button},
    {QPalette::Active, QPalette::Dark},
    {QPalette::Active, QPalette::Highlight},
    {QPalette::Active, QPalette::Mid},
    {QPalette::Active, QPalette::Window},
    {QPalette::Active, QPalette::Base},
    {QPalette::Active, QPalette::Shadow},
    {QPalette::Active, QPalette::WindowText},
    {QPalette::Active, QPalette::Text},
    {QPalette::Active, QPalette::HighlightedText},
    {QPalette::Active, QPalette::Window},
    {QPalette::Active, QPalette::Window},
    {QPalette::Active, QPalette::Dark},
    {QPalette::Active, QPalette::Highlight},
    {QPalette::Active, QPalette::HighlightedText},
    {QPalette::Active, QPalette::Button},
    {QPalette::Active, QPalette::Dark},
    {QPalette::Disabled, QPalette::Text},
    {QPalette::Active, QPalette::ButtonText},
    {QPalette::Active, QPalette::WindowText},
    {QPalette::Active, QPalette::Light},
    {QPalette::Active, QPalette::Shadow},
    {QPalette::Active, QPalette::Midlight},
    {QPalette::Active, QPalette::ToolTipText},
    {QPalette::Active, QPalette::ToolTipBase},
};

} // namespace

QRgb SystemColors::rgb(int index) {
    if (index < 0 || index >= SysColorCount)
        return qRgb(0, 0, 0);
    if (source())
        return source()(index) | 0xff000000u;
    const QPalette palette = QApplication::palette();
    return palette.color(kSlots[index].group, kSlots[index].role).rgb();
}

qint32 SystemColors::plainValue(int index) {
    return fromQColor(QColor(rgb(index)));
}

QColor SystemColors::toQColor(qint32 value) {
    if (IsSysColorCode(value))
        return QColor(rgb(value & 0xff));
    if (value < 0)
        return QColor(Qt::black);
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

qint32 SystemColors::fromQColor(const QColor& colour) {
    return colour.red() + colour.green() * 256 + colour.blue() * 65536;
}

void SystemColors::setSource(std::function<QRgb(int)> s) {
    source() = std::move(s);
}

} // namespace platform
