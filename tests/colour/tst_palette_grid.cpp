#include "colour/ColourTables.h"
#include "colour/ImageSurface.h"
#include "colour/PaletteBox.h"
#include "colour/PaletteColor.h"
#include "colour/PaletteGrid.h"
#include "platform/Screen.h"
#include "platform/SystemColors.h"

#include <QTest>

namespace {

const QRgb kFace = qRgb(200, 200, 200);
const QRgb kShadow = qRgb(120, 120, 120);
const QRgb kHighlight = qRgb(250, 250, 250);
const QRgb kDarkShadow = qRgb(40, 40, 40);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

QRgb desktop(int index) {
    switch (index) {
    case 15:
        return kFace;
    case 16:
        return kShadow;
    case 20:
        return kHighlight;
    case 21:
        return kDarkShadow;
    default:
        return qRgb(1, 2, 3);
    }
}

QImage blankImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(7, 7, 7));
    return image;
}

// The pixels of a cell's swatch interior that are not the swatch colour: the
// digits of its number.
QSet<QRgb> numberColours(const QImage& image, const PaletteGrid& grid, int cell, int offset) {
    const QPoint o = grid.cellOrigin(cell);
    const QSize s = grid.cellSize();
    const QRgb swatch = platform::SystemColors::toQColor(colour::PaletteColor(cell)).rgb();
    QSet<QRgb> found;
    for (int y = o.y() + 5 + offset; y <= o.y() + s.height() - 7 + offset; ++y) {
        for (int x = o.x() + 5 + offset; x <= o.x() + s.width() - 7 + offset; ++x) {
            if (image.pixel(x, y) != swatch)
                found.insert(image.pixel(x, y));
        }
    }
    return found;
}

} // namespace

class TestPaletteGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::SystemColors::setSource(desktop); }
    void cleanupTestCase() { platform::SystemColors::setSource({}); }
    void cellGeometryRoundsHalvesToEven();
    void raisedAndPressedLooks();
    void numbersAreWhiteBelowTenAndBlackFromTen();
    void hitTest();
    void selectionRules();
    void widgetDrawsLikeImage();
};

void TestPaletteGrid::cellGeometryRoundsHalvesToEven() {
    int selected = -1;
    qint32 current = 0;
    const struct {
        QSize inner;
        QSize cell;
    } cases[] = {{{76, 196}, {38, 24}}, {{72, 192}, {36, 24}}, {{77, 204}, {38, 26}}, {{75, 180}, {38, 22}}};
    for (const auto& c : cases) {
        QImage image = blankImage(c.inner);
        ImageSurface surface(&image);
        PaletteGrid grid(surface, selected, current);
        QCOMPARE(grid.cellSize(), c.cell);
    }
}

void TestPaletteGrid::raisedAndPressedLooks() {
    QImage image = blankImage({76, 196});
    ImageSurface surface(&image);
    int selected = -1;
    qint32 current = 0;
    PaletteGrid grid(surface, selected, current);
    grid.DrawPalette();
    QCOMPARE(grid.cellOrigin(15), QPoint(38, 168));
    // Raised: highlight top-left, dark shadow outside and shadow inside at the
    // bottom-right, swatch outlined in black from (x + 4, y + 4).
    QCOMPARE(image.pixel(38, 168), kHighlight);
    QCOMPARE(image.pixel(75, 191), kDarkShadow);
    QCOMPARE(image.pixel(74, 190), kShadow);
    QCOMPARE(image.pixel(41, 171), kFace);
    QCOMPARE(image.pixel(42, 172), kBlack);
    QCOMPARE(image.pixel(70, 186), kBlack);
    QCOMPARE(image.pixel(71, 187), kFace);
    QCOMPARE(image.pixel(43, 175), kWhite);

    grid.SelectPaletteCell(15);
    // Pressed: shadow inside at the top-left, highlight at the bottom-right,
    // the swatch one pixel further in: (43, 173) to (71, 187).
    QCOMPARE(image.pixel(38, 168), kDarkShadow);
    QCOMPARE(image.pixel(39, 169), kShadow);
    QCOMPARE(image.pixel(74, 190), kHighlight);
    QCOMPARE(image.pixel(75, 191), kDarkShadow);
    QCOMPARE(image.pixel(42, 172), kFace);
    QCOMPARE(image.pixel(43, 173), kBlack);
    QCOMPARE(image.pixel(71, 187), kBlack);
    QCOMPARE(image.pixel(72, 188), kFace);
    QCOMPARE(image.pixel(44, 174), kWhite);
    QCOMPARE(image.pixel(70, 186), kWhite);
    // Its neighbour above stays raised.
    QCOMPARE(image.pixel(38, 144), kHighlight);
    QCOMPARE(image.pixel(42, 148), kBlack);
}

