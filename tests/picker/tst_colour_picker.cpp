// The picker as the main window's colour swatches open it, driven by mouse and keys.
#include "colour/ColourTables.h"
#include "picker/ColourSwatch.h"
#include "picker/PaletteBox.h"
#include "picker/frmSmallColor.h"
#include "platform/Beep.h"
#include "platform/ScreenPixel.h"
#include "platform/SystemColors.h"
#include "tests/app/AppFixture.h"

#include <QtWidgets>

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
    std::unique_ptr<AppFixture> m_app;
    QPointer<frmSmallColor> m_picker;
    int m_beeps = 0;

    template <typename T = QWidget> T* ctl(const QString& name) const {
        return m_picker->findChild<T*>(name);
    }
    QLineEdit* component(int i) const { return ctl<QLineEdit>(QString("txtRGB_%1").arg(i)); }
    // The eight code boxes, then the red, green and blue boxes.
    QStringList texts() const {
        QStringList all;
        for (int box = 0; box < 8; ++box)
            all << ctl<QLineEdit>(QString("txtColor_%1").arg(box))->text();
        return all << component(0)->text() << component(1)->text() << component(2)->text();
    }
    QColor sample() const { return ctl<QLabel>("lblColorBox")->palette().color(QPalette::Window); }
    QRgb gridPixel(int x, int y) const { return ctl<PaletteBox>("picQBColors")->image().pixel(x, y); }
    ColourSwatch* swatch(int i) const {
        return m_app->window->findChild<ColourSwatch*>(QString("cmdColors_%1").arg(i));
    }
    // Text colour, background, and the two swatches' colours.
    QList<qint32> colours() const {
        const EntryEditor* editor = m_app->window->editor();
        return {editor->SelColor(), editor->BackColor(), swatch(0)->BackColor(), swatch(1)->BackColor()};
    }
    void click(const QString& name) { QTest::mouseClick(ctl(name), Qt::LeftButton); }
    void typeInto(int i, const QString& text) {
        component(i)->setFocus();
        QTest::keyClicks(component(i), text);
    }
    void openPicker(int swatchIndex) {
        QTest::mouseClick(swatch(swatchIndex), Qt::LeftButton);
        m_picker = frmSmallColor::loaded();
        QVERIFY(m_picker && QTest::qWaitForWindowExposed(m_picker));
    }

