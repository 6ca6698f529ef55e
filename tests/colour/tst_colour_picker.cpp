#include "app/editor/EntryEditor.h"
#include "colour/ColourSwatch.h"
#include "colour/ColourTables.h"
#include "colour/PaletteBox.h"
#include "colour/frmSmallColor.h"
#include "platform/Beep.h"
#include "platform/Screen.h"
#include "platform/ScreenPixel.h"
#include "platform/SystemColors.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using colour::ComposeRGB;

namespace {
// Window Background (5) is white; Button Face (15) is set per test.
QRgb g_buttonFace;
QRgb desktop(int index) {
    return index == 5 ? qRgb(255, 255, 255) : index == 15 ? g_buttonFace : qRgb(index, 40, 80);
}
} // namespace

class TestColourPicker : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void loadsFreshOnWhite();
    void systemColourFromTheList();
    void componentBoxes();
    void brightnessBar();
    void paletteClicks();
    void captureWithFailedAndGoodReads();
    void applyAsTextColourAndAsBackground();
    void copyImagesPutTheirBoxText();
    void swatchPaintsResolvedColour();

private:
    template <typename T> T* ctl(const QString& name) const { return m_picker->findChild<T*>(name); }
    QLineEdit* code(int box) const { return ctl<QLineEdit>(QStringLiteral("txtColor_%1").arg(box)); }
    QLineEdit* component(int i) const { return ctl<QLineEdit>(QStringLiteral("txtRGB_%1").arg(i)); }
    QStringList components() const {
        return {component(0)->text(), component(1)->text(), component(2)->text()};
    }
    QScrollBar* bar(const QString& name) const { return ctl<QScrollBar>(name); }
    QColor sample() const { return ctl<QLabel>("lblColorBox")->palette().color(QPalette::Window); }
    QRgb gridPixel(int x, int y) const { return ctl<PaletteBox>("picQBColors")->image().pixel(x, y); }
    void click(const QString& name) { QTest::mouseClick(ctl<QWidget>(name), Qt::LeftButton); }
    void typeInto(int i, const QString& text);
    void openPicker(qint16 passDex);

    QWidget* m_owner = nullptr;
    EntryEditor* m_txtMain = nullptr;
    QVector<ColourSwatch*> m_swatches;
    QPointer<frmSmallColor> m_picker;
    int m_beeps = 0;
};

void TestColourPicker::initTestCase() {
    platform::Screen::setOverride({1280, 800}, 96);
    platform::SystemColors::setSource(desktop);
    platform::Beep::setHook([this]() { ++m_beeps; });
}

void TestColourPicker::init() {
    g_buttonFace = qRgb(212, 208, 200);
    m_beeps = 0;
    m_owner = new QWidget;
    m_txtMain = new EntryEditor(m_owner);
    m_swatches = {new ColourSwatch(0, m_owner), new ColourSwatch(ComposeRGB(255, 255, 255), m_owner)};
    m_swatches[1]->resize(m_swatches[1]->sizeHint());
    m_txtMain->setText(QStringLiteral("Hello colourful world"));
    m_txtMain->setSelStart(6);
    m_txtMain->setSelLength(3);
    m_owner->show();
    openPicker(0);
}

void TestColourPicker::cleanup() {
    platform::ScreenPixel::setReader({});
    delete m_owner;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!frmSmallColor::loaded());
}

void TestColourPicker::openPicker(qint16 passDex) {
    m_picker = frmSmallColor::open(m_owner, m_txtMain, m_swatches);
    m_picker->PassDex = passDex;
    QVERIFY(QTest::qWaitForWindowExposed(m_picker));
}

void TestColourPicker::typeInto(int i, const QString& text) {
    component(i)->setFocus();
    QCOMPARE(component(i)->selectedText(), component(i)->text()); // focus selects the whole box
    QTest::keyClicks(component(i), text);
}