void TestPaletteGrid::numbersAreWhiteBelowTenAndBlackFromTen() {
    QImage image = blankImage({76, 196});
    ImageSurface surface(&image);
    int selected = -1;
    qint32 current = 0;
    PaletteGrid grid(surface, selected, current);
    grid.DrawPalette();
    for (int cell = 0; cell < 16; ++cell) {
        const QSet<QRgb> expected{cell < 10 ? kWhite : kBlack};
        QCOMPARE(numberColours(image, grid, cell, 0), expected);
    }
    for (int cell = 0; cell < 16; ++cell) {
        grid.SelectPaletteCell(cell);
        const QSet<QRgb> expected{cell < 10 ? kWhite : kBlack};
        QCOMPARE(numberColours(image, grid, cell, 1), expected);
    }
}

void TestPaletteGrid::hitTest() {
    QImage image = blankImage({76, 196});
    ImageSurface surface(&image);
    int selected = -1;
    qint32 current = 0;
    PaletteGrid grid(surface, selected, current);
    QCOMPARE(grid.PaletteHitTest(0, 0), 0);
    QCOMPARE(grid.PaletteHitTest(75, 195), 15);
    QCOMPARE(grid.PaletteHitTest(38, 0), 8);
    QCOMPARE(grid.PaletteHitTest(37.9, 195), 7);
    // Rows are 24.5 units high for the hit test, not the rounded 24.
    QCOMPARE(grid.PaletteHitTest(0, 48.9), 1);
    QCOMPARE(grid.PaletteHitTest(-1, 10), -1);
    QCOMPARE(grid.PaletteHitTest(76, 10), -1);
}

void TestPaletteGrid::selectionRules() {
    QImage image = blankImage({76, 196});
    ImageSurface surface(&image);
    int selected = -1;
    qint32 current = 0;
    PaletteGrid grid(surface, selected, current);
    grid.DrawPalette();
    grid.SelectPaletteCell(12);
    QCOMPARE(selected, 12);
    QCOMPARE(current, colour::PaletteColor(12));

    const QImage before = image;
    grid.DrawCellRaised(-1);
    grid.SelectPaletteCell(-1);
    QCOMPARE(image, before);
    QCOMPARE(selected, 12);

    // A repaint presses the selected cell again, which makes its colour current.
    current = colour::SysColorCode(15);
    image = blankImage(image.size());
    grid.Repaint();
    QCOMPARE(selected, 12);
    QCOMPARE(current, colour::PaletteColor(12));
    QCOMPARE(image, before);

    // Only the left button acts, and not on the cell whose colour is current.
    QVERIFY(!grid.MouseDown(Qt::RightButton, {1, 1}));
    QVERIFY(!grid.MouseDown(Qt::LeftButton, {40, 100}));
    QVERIFY(grid.MouseDown(Qt::LeftButton, {1, 1}));
    QCOMPARE(current, colour::PaletteColor(0));

    grid.DrawPalette();
    QCOMPARE(selected, -1);
}

void TestPaletteGrid::widgetDrawsLikeImage() {
    platform::Screen::setOverride({1280, 800}, 96);
    PaletteBox box;
    box.setGeometry(platform::Screen::rectFromTwips(90, 225, 1140, 2940));
    QCOMPARE(box.size(), QSize(76, 196));
    QCOMPARE(box.innerSize(), QSize(72, 192));
    int boxSelected = -1;
    qint32 boxCurrent = 0;
    PaletteGrid onWidget(box, boxSelected, boxCurrent);
    onWidget.DrawPalette();
    onWidget.SelectPaletteCell(9);

    QImage image = blankImage({72, 192});
    ImageSurface surface(&image);
    int selected = -1;
    qint32 current = 0;
    PaletteGrid onImage(surface, selected, current);
    onImage.DrawPalette();
    onImage.SelectPaletteCell(9);
    QCOMPARE(box.image().convertToFormat(QImage::Format_RGB32), image);
    platform::Screen::setOverride({});
}

QTEST_MAIN(TestPaletteGrid)
#include "tst_palette_grid.moc"
