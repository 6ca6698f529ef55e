// The format controls driven through the real widgets: font list, size box,
// style buttons, Next Font, Hide Text and the colour swatches.
#include "tests/app/AppFixture.h"

#include "editor/EntryEditor.h"
#include "picker/ColourSwatch.h"
#include "platform/FontList.h"
#include "platform/Screen.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QTest>

namespace {
QComboBox* sizeBox(const AppFixture& app) {
    return app.window->findChild<QComboBox*>(QStringLiteral("cboFSize"));
}
QListWidget* fontList(const AppFixture& app) {
    return app.window->findChild<QListWidget*>(QStringLiteral("lstFont"));
}
QAbstractButton* style(const AppFixture& app, int index) {
    return app.window->findChild<QAbstractButton*>(QStringLiteral("chkFnts_%1").arg(index));
}
QFont editorFont(const AppFixture& app) {
    return app.window->editor()->font();
}
} // namespace

class TestFormat : public QObject {
    Q_OBJECT
private slots:
    void startUpKeepsOnlyFontAndColours();
    void firstStartFontWhereTerminalIsMissing();
    void sizeBoxAppliesEveryChange();
    void styleButtonsFollowTheirIndexes();
    void nextFontAndHideText();
    void fontListDropsDownWhileFocused();
    void swatchColoursSurviveNew();
};

void TestFormat::startUpKeepsOnlyFontAndColours() {
    for (const char* font : {"Gamma Mono", "Missing Face"}) {
        AppFixture app(ProgramFolder::WithDatabase, false);
        for (const char* key : {"FontBold", "FontItalic", "FontStrike", "FontUnderline"})
            app.setSetting(QString::fromLatin1(key), QStringLiteral("True"));
        app.setSetting(QStringLiteral("FontSize"), QStringLiteral("20"));
        app.setSetting(QStringLiteral("Font"), QString::fromLatin1(font));
        app.window->Form_Load();

        const DocumentState& doc = app.window->documentState();
        QVERIFY(!doc.ynFontBold && !doc.ynFontItalic && !doc.ynFontStrike && !doc.ynFontUnderline);
        QCOMPARE(doc.lngFontSize, 10);
        for (int i = 0; i < 4; ++i)
            QVERIFY(!style(app, i)->isChecked());
        QVERIFY(!editorFont(app).bold() && !editorFont(app).underline() && editorFont(app).pointSize() == 10);
        // A font the display lacks falls back to the list's second entry.
        const int row = font[0] == 'G' ? 2 : 1;
        QCOMPARE(fontList(app)->currentRow(), row);
        QCOMPARE(doc.strFontName, AppFixture::fonts()[row]);
        QCOMPARE(editorFont(app).family(), AppFixture::fonts()[row]);
        QVERIFY(fontList(app)->isEnabled());
    }
}

void TestFormat::firstStartFontWhereTerminalIsMissing() {
    // The display's families, the desktop's fixed-width face, a saved font
    // (empty: none) and the font the first start shows.
    const QStringList plain = AppFixture::fonts();
    const QStringList withTerminal = plain + QStringList{"Terminal"};
    const QStringList withFoundries = {"Alpha Sans", "Beta Serif", "Nimbus Mono PS [UKWN]",
                                       "Nimbus Mono PS [urw]"};
    const struct {
        QStringList families;
        const char* fixed = "";
        const char* saved = "";
        const char* shown = "";
    } cases[] = {
        {plain, "Gamma Mono", "", "Gamma Mono"},
        {plain, "gamma mono", "", "Gamma Mono"},
        {withFoundries, "Nimbus Mono PS", "", "Nimbus Mono PS [UKWN]"},
        {plain, "Unlisted Mono", "", "Beta Serif"}, // neither: the list's second entry
        {plain, "", "", "Beta Serif"},
        {withTerminal, "Gamma Mono", "", "Terminal"},          // Terminal wins where it exists
        {plain, "Gamma Mono", "Delta Script", "Delta Script"}, // a saved font is kept
    };
    for (const auto& c : cases) {
        // Declared before the fixture, so that they outlive its use of them.
        const QStringList& families = c.families;
        QString fixed = QString::fromLatin1(c.fixed);
        AppFixture app(ProgramFolder::WithDatabase, false);
        platform::FontList::setSource([&families] { return families; });
        platform::FontList::setFixedSource([&fixed] { return fixed; });
        const auto restore = qScopeGuard([] { platform::FontList::setFixedSource({}); });
        if (*c.saved)
            app.setSetting(QStringLiteral("Font"), QString::fromLatin1(c.saved));
        app.window->Form_Load();
        const QString context = families.join('/') + " fixed " + fixed;
        QVERIFY2(editorFont(app).family() == QLatin1String(c.shown), qPrintable(context));
        QVERIFY2(fontList(app)->currentItem() &&
                     fontList(app)->currentItem()->text() == QLatin1String(c.shown),
                 qPrintable(context));
    }
}

