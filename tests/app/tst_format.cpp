// The format controls driven through the real widgets: font list, size box,
// style buttons, Next Font, Hide Text and the colour swatches.
#include "tests/app/AppFixture.h"

#include "app/editor/EntryEditor.h"
#include "colour/ColourSwatch.h"
#include "platform/Screen.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

class TestFormat : public QObject {
    Q_OBJECT
private slots:
    void startUpLeavesStylesOffAndSizeTen();
    void unreadableSizesBecomeTen();
    void typingAppliesEveryKeystroke();
    void styleButtonsFollowTheirIndexes();
    void savedFontIsRestoredOrFallsBack();
    void nextFontWrapsAround();
    void hideTextAlternates();
    void fontListDropsDownWhileFocused();
    void swatchColoursSurviveNew();

private:
    static QComboBox* sizeBox(const AppFixture& app) {
        return app.window->findChild<QComboBox*>(QStringLiteral("cboFSize"));
    }
    static QListWidget* fontList(const AppFixture& app) {
        return app.window->findChild<QListWidget*>(QStringLiteral("lstFont"));
    }
};

void TestFormat::startUpLeavesStylesOffAndSizeTen() {
    AppFixture app(ProgramFolder::WithDatabase, false);
    for (const char* key : {"FontBold", "FontItalic", "FontStrike", "FontUnderline"})
        app.setSetting(QString::fromLatin1(key), QStringLiteral("True"));
    app.setSetting(QStringLiteral("FontSize"), QStringLiteral("20"));
    app.window->Form_Load();

    const DocumentState& doc = app.window->documentState();
    QVERIFY(!doc.ynFontBold && !doc.ynFontItalic && !doc.ynFontStrike && !doc.ynFontUnderline);
    QCOMPARE(doc.lngFontSize, 10);
    QCOMPARE(sizeBox(app)->currentText(), QStringLiteral("10"));
    for (int i = 0; i < 4; ++i)
        QVERIFY(!app.window->findChild<QAbstractButton*>(QStringLiteral("chkFnts_%1").arg(i))->isChecked());
    const QFont font = app.window->editor()->font();
    QCOMPARE(font.pointSize(), 10);
    QVERIFY(!font.bold() && !font.italic() && !font.strikeOut() && !font.underline());
}

void TestFormat::unreadableSizesBecomeTen() {
    AppFixture app;
    QComboBox* box = sizeBox(app);
    for (const char* text : {"abc", "0", "-5", "", "1e"}) {
        box->setEditText(QStringLiteral("14"));
        QCOMPARE(app.window->editor()->font().pointSize(), 14);
        box->setEditText(QString::fromLatin1(text));
        QCOMPARE(box->currentText(), QStringLiteral("10"));
        QCOMPARE(app.window->documentState().lngFontSize, 10);
        QCOMPARE(app.window->editor()->font().pointSize(), 10);
    }
    box->setEditText(QStringLiteral("12.5")); // ties go to the even neighbour
    QCOMPARE(app.window->documentState().lngFontSize, 12);
    QCOMPARE(box->count(), 21);
    QCOMPARE(box->itemText(0), QStringLiteral("2"));
    QCOMPARE(box->itemText(16), QStringLiteral("73"));
    QCOMPARE(box->itemText(20), QStringLiteral("400"));
}

void TestFormat::typingAppliesEveryKeystroke() {
    AppFixture app;
    QLineEdit* edit = sizeBox(app)->lineEdit();
    QList<int> applied;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_1);
    applied << app.window->editor()->font().pointSize();
    QTest::keyClick(edit, Qt::Key_2);
    applied << app.window->editor()->font().pointSize();
    QCOMPARE(applied, QList<int>({1, 12}));
    // Letters reset the box at once.
    QTest::keyClick(edit, Qt::Key_X);
    QCOMPARE(sizeBox(app)->currentText(), QStringLiteral("10"));
}