private slots:
    void init() {
        platform::SystemColors::setSource(desktop);
        platform::Beep::setHook([this]() { ++m_beeps; });
        g_buttonFace = qRgb(212, 208, 200);
        m_beeps = 0;
        m_app = std::make_unique<AppFixture>();
        m_app->typeText(QStringLiteral("Hello colourful world"));
        m_app->window->editor()->setSelStart(6);
        m_app->window->editor()->setSelLength(3);
        openPicker(0);
    }

    void cleanup() {
        platform::ScreenPixel::setReader({});
        platform::Beep::setHook({});
        platform::SystemColors::setSource({});
        m_app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmSmallColor::loaded());
    }

    void loadsFreshOnWhite() {
        QCOMPARE(texts(),
                 QStringList({"vbWhite", "QBColor(15)", "RGB(255, 255, 255)", "16777215", "#FFFFFF",
                              "&HFFFFFF&", "vbWindowBackground", "&H80000005&", "255", "255", "255"}));
        QCOMPARE(ctl<QComboBox>("cboSysColors")->currentText(), QString("Window Background"));
        // Cell 15 (36 x 24 cells in a 72 x 192 area) is pressed: its swatch
        // outline starts at (41, 173), not at the raised (40, 172).
        QCOMPARE(std::pair(gridPixel(41, 173), gridPixel(40, 172)), std::pair(qRgb(0, 0, 0), desktop(15)));

        // Hex mode shows and takes two digits a box, upper-cased.
        click("chkHex");
        typeInto(1, "abc");
        QCOMPARE(texts().mid(8), QStringList({"FF", "AB", "FF"}));
    }

    void boxesBarsAndSystemList() {
        typeInto(0, "25");
        QTest::keyClicks(component(0), "6"); // 256 is one too many: beep, back to 25
        QTest::keyClicks(component(0), "x"); // no digit: beep, dropped
        QCOMPARE(m_beeps, 2);
        QCOMPARE(component(0)->text(), QString("25"));
        QCOMPARE(sample(), QColor(25, 255, 255));
        typeInto(1, "100");
        typeInto(2, "0");
        typeInto(0, "255"); // the most a box takes
        auto* shade = ctl<QScrollBar>("hsbShade");
        QCOMPARE(shade->value(), 118);
        shade->setValue(128); // one drag of the thumb
        QCOMPARE(texts()[2], QString("RGB(255, 110, 10)"));
        QCOMPARE(shade->value(), 125);
        // The bar moved back by itself, so the next move starts from 125.
        shade->setValue(115);
        QCOMPARE(texts()[2], QString("RGB(245, 100, 0)"));

        auto* list = ctl<QComboBox>("cboSysColors");
        list->setFocus();
        QTest::keyClicks(list, "Button Face");
        QCOMPARE(texts().mid(0, 8), QStringList({"N/A", "QBColor(N/A)", "RGB(212, 208, 200)", "13160660",
                                                 "#D4D0C8", "&HC8D0D4&", "vbButtonFace", "&H8000000F&"}));
        QCOMPARE(sample(), QColor(212, 208, 200));
        QVERIFY(!ctl("txtColor_1")->isEnabled());
        QCOMPARE(gridPixel(40, 172), qRgb(0, 0, 0)); // no cell pressed any more
        // Apply puts the present plain value, not the code.
        click("cmdApply");
        QCOMPARE(m_app->window->editor()->SelColor(), ComposeRGB(212, 208, 200));

        // A swatch paints a system colour as the desktop gives it now.
        swatch(1)->setBackColor(colour::SysColorCode(15));
        g_buttonFace = qRgb(9, 8, 7);
        QCOMPARE(swatch(1)->grab().toImage().pixel(12, 10), g_buttonFace);
    }

    void paletteApplyFromEitherSwatchAndCopy() {
        // Cell 12 (red) is the fifth row of the right column, inside a two-pixel border.
        QTest::mouseClick(ctl("picQBColors"), Qt::LeftButton, {}, QPoint(2 + 50, 2 + 4 * 24 + 10));
        QCOMPARE(texts()[0], QString("vbRed"));
        // Cell 12 pressed, cell 15 raised again.
        QCOMPARE(std::pair(gridPixel(41, 101), gridPixel(40, 172)), std::pair(qRgb(0, 0, 0), qRgb(0, 0, 0)));

        // Text colour: the whole text and the first swatch; the caret goes back.
        const qint32 red = ComposeRGB(255, 0, 0);
        const qint32 back = swatch(1)->BackColor();
        click("cmdApply");
        QVERIFY(!frmSmallColor::loaded());
        QCOMPARE(colours(), QList<qint32>({red, back, red, back}));
        const EntryEditor* editor = m_app->window->editor();
        QCOMPARE(std::pair(editor->SelStart(), editor->SelLength()), std::pair(6, 0));

        // A fresh picker; a click on the other swatch while it is open only
        // brings it forward and tells it which swatch it now serves.
        openPicker(0);
        const frmSmallColor* const second = m_picker.data(); // compared only, never used
        openPicker(1);
        QCOMPARE(m_picker.data(), second);
        typeInto(2, "99");
        click("cmdApply");
        QCOMPARE(colours(), QList<qint32>({red, ComposeRGB(255, 255, 99), red, ComposeRGB(255, 255, 99)}));

        // A copy image puts exactly its box's text on the clipboard and closes the picker.
        openPicker(0);
        typeInto(0, "1");
        click("imgCopies_1");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("QBColor(N/A)"));
        QVERIFY(!frmSmallColor::loaded());
    }

    void captureWithFailedAndGoodReads() {
        auto* capture = ctl<QPushButton>("chkCapture");
        int reads = 0;
        // A failed read (-1) keeps the colour; either way the press ends the capture.
        for (const auto& [answer, shown] :
             {std::pair(-1, QColor(Qt::white)), std::pair(ComposeRGB(12, 34, 56), QColor(12, 34, 56))}) {
            platform::ScreenPixel::setReader(
                [&reads, value = answer](const QPoint&) { return ++reads, value; });
            click("chkCapture");
            QVERIFY(capture->isChecked() && QWidget::mouseGrabber() == m_picker);
            QCOMPARE(m_picker->cursor().shape(), Qt::BitmapCursor);
            QTest::mousePress(m_picker, Qt::LeftButton, {}, QPoint(10, 10));
            QCOMPARE(sample(), shown);
            QVERIFY(!capture->isChecked() && !QWidget::mouseGrabber() &&
                    m_picker->cursor().shape() == Qt::ArrowCursor);
        }
        QTest::mousePress(m_picker, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(reads, 2);
    }
};

QTEST_MAIN(TestColourPicker)
#include "tst_colour_picker.moc"