void TestFormat::sizeBoxAppliesEveryChange() {
    AppFixture app;
    QComboBox* box = sizeBox(app);
    QCOMPARE(box->count(), 21);
    for (const char* text : {"abc", "0", "-5", "", "1e"}) {
        box->setEditText(QStringLiteral("14"));
        QCOMPARE(editorFont(app).pointSize(), 14);
        box->setEditText(QString::fromLatin1(text));
        QCOMPARE(box->currentText(), QStringLiteral("10"));
        QCOMPARE(editorFont(app).pointSize(), 10);
    }
    box->setEditText(QStringLiteral("12.5")); // ties go to the even neighbour
    QCOMPARE(app.window->documentState().lngFontSize, 12);

    // Typing applies each keystroke: 1 point, then 12; letters reset the box.
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_1);
    QCOMPARE(editorFont(app).pointSize(), 1);
    QTest::keyClick(box->lineEdit(), Qt::Key_2);
    QCOMPARE(editorFont(app).pointSize(), 12);
    QTest::keyClick(box->lineEdit(), Qt::Key_X);
    QCOMPARE(box->currentText(), QStringLiteral("10"));
}

void TestFormat::styleButtonsFollowTheirIndexes() {
    AppFixture app;
    QTest::mouseClick(style(app, 1), Qt::LeftButton);
    QTest::mouseClick(style(app, 3), Qt::LeftButton);
    QVERIFY(editorFont(app).underline() && editorFont(app).strikeOut() && !editorFont(app).bold());

    app.messages.queue(QMessageBox::No);
    app.window->close();
    QCOMPARE(app.setting(QStringLiteral("FontUnderline")), QStringLiteral("True"));
    QCOMPARE(app.setting(QStringLiteral("FontStrike")), QStringLiteral("True"));
    QCOMPARE(app.setting(QStringLiteral("FontBold")), QStringLiteral("False"));
}

void TestFormat::nextFontAndHideText() {
    AppFixture app;
    fontList(app)->setCurrentRow(2);
    app.action(QStringLiteral("MnuFormat_1"))->trigger();
    QCOMPARE(app.window->documentState().strFontName, QStringLiteral("Delta Script"));
    app.action(QStringLiteral("MnuFormat_1"))->trigger(); // the last font wraps to the first
    QCOMPARE(editorFont(app).family(), QStringLiteral("Alpha Sans"));

    QAction* hide = app.action(QStringLiteral("MnuFormat_2"));
    for (const char* size : {"2", "10", "2"}) {
        hide->trigger();
        QCOMPARE(sizeBox(app)->currentText(), QString::fromLatin1(size));
        QCOMPARE(editorFont(app).pointSize(), QByteArray(size).toInt());
    }
    sizeBox(app)->setEditText(QStringLiteral("24"));
    hide->trigger();
    QCOMPARE(app.window->documentState().lngFontSize, 2);
}

void TestFormat::fontListDropsDownWhileFocused() {
    AppFixture app;
    QListWidget* list = fontList(app);
    list->setCurrentRow(3);
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    QCOMPARE(list->height(), app.window->centralWidget()->height());
    app.window->editor()->setFocus();
    QTRY_VERIFY(!list->hasFocus());
    QCOMPARE(list->height(), platform::Screen::toPixelsY(645));
    QCOMPARE(list->currentRow(), 3);
    QCOMPARE(editorFont(app).family(), QStringLiteral("Delta Script"));
}

void TestFormat::swatchColoursSurviveNew() {
    AppFixture app;
    app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0"))->setBackColor(0x0000FF);
    app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_1"))->setBackColor(0x00FFFF);
    app.typeText(QStringLiteral("x"));
    app.messages.queue(QMessageBox::No);
    app.action(QStringLiteral("mnuFile_0"))->trigger();
    QCOMPARE(app.window->editor()->SelColor(), 0x0000FF);
    QCOMPARE(app.window->editor()->BackColor(), 0x00FFFF);
    QCOMPARE(app.window->editor()->palette().color(QPalette::Text), QColor(255, 0, 0));
}

QTEST_MAIN(TestFormat)
#include "tst_format.moc"