void TestFormat::styleButtonsFollowTheirIndexes() {
    AppFixture app;
    auto button = [&](int i) {
        return app.window->findChild<QAbstractButton*>(QStringLiteral("chkFnts_%1").arg(i));
    };
    QCOMPARE(button(0)->toolTip(), QStringLiteral("Change Font Bold"));
    QCOMPARE(button(1)->toolTip(), QStringLiteral("Change Font Underline"));
    QCOMPARE(button(2)->toolTip(), QStringLiteral("Change Font Italic"));
    QCOMPARE(button(3)->toolTip(), QStringLiteral("Change Font Strike-Thru"));
    QCOMPARE(button(1)->geometry(), platform::Screen::rectFromTwips(6100, 300, 375, 308));

    QTest::mouseClick(button(1), Qt::LeftButton);
    QVERIFY(app.window->editor()->font().underline());
    QVERIFY(!app.window->editor()->font().bold());
    QTest::mouseClick(button(3), Qt::LeftButton);
    QVERIFY(app.window->editor()->font().strikeOut());

    app.messages.queue(QMessageBox::No);
    app.window->close();
    QCOMPARE(app.setting(QStringLiteral("FontUnderline")), QStringLiteral("True"));
    QCOMPARE(app.setting(QStringLiteral("FontStrike")), QStringLiteral("True"));
    QCOMPARE(app.setting(QStringLiteral("FontBold")), QStringLiteral("False"));
}

void TestFormat::savedFontIsRestoredOrFallsBack() {
    {
        AppFixture app(ProgramFolder::WithDatabase, false);
        app.setSetting(QStringLiteral("Font"), QStringLiteral("Gamma Mono"));
        app.window->Form_Load();
        QCOMPARE(app.window->documentState().strFontName, QStringLiteral("Gamma Mono"));
        QCOMPARE(fontList(app)->currentRow(), 2);
        QCOMPARE(app.window->editor()->font().family(), QStringLiteral("Gamma Mono"));
    }
    AppFixture app(ProgramFolder::WithDatabase, false);
    app.setSetting(QStringLiteral("Font"), QStringLiteral("Missing Face"));
    app.window->Form_Load();
    QCOMPARE(fontList(app)->count(), AppFixture::fonts().size());
    QCOMPARE(fontList(app)->currentRow(), 1);
    QCOMPARE(app.window->documentState().strFontName, QStringLiteral("Beta Serif"));
    QVERIFY(fontList(app)->isEnabled());
}

void TestFormat::nextFontWrapsAround() {
    AppFixture app;
    QListWidget* list = fontList(app);
    list->setCurrentRow(2);
    app.action(QStringLiteral("MnuFormat_1"))->trigger();
    QCOMPARE(app.window->documentState().strFontName, QStringLiteral("Delta Script"));
    app.action(QStringLiteral("MnuFormat_1"))->trigger();
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(app.window->documentState().strFontName, QStringLiteral("Alpha Sans"));
    QCOMPARE(app.window->editor()->font().family(), QStringLiteral("Alpha Sans"));
}

void TestFormat::hideTextAlternates() {
    AppFixture app;
    QAction* hide = app.action(QStringLiteral("MnuFormat_2"));
    hide->trigger();
    QCOMPARE(sizeBox(app)->currentText(), QStringLiteral("2"));
    QCOMPARE(app.window->editor()->font().pointSize(), 2);
    hide->trigger();
    QCOMPARE(sizeBox(app)->currentText(), QStringLiteral("10"));
    QCOMPARE(app.window->editor()->font().pointSize(), 10);
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
    QCOMPARE(app.window->editor()->font().family(), QStringLiteral("Delta Script"));
}

void TestFormat::swatchColoursSurviveNew() {
    AppFixture app;
    auto* text = app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0"));
    auto* back = app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_1"));
    QCOMPARE(text->toolTip(), QStringLiteral("Change Text Fore Color"));
    QCOMPARE(back->toolTip(), QStringLiteral("Change Back Color"));
    text->setBackColor(0x0000FF);
    back->setBackColor(0x00FFFF);
    app.typeText(QStringLiteral("x"));
    app.messages.queue(QMessageBox::No);
    app.action(QStringLiteral("mnuFile_0"))->trigger();
    QCOMPARE(app.window->editor()->SelColor(), 0x0000FF);
    QCOMPARE(app.window->editor()->BackColor(), 0x00FFFF);
    QCOMPARE(app.window->editor()->palette().color(QPalette::Text), QColor(255, 0, 0));
}

QTEST_MAIN(TestFormat)
#include "tst_format.moc"