void TestColourPicker::loadsFreshOnWhite() {
    QCOMPARE(m_picker->windowTitle(), QString("Select Color"));
    QCOMPARE(m_picker->size(), QSize(248, 206));
    QCOMPARE(m_picker->minimumSize(), m_picker->maximumSize());
    QVERIFY(!m_picker->isModal());
    QCOMPARE(ctl<QWidget>("chkCapture")->geometry(), QRect(104, 128, 135, 33));
    QCOMPARE(ctl<QWidget>("picQBColors")->geometry(), QRect(6, 15, 76, 196));
    // The code panels lie beyond the window's right and bottom edges.
    QVERIFY(ctl<QWidget>("Frame1")->x() >= m_picker->width());
    QVERIFY(ctl<QWidget>("fraQBColors")->y() >= m_picker->height());
    QCOMPARE(ctl<QLabel>("imgCopies_1")->pixmap().size(), QSize(28, 35));

    QCOMPARE(sample(), QColor(255, 255, 255));
    QStringList codes;
    for (int box = 0; box < 8; ++box)
        codes << code(box)->text();
    QCOMPARE(codes, QStringList({"vbWhite", "QBColor(15)", "RGB(255, 255, 255)", "16777215", "#FFFFFF",
                                 "&HFFFFFF&", "vbWindowBackground", "&H80000005&"}));
    QCOMPARE(ctl<QComboBox>("cboSysColors")->count(), 25);
    QCOMPARE(ctl<QComboBox>("cboSysColors")->currentText(), QString("Window Background"));
    for (const QString name : {"hsbRGB_0", "hsbRGB_1", "hsbRGB_2", "hsbShade"})
        QCOMPARE(bar(name)->value(), 255);
    QCOMPARE(components(), QStringList({"255", "255", "255"}));
    // Cell 15 (36 x 24 cells in a 72 x 192 area) is pressed: its swatch
    // outline starts at (41, 173), not at the raised (40, 172).
    QCOMPARE(gridPixel(41, 173), qRgb(0, 0, 0));
    QCOMPARE(gridPixel(40, 172), desktop(15));
    QCOMPARE(gridPixel(4, 4), qRgb(0, 0, 0)); // cell 0 stays raised

    click("chkHex");
    QCOMPARE(components(), QStringList({"FF", "FF", "FF"}));
    QCOMPARE(component(0)->maxLength(), 2);
    QCOMPARE(sample(), QColor(255, 255, 255));
}

void TestColourPicker::systemColourFromTheList() {
    auto* list = ctl<QComboBox>("cboSysColors");
    list->setFocus();
    QTest::keyClicks(list, "Button Face");
    QCOMPARE(list->currentIndex(), 15);
    QCOMPARE(code(6)->text(), QString("vbButtonFace"));
    QCOMPARE(code(7)->text(), QString("&H8000000F&"));
    QCOMPARE(sample(), QColor(212, 208, 200));
    QCOMPARE(code(1)->text(), QString("QBColor(N/A)"));
    QVERIFY(!code(1)->isEnabled());
    QCOMPARE(gridPixel(40, 172), qRgb(0, 0, 0)); // no cell pressed any more
    // Apply puts the present plain value, not the code.
    click("cmdApply");
    QCOMPARE(m_txtMain->SelColor(), ComposeRGB(212, 208, 200));

    // A button face that is a palette colour presses that cell.
    g_buttonFace = qRgb(192, 192, 192);
    openPicker(0);
    ctl<QComboBox>("cboSysColors")->setCurrentIndex(15);
    QCOMPARE(code(6)->text(), QString("vbButtonFace"));
    QCOMPARE(code(1)->text(), QString("QBColor(7)"));
    QCOMPARE(gridPixel(5, 173), qRgb(0, 0, 0));
    QCOMPARE(gridPixel(4, 172), qRgb(192, 192, 192));
}

void TestColourPicker::componentBoxes() {
    typeInto(0, "30");
    QCOMPARE(sample(), QColor(30, 255, 255));
    QTest::keyClicks(component(0), "0"); // 300 is too much: beep, back to 30
    QTest::keyClicks(component(0), "x"); // no digit: beep, dropped
    QCOMPARE(m_beeps, 2);
    QCOMPARE(component(0)->text(), QString("30"));
    QCOMPARE(sample(), QColor(30, 255, 255));

    // A leading zero is rewritten in normal form once the bar moves.
    typeInto(1, "05");
    QCOMPARE(component(1)->text(), QString("5"));
    // A pasted text with foreign characters beeps; its digits count.
    component(2)->selectAll();
    QGuiApplication::clipboard()->setText("1a2");
    component(2)->paste();
    QCOMPARE(m_beeps, 3);
    QCOMPARE(code(2)->text(), QString("RGB(30, 5, 12)"));

    click("chkHex");
    QCOMPARE(components(), QStringList({"1E", "5", "C"}));
    typeInto(0, "abc");
    typeInto(1, "g");
    QCOMPARE(m_beeps, 4);
    QCOMPARE(components(), QStringList({"AB", "5", "C"}));
    QCOMPARE(code(2)->text(), QString("RGB(171, 5, 12)"));
}

void TestColourPicker::brightnessBar() {
    typeInto(0, "250");
    typeInto(1, "100");
    typeInto(2, "0");
    QCOMPARE(bar("hsbShade")->value(), 117);
    bar("hsbShade")->setValue(127); // one drag of the thumb
    QCOMPARE(code(2)->text(), QString("RGB(255, 110, 10)"));
    QCOMPARE(bar("hsbShade")->value(), 125);
    // The bar moved back by itself, so the next move starts from 125.
    bar("hsbShade")->setValue(115);
    QCOMPARE(code(2)->text(), QString("RGB(245, 100, 0)"));
}

