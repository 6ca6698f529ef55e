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
    return index == 15   ? kFace
           : index == 16 ? kShadow
           : index == 20 ? kHighlight
           : index == 21 ? kDarkShadow
                         : 0;
}

QList<QRgb> pixels(const QImage& image, std::initializer_list<QPoint> points) {
    QList<QRgb> found;
    for (const QPoint p : points)
        found << image.pixel(p);
    return found;
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

// A grid drawn into an image of the given size.
struct GridOnImage {
    explicit GridOnImage(QSize size) : image(blankImage(size)) {}
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
    void cellGeometryRoundsHalvesToEven();
    void raisedAndPressedLooks();
    void numbersAreWhiteBelowTenAndBlackFromTen();
    void hitTest();
    void selectionRules();
    void widgetDrawsLikeImage();
};

void TestPaletteGrid::cellGeometryRoundsHalvesToEven() {
    const struct {
        QSize inner;
        QSize cell;
    } cases[] = {{{76, 196}, {38, 24}}, {{72, 192}, {36, 24}}, {{77, 204}, {38, 26}}, {{75, 180}, {38, 22}}};
    for (const auto& c : cases) {
        GridOnImage g(c.inner);
        QCOMPARE(g.grid.cellSize(), c.cell);
    }
}

void TestPaletteGrid::raisedAndPressedLooks() {
    GridOnImage g({76, 196});
    g.grid.DrawPalette();
    QCOMPARE(g.grid.cellOrigin(15), QPoint(38, 168));
    // Raised: highlight top-left, dark shadow outside and shadow inside at the
    // bottom-right, swatch outlined in black from (x + 4, y + 4).
    QCOMPARE(pixels(g.image,
                    {{38, 168}, {75, 191}, {74, 190}, {41, 171}, {42, 172}, {70, 186}, {71, 187}, {43, 175}}),
             QList<QRgb>({kHighlight, kDarkShadow, kShadow, kFace, kBlack, kBlack, kFace, kWhite}));

    g.grid.SelectPaletteCell(15);
    // Pressed: shadow inside at the top-left, highlight at the bottom-right,
    // the swatch one pixel further in: (43, 173) to (71, 187).
    const std::initializer_list<QPoint> pressedPoints = {{38, 168}, {39, 169}, {74, 190}, {75, 191},
                                                         {42, 172}, {43, 173}, {71, 187}, {72, 188},
                                                         {44, 174}, {70, 186}};
    QCOMPARE(pixels(g.image, pressedPoints), QList<QRgb>({kDarkShadow, kShadow, kHighlight, kDarkShadow,
                                                          kFace, kBlack, kBlack, kFace, kWhite, kWhite}));
    // Its neighbour above stays raised.
    QCOMPARE(pixels(g.image, {{38, 144}, {42, 148}}), QList<QRgb>({kHighlight, kBlack}));
}

void TestPaletteGrid::numbersAreWhiteBelowTenAndBlackFromTen() {
    GridOnImage g({76, 196});
    g.grid.DrawPalette();
    for (int cell = 0; cell < 16; ++cell) {
        const QSet<QRgb> expected{cell < 10 ? kWhite : kBlack};
        QCOMPARE(numberColours(g.image, g.grid, cell, 0), expected);
    }
    for (int cell = 0; cell < 16; ++cell) {
        g.grid.SelectPaletteCell(cell);
        const QSet<QRgb> expected{cell < 10 ? kWhite : kBlack};
        QCOMPARE(numberColours(g.image, g.grid, cell, 1), expected);
    }
}

void TestPaletteGrid::hitTest() {
    GridOnImage g({76, 196});
    QCOMPARE(g.grid.PaletteHitTest(0, 0), 0);
    QCOMPARE(g.grid.PaletteHitTest(75, 195), 15);
    QCOMPARE(g.grid.PaletteHitTest(38, 0), 8);
    QCOMPARE(g.grid.PaletteHitTest(37.9, 195), 7);
    // Rows are 24.5 units high for the hit test, not the rounded 24.
    QCOMPARE(g.grid.PaletteHitTest(0, 48.9), 1);
    QCOMPARE(g.grid.PaletteHitTest(-1, 10), -1);
    QCOMPARE(g.grid.PaletteHitTest(76, 10), -1);
}

void TestPaletteGrid::selectionRules() {
    GridOnImage g({76, 196});
    g.grid.DrawPalette();
    g.grid.SelectPaletteCell(12);
    QCOMPARE(g.selected, 12);
    QCOMPARE(g.current, colour::PaletteColor(12));

    const QImage before = g.image;
    g.grid.DrawCellRaised(-1);
    g.grid.SelectPaletteCell(-1);
    QCOMPARE(g.image, before);
    QCOMPARE(g.selected, 12);

    // A repaint presses the g.selected cell again, which makes its colour g.current.
    g.current = colour::SysColorCode(15);
    g.image = blankImage(g.image.size());
    g.grid.Repaint();
    QCOMPARE(g.selected, 12);
    QCOMPARE(g.current, colour::PaletteColor(12));
    QCOMPARE(g.image, before);

    // Only the left button acts, and not on the cell whose colour is g.current.
    QVERIFY(!g.grid.MouseDown(Qt::RightButton, {1, 1}));
    QVERIFY(!g.grid.MouseDown(Qt::LeftButton, {40, 100}));
    QVERIFY(g.grid.MouseDown(Qt::LeftButton, {1, 1}));
    QCOMPARE(g.current, colour::PaletteColor(0));

    g.grid.DrawPalette();
    QCOMPARE(g.selected, -1);
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

    GridOnImage onImage({72, 192});
    onImage.grid.DrawPalette();
    onImage.grid.SelectPaletteCell(9);
    QCOMPARE(box.image().convertToFormat(QImage::Format_RGB32), onImage.image);
    platform::Screen::setOverride({});
}

QTEST_MAIN(TestPaletteGrid)
#include "tst_palette_grid.moc"
