#pragma once
#include "picker/PaletteSurface.h"

#include <QPoint>
#include <QPointF>

// The 16 palette colours as two columns of eight small buttons, each with a
// swatch and its index number. At most one cell looks pressed: the selected
// one, whose colour is the current colour. The selection and the current
// colour belong to the window that holds the grid; the grid works on them.
class PaletteGrid {
public:
    PaletteGrid(PaletteSurface& surface, int& selectedCell, qint32& currentColor);

    // Cell size: half the width by an eighth of the height, each rounded to
    // the nearest whole pixel (exact halves to the even neighbour).
    QSize cellSize() const;
    QPoint cellOrigin(int cell) const;

    // Draws the cell raised and clears the selection. Does nothing for a cell
    // outside 0..15.
    void DrawCellRaised(int cell);
    // Draws the cell pressed, selects it and makes its colour current. Does
    // nothing for a cell outside 0..15.
    void SelectPaletteCell(int cell);
    // Draws every cell raised; afterwards nothing is selected.
    void DrawPalette();
    // The cell under a point of the inner area, or -1 outside it.
    int PaletteHitTest(double x, double y) const;
    // Redraws the grid and presses the selected cell again, which makes its
    // colour current once more.
    void Repaint();
    // A press on the grid: the left button makes the colour of the cell under
    // it current. True when the current colour changed (the window then
    // refreshes its displays, which moves the pressed look).
    bool MouseDown(Qt::MouseButton button, QPointF pos);

private:
    void drawCell(int cell, bool pressed);
    void drawNumber(int cell, QPoint origin, QSize size, int offset);

    PaletteSurface& m_surface;
    int& m_selectedCell;
    qint32& m_currentColor;
};