void TestColourPicker::paletteClicks() {
    // Cell 12 (red) is the fifth row of the right column, inside a two-pixel border.
    const QPoint cell12(2 + 50, 2 + 4 * 24 + 10);
    QTest::mouseClick(ctl<QWidget>("picQBColors"), Qt::RightButton, {}, cell12);
    QCOMPARE(code(0)->text(), QString("vbWhite"));
    QTest::mouseClick(ctl<QWidget>("picQBColors"), Qt::LeftButton, {}, cell12);
    QCOMPARE(code(0)->text(), QString("vbRed"));
    QCOMPARE(sample(), QColor(255, 0, 0));
    QCOMPARE(gridPixel(41, 101), qRgb(0, 0, 0)); // cell 12 pressed
    QCOMPARE(gridPixel(40, 172), qRgb(0, 0, 0)); // cell 15 raised again
    QCOMPARE(gridPixel(41, 173), qRgb(255, 255, 255));
}

void TestColourPicker::captureWithFailedAndGoodReads() {
    int reads = 0;
    qint32 answer = -1;
    platform::ScreenPixel::setReader([&](const QPoint&) { return ++reads, answer; });
    click("chkCapture");
    auto* capture = ctl<QPushButton>("chkCapture");
    QVERIFY(capture->isChecked());
    QCOMPARE(m_picker->cursor().bitmap().size(), QSize(32, 32));
    QCOMPARE(QWidget::mouseGrabber(), m_picker.data());

    QTest::mousePress(m_picker, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(reads, 1);
    QCOMPARE(sample(), QColor(255, 255, 255));
    QVERIFY(!capture->isChecked());
    QCOMPARE(m_picker->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!QWidget::mouseGrabber());
    QTest::mousePress(m_picker, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(reads, 1);

    answer = ComposeRGB(12, 34, 56);
    click("chkCapture");
    QTest::mousePress(m_picker, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(code(2)->text(), QString("RGB(12, 34, 56)"));
    QVERIFY(!capture->isChecked());
}

void TestColourPicker::applyAsTextColourAndAsBackground() {
    typeInto(0, "12");
    click("cmdApply");
    QCOMPARE(m_txtMain->SelColor(), ComposeRGB(12, 255, 255));
    QCOMPARE(m_txtMain->BackColor(), colour::SysColorCode(5)); // untouched
    QCOMPARE(m_txtMain->SelStart(), 6);
    QCOMPARE(m_txtMain->SelLength(), 0);
    QCOMPARE(m_swatches[0]->BackColor(), ComposeRGB(12, 255, 255));
    QCOMPARE(m_swatches[1]->BackColor(), ComposeRGB(255, 255, 255));
    QVERIFY(!frmSmallColor::loaded());
    QTRY_VERIFY(!m_picker);

    openPicker(1);
    QCOMPARE(code(2)->text(), QString("RGB(255, 255, 255)")); // a fresh picker
    typeInto(2, "99");
    click("cmdApply");
    QCOMPARE(m_txtMain->BackColor(), ComposeRGB(255, 255, 99));
    QCOMPARE(m_txtMain->SelColor(), ComposeRGB(12, 255, 255));
    QCOMPARE(m_swatches[1]->BackColor(), ComposeRGB(255, 255, 99));
    QCOMPARE(m_swatches[0]->BackColor(), ComposeRGB(12, 255, 255));
}

void TestColourPicker::copyImagesPutTheirBoxText() {
    // Any press selects the whole code, so the menu's Copy takes all of it.
    QTest::mousePress(code(2), Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(code(2)->selectedText(), QString("RGB(255, 255, 255)"));
    QTest::mouseClick(code(4), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(code(4)->selectedText(), QString("#FFFFFF"));

    click("imgCopies_5");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("&HFFFFFF&"));
    QVERIFY(!frmSmallColor::loaded());
    openPicker(0);
    typeInto(0, "1");
    QCOMPARE(code(1)->text(), QString("QBColor(N/A)"));
    click("imgCopies_1");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("QBColor(N/A)"));
    QVERIFY(!frmSmallColor::loaded());
}

void TestColourPicker::swatchPaintsResolvedColour() {
    ColourSwatch* swatch = m_swatches[1];
    QCOMPARE(swatch->size(), QSize(25, 21));
    const auto middle = [swatch]() { return swatch->grab().toImage().pixel(12, 10); };
    swatch->setBackColor(colour::SysColorCode(15));
    QCOMPARE(middle(), qRgb(212, 208, 200));
    g_buttonFace = qRgb(9, 8, 7); // the desktop's colours change
    QCOMPARE(middle(), qRgb(9, 8, 7));
    swatch->setBackColor(ComposeRGB(1, 2, 3));
    QCOMPARE(middle(), qRgb(1, 2, 3));
}

QTEST_MAIN(TestColourPicker)
#include "tst_colour_picker.moc"
