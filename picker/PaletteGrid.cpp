#include "picker/PaletteGrid.h"

#include "colour/ColourTables.h"
#include "colour/PaletteColor.h"
#include "platform/SystemColors.h"

#include <cmath>

namespace {

constexpr int kColumns = 2;
constexpr int kRows = 8;

QColor sys(int index) {
    return platform::SystemColors::toQColor(colour::SysColorCode(index));
}
QColor plain(qint32 value) {
    return platform::SystemColors::toQColor(value);
}

// Nearest whole number with exact halves to the even neighbour (the default
// floating-point rounding mode).
int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

bool isCell(int cell) {
    return cell >= 0 && cell < colour::PaletteCount;
}

} // namespace

PaletteGrid::PaletteGrid(PaletteSurface& surface, int& selectedCell, qint32& currentColor)
    : m_surface(surface), m_selectedCell(selectedCell), m_currentColor(currentColor) {}

QSize PaletteGrid::cellSize() const {
    const QSize inner = m_surface.innerSize();
    return QSize(roundHalfEven(inner.width() / double(kColumns)),
                 roundHalfEven(inner.height() / double(kRows)));
}

QPoint PaletteGrid::cellOrigin(int cell) const {
    const QSize size = cellSize();
    return QPoint(cell / kRows * size.width(), cell % kRows * size.height());
}

void PaletteGrid::DrawCellRaised(int cell) {
    if (!isCell(cell))
        return;
    drawCell(cell, false);
    m_selectedCell = -1;
}

void PaletteGrid::SelectPaletteCell(int cell) {
    if (!isCell(cell))
        return;
    drawCell(cell, true);
    m_selectedCell = cell;
    m_currentColor = colour::PaletteColor(cell);
}

void PaletteGrid::drawCell(int cell, bool pressed) {
    const QSize s = cellSize();
    const int w = s.width();
    const int h = s.height();
    const QPoint o = cellOrigin(cell);
    const int x = o.x();
    const int y = o.y();
    m_surface.fillBox(x, y, w - 1, h - 1, sys(colour::ButtonFace));
    m_surface.drawBox(x, y, w - 1, h - 1, sys(colour::ButtonDarkShadow));
    if (pressed) {
        // Shadow over highlight, one pixel smaller: shadow inside at the top
        // and left, highlight at the right and bottom, so the cell looks sunken.
        m_surface.drawBox(x + 1, y + 1, w - 3, h - 3, sys(colour::ButtonHighlight));
        m_surface.drawBox(x + 1, y + 1, w - 4, h - 4, sys(colour::ButtonShadow));
        m_surface.drawBox(x + 2, y + 2, w - 5, h - 5, sys(colour::ButtonFace));
    } else {
        // The highlight outline one pixel smaller leaves the dark shadow on the
        // right and bottom edges only; the inner shadow stays on the same edges.
        m_surface.drawBox(x, y, w - 2, h - 2, sys(colour::ButtonHighlight));
        m_surface.drawBox(x + 1, y + 1, w - 3, h - 3, sys(colour::ButtonShadow));
        m_surface.fillBox(x + 1, y + 1, w - 4, h - 4, sys(colour::ButtonFace));
    }
    // A pressed swatch and number sit one pixel further right and down.
    const int shift = pressed ? 1 : 0;
    m_surface.fillBox(x + 4 + shift, y + 4 + shift, w - 10, h - 10, plain(colour::PaletteColor(cell)));
    m_surface.drawBox(x + 4 + shift, y + 4 + shift, w - 10, h - 10, plain(0));
    drawNumber(cell, o, s, shift);
}

void PaletteGrid::drawNumber(int cell, QPoint origin, QSize size, int offset) {
    const QString text = QString::number(cell);
    const QSize extent = m_surface.textSize(text);
    m_surface.setTextColor(cell < 10 ? Qt::white : Qt::black);
    const double left = (2.0 * origin.x() + size.width() - 1) / 2 - extent.width() / 2.0;
    const double top = (2.0 * origin.y() + size.height() - 1) / 2 - extent.height() / 2.0;
    m_surface.drawText(static_cast<int>(std::floor(left)) + offset,
                       static_cast<int>(std::floor(top)) + offset, text);
}

void PaletteGrid::DrawPalette() {
    for (int cell = 0; cell < colour::PaletteCount; ++cell)
        DrawCellRaised(cell);
}

int PaletteGrid::PaletteHitTest(double x, double y) const {
    const QSize inner = m_surface.innerSize();
    // A press on the border around the grid names no cell.
    if (x < 0 || y < 0 || x >= inner.width() || y >= inner.height())
        return -1;
    const int column = static_cast<int>(std::floor(x / (inner.width() / double(kColumns))));
    const int row = static_cast<int>(std::floor(y / (inner.height() / double(kRows))));
    return column * kRows + row;
}

void PaletteGrid::Repaint() {
    const int selected = m_selectedCell;
    DrawPalette();
    m_selectedCell = selected;
    if (selected >= 0)
        SelectPaletteCell(selected);
}

bool PaletteGrid::MouseDown(Qt::MouseButton button, QPointF pos) {
    if (button != Qt::LeftButton)
        return false;
    const int cell = PaletteHitTest(pos.x(), pos.y());
    if (!isCell(cell) || m_currentColor == colour::PaletteColor(cell))
        return false;
    m_currentColor = colour::PaletteColor(cell);
    return true;
}
