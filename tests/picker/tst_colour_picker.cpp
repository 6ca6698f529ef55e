// The picker as the main window's colour swatches open it, driven by mouse and keys.
#include "colour/ColourTables.h"
#include "picker/ColourSwatch.h"
#include "picker/frmSmallColor.h"
#include "platform/Beep.h"
#include "platform/SystemColors.h"
#include "tests/app/AppFixture.h"

#include <QtWidgets>

using colour::ComposeRGB;

class TestColourPicker : public QObject {
    Q_OBJECT
    std::unique_ptr<AppFixture> m_app;
    QPointer<frmSmallColor> m_picker;
    int m_beeps = 0;

    // Window Background (5) is white; Button Face (15) the grey 212, 208, 200 that no table names.
    static QRgb desktop(int i) { return i == 5 ? 0xFFFFFFFF : i == 15 ? 0xFFD4D0C8 : qRgb(i, 40, 80); }
    template <typename T = QWidget> T* ctl(const QString& n) const { return m_picker->findChild<T*>(n); }
    QLineEdit* component(int i) const { return ctl<QLineEdit>(QString("txtRGB_%1").arg(i)); }
    // The eight code boxes, then the red, green and blue boxes.
    QStringList texts() const {
        QStringList all;
        for (int box = 0; box < 8; ++box)
            all << ctl<QLineEdit>(QString("txtColor_%1").arg(box))->text();
        return all << component(0)->text() << component(1)->text() << component(2)->text();
    }
    QColor sample() const { return ctl<QLabel>("lblColorBox")->palette().color(QPalette::Window); }
    ColourSwatch* swatch(int i) const {
        return m_app->window->findChild<ColourSwatch*>(QString("cmdColors_%1").arg(i));
    }
    // Text colour, background, and the two swatches' colours.
    QList<qint32> colours() const {
        const EntryEditor* editor = m_app->window->editor();
        return {editor->SelColor(), editor->BackColor(), swatch(0)->BackColor(), swatch(1)->BackColor()};
    }
    void click(const QString& name) { QTest::mouseClick(ctl(name), Qt::LeftButton); }
    void openPicker(int swatchIndex) {
        QTest::mouseClick(swatch(swatchIndex), Qt::LeftButton);
        m_picker = frmSmallColor::loaded();
        QVERIFY(m_picker && QTest::qWaitForWindowExposed(m_picker));
    }

private slots:
    void init() {
        platform::SystemColors::setSource(desktop);
        platform::Beep::setHook([this]() { ++m_beeps; });
        m_beeps = 0;
        m_app = std::make_unique<AppFixture>();
        m_app->typeText(QStringLiteral("Hello colourful world"));
        m_app->window->editor()->setSelStart(6);
        m_app->window->editor()->setSelLength(3);
        openPicker(0);
    }

    void cleanup() {
        platform::Beep::setHook({});
        platform::SystemColors::setSource({});
        m_app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmSmallColor::loaded());
    }

    void boxesAndSystemList() {
        QCOMPARE(texts(),
                 QStringList({"vbWhite", "QBColor(15)", "RGB(255, 255, 255)", "16777215", "#FFFFFF",
                              "&HFFFFFF&", "vbWindowBackground", "&H80000005&", "255", "255", "255"}));
        QCOMPARE(ctl<QComboBox>("cboSysColors")->currentText(), QString("Window Background"));

        // 256 is one too many: beep, back to 25; "x" is no digit: beep, dropped.
        component(0)->setFocus();
        QTest::keyClicks(component(0), "256x");
        QCOMPARE(std::tuple(m_beeps, component(0)->text(), sample()),
                 std::tuple(2, QString("25"), QColor(25, 255, 255)));
        auto* list = ctl<QComboBox>("cboSysColors");
        list->setFocus();
        QTest::keyClicks(list, "Button Face");
        QCOMPARE(texts().mid(0, 8), QStringList({"N/A", "QBColor(N/A)", "RGB(212, 208, 200)", "13160660",
                                                 "#D4D0C8", "&HC8D0D4&", "vbButtonFace", "&H8000000F&"}));
        QVERIFY(sample() == QColor(212, 208, 200) && !ctl("txtColor_1")->isEnabled());
        // Apply puts the present plain value, not the code.
        click("cmdApply");
        QCOMPARE(m_app->window->editor()->SelColor(), ComposeRGB(212, 208, 200));
    }

    void paletteAppliesFromEitherSwatch() {
        // Cell 12 (red) is the fifth row of the right column, inside a two-pixel border.
        QTest::mouseClick(ctl("picQBColors"), Qt::LeftButton, {}, QPoint(2 + 50, 2 + 4 * 24 + 10));
        QCOMPARE(texts()[0], QString("vbRed"));

        // Text colour: the whole text and the first swatch; the caret goes back.
        const qint32 red = ComposeRGB(255, 0, 0), back = swatch(1)->BackColor();
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
        component(2)->setFocus();
        QTest::keyClicks(component(2), "99");
        click("cmdApply");
        QCOMPARE(colours(), QList<qint32>({red, ComposeRGB(255, 255, 99), red, ComposeRGB(255, 255, 99)}));
    }
};

QTEST_MAIN(TestColourPicker)
#include "tst_colour_picker.moc"
