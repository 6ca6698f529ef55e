#include "app/editor/EntryEditor.h"
#include "colour/ColourSwatch.h"
#include "colour/ColourTables.h"
#include "colour/PaletteBox.h"
#include "colour/frmSmallColor.h"
#include "tests/app/AppFixture.h"

#include <QPushButton>
#include <QTest>

using colour::ComposeRGB;

// The colour swatches of the main window open the picker, and its Apply
// comes back into the editor and the swatch that opened it.
class TestColourMainWindow : public QObject {
    Q_OBJECT
private slots:
    void swatchesOpenPickerAndTakeAppliedColour();
};

namespace {

ColourSwatch* swatch(const AppFixture& app, int index) {
    return app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_%1").arg(index));
}

frmSmallColor* clickSwatch(const AppFixture& app, int index) {
    QTest::mouseClick(swatch(app, index), Qt::LeftButton);
    return frmSmallColor::loaded();
}

// Presses a palette cell of the picker: cells are 36 x 24 inside a two-pixel border.
void pickCell(frmSmallColor* picker, int cell) {
    auto* grid = picker->findChild<PaletteBox*>(QStringLiteral("picQBColors"));
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(2 + cell / 8 * 36 + 18, 2 + cell % 8 * 24 + 12));
}

} // namespace

void TestColourMainWindow::swatchesOpenPickerAndTakeAppliedColour() {
    AppFixture app;
    EntryEditor* txtMain = app.window->editor();
    app.typeText(QStringLiteral("Some private text"));
    txtMain->setSelStart(4);

    frmSmallColor* picker = clickSwatch(app, 0);
    QVERIFY(picker);
    QVERIFY(picker->isVisible());
    QCOMPARE(picker->parentWidget(), app.window.get());
    QCOMPARE(picker->PassDex, qint16(0));
    pickCell(picker, 12);
    QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("cmdApply")), Qt::LeftButton);
    QVERIFY(!frmSmallColor::loaded());
    QCOMPARE(txtMain->SelColor(), ComposeRGB(255, 0, 0));
    QCOMPARE(txtMain->SelStart(), 4);
    QCOMPARE(txtMain->SelLength(), 0);
    QCOMPARE(swatch(app, 0)->BackColor(), ComposeRGB(255, 0, 0));

    // A second click while the picker is open only brings it forward and
    // tells it which swatch it now serves.
    picker = clickSwatch(app, 1);
    QCOMPARE(picker->PassDex, qint16(1));
    QCOMPARE(clickSwatch(app, 0), picker);
    QCOMPARE(picker->PassDex, qint16(0));
    QCOMPARE(clickSwatch(app, 1), picker);
    pickCell(picker, 9);
    QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("cmdApply")), Qt::LeftButton);
    QCOMPARE(txtMain->BackColor(), ComposeRGB(0, 0, 255));
    QCOMPARE(txtMain->SelColor(), ComposeRGB(255, 0, 0));
    QCOMPARE(swatch(app, 1)->BackColor(), ComposeRGB(0, 0, 255));
}

QTEST_MAIN(TestColourMainWindow)
#include "tst_colour_mainwindow.moc"
