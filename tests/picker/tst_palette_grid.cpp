#include "colour/ColourTables.h"
#include "colour/PaletteColor.h"
#include "picker/ImageSurface.h"
#include "picker/PaletteGrid.h"
#include "platform/SystemColors.h"

#include <QTest>

namespace {

// The desktop's button colours; the palette's black and white.
const QRgb kFace = qRgb(200, 200, 200), kShadow = qRgb(120, 120, 120), kHighlight = qRgb(250, 250, 250);
const QRgb kDarkShadow = qRgb(40, 40, 40), kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255);

QRgb desktop(int index) {
    return QHash<int, QRgb>{{15, kFace}, {16, kShadow}, {20, kHighlight}, {21, kDarkShadow}}.value(index);
}

using Pixel = std::tuple<int, int, QRgb>;

// A grid drawn into an image of the given size.
struct GridOnImage {
    explicit GridOnImage(QSize size = {76, 196}) : image(size, QImage::Format_RGB32) { image.fill(7); }
    QImage image;
    ImageSurface surface{&image};
    int selected = -1;
    qint32 current = 0;
    PaletteGrid grid{surface, selected, current};
};

} // namespace

class TestPaletteGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::SystemColors::setSource(desktop); }
    void cleanupTestCase() { platform::SystemColors::setSource({}); }

    void geometryAndHitTest() {
        // Half the width by an eighth of the height, halves rounded to even.
        const std::pair<QSize, QSize> sizes[] = {
            {{76, 196}, {38, 24}}, {{72, 192}, {36, 24}}, {{77, 204}, {38, 26}}, {{75, 180}, {38, 22}}};
        for (const auto& [inner, cell] : sizes)
            QCOMPARE(GridOnImage(inner).grid.cellSize(), cell);
        // Rows are 24.5 units high for the hit test, not the rounded 24.
        GridOnImage g;
        const std::tuple<double, double, int> hits[] = {
            {0, 0, 0}, {75, 195, 15}, {38, 0, 8}, {37.9, 195, 7}, {0, 48.9, 1}, {-1, 10, -1}, {76, 10, -1}};
        for (const auto& [x, y, cell] : hits)
            QCOMPARE(std::tuple(x, y, g.grid.PaletteHitTest(x, y)), std::tuple(x, y, cell));
    }

    void looksAndSelection() {
        GridOnImage g;
        g.grid.DrawPalette();
        g.grid.SelectPaletteCell(15);
        // Pressed: shadow inside at the top-left, highlight at the bottom-right,
        // the swatch outlined in black one pixel further in than when raised, as
        // its neighbour above still is.
        const QList<Pixel> pressed = {{38, 168, kDarkShadow}, {39, 169, kShadow}, {74, 190, kHighlight},
                                      {43, 173, kBlack},      {44, 174, kWhite},  {71, 187, kBlack},
                                      {38, 144, kHighlight},  {42, 148, kBlack}};
        QList<Pixel> found = pressed;
        for (auto& [x, y, colour] : found)
            colour = g.image.pixel(x, y);
        QCOMPARE(found, pressed);

        // Cells outside 0..15 are left alone, and so is the selection.
        const QImage pressed15 = g.image;
        g.grid.DrawCellRaised(-1);
        g.grid.SelectPaletteCell(-1);
        QCOMPARE(std::pair(g.image == pressed15, g.selected), std::pair(true, 15));
        // A repaint presses the selected cell again, which makes its colour current.
        g.current = colour::SysColorCode(15);
        g.image.fill(7);
        g.grid.Repaint();
        QCOMPARE(std::pair(g.current, g.image == pressed15), std::pair(colour::PaletteColor(15), true));
        // Only the left button acts, and not on the cell whose colour is current.
        QVERIFY(!g.grid.MouseDown(Qt::RightButton, {1, 1}) && !g.grid.MouseDown(Qt::LeftButton, {40, 190}));
        QVERIFY(g.grid.MouseDown(Qt::LeftButton, {1, 1}));
        QCOMPARE(g.current, colour::PaletteColor(0));
    }
};

QTEST_MAIN(TestPaletteGrid)
#include "tst_palette_grid.moc"
