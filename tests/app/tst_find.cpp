// Find and Find Next through the Edit menu and the find dialog.
#include "tests/app/AppFixture.h"

#include "app/editor/EntryEditor.h"
#include "dialogs/FindState.h"
#include "dialogs/frmFind.h"
#include "platform/Screen.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestFind : public QObject {
    Q_OBJECT
private slots:
    void init();
    void findNextBeforeAnySearchOpensTheDialog();
    void dialogLooksAsDesigned();
    void searchStepsFromMatchToMatch();
    void optionsNarrowTheSearch();
    void emptyBoxReusesTextWithTheOptionsShown();

private:
    static frmFind* openDialog(AppFixture& app) {
        app.action(QStringLiteral("mnuEdit_3"))->trigger();
        return frmFind::loaded();
    }
    static void search(frmFind* dialog, const QString& text, bool matchCase, bool wholeWord) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("txtFind")), text);
        dialog->findChild<QCheckBox*>(QStringLiteral("chkCase"))->setChecked(matchCase);
        dialog->findChild<QCheckBox*>(QStringLiteral("chkWord"))->setChecked(wholeWord);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdFind")), Qt::LeftButton);
    }
    static QString selected(const AppFixture& app) {
        return app.window->editor()->textCursor().selectedText();
    }
};

void TestFind::init() {
    modCofra::strFindText.clear();
    modCofra::ynFindMatchCase = false;
    modCofra::ynFindWholeWord = false;
}

void TestFind::findNextBeforeAnySearchOpensTheDialog() {
    AppFixture app;
    QVERIFY(!frmFind::loaded());
    app.action(QStringLiteral("mnuEdit_4"))->trigger();
    QVERIFY(frmFind::loaded() && frmFind::loaded()->isVisible());
    QVERIFY(!frmFind::loaded()->isModal());
    QCOMPARE(frmFind::loaded()->parentWidget(), app.window.get());
    QTest::mouseClick(frmFind::loaded()->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QTRY_VERIFY(!frmFind::loaded());
    QVERIFY(modCofra::strFindText.isEmpty());
}

void TestFind::dialogLooksAsDesigned() {
    AppFixture app;
    frmFind* dialog = openDialog(app);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Find"));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Fi&nd What:"));
    QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("cmdFind"))->text(),
             QStringLiteral("&Find Next"));
    QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("Command2"))->text(), QStringLiteral("Cancel"));
    QCOMPARE(dialog->findChild<QCheckBox*>(QStringLiteral("chkCase"))->text(), QStringLiteral("Match &case"));
    QCOMPARE(dialog->findChild<QCheckBox*>(QStringLiteral("chkWord"))->text(), QStringLiteral("Whole Word"));
    QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("cmdFind"))->geometry(),
             platform::Screen::rectFromTwips(4065, 120, 1110, 345));
    // Tab order: box, Find Next, Cancel, Match case, Whole Word.
    QWidget* w = dialog->findChild<QLineEdit*>(QStringLiteral("txtFind"));
    QStringList order;
    for (int i = 0; i < 5; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        order << w->objectName();
    }
    QCOMPARE(order, QStringList({"txtFind", "cmdFind", "Command2", "chkCase", "chkWord"}));
}

void TestFind::searchStepsFromMatchToMatch() {
    AppFixture app;
    app.window->editor()->setText(QStringLiteral("abc abc"));
    app.window->editor()->setSelStart(0);
    search(openDialog(app), QStringLiteral("abc"), false, false);
    QTRY_VERIFY(!frmFind::loaded());
    QCOMPARE(app.window->editor()->SelStart(), 4); // the match at the caret itself is skipped
    QCOMPARE(app.window->editor()->SelLength(), 3);
    app.action(QStringLiteral("mnuEdit_4"))->trigger();
    QCOMPARE(app.window->editor()->SelStart(), 4); // no wrap-around
    QCOMPARE(app.window->editor()->SelLength(), 3);
    QVERIFY(!frmFind::loaded());
}

void TestFind::optionsNarrowTheSearch() {
    AppFixture app;
    app.window->editor()->setText(QStringLiteral("xx CAT cats cat"));
    app.window->editor()->setSelStart(0);
    search(openDialog(app), QStringLiteral("cat"), true, false);
    QCOMPARE(app.window->editor()->SelStart(), 7);
    QVERIFY(modCofra::ynFindMatchCase && !modCofra::ynFindWholeWord);
    QTRY_VERIFY(!frmFind::loaded());
    app.window->editor()->setText(QStringLiteral("concat cats cat"));
    app.window->editor()->setSelStart(0);
    search(openDialog(app), QStringLiteral("cat"), false, true);
    QCOMPARE(app.window->editor()->SelStart(), 12);
    QCOMPARE(selected(app), QStringLiteral("cat"));
}

void TestFind::emptyBoxReusesTextWithTheOptionsShown() {
    AppFixture app;
    app.window->editor()->setText(QStringLiteral("a ABC abc"));
    app.window->editor()->setSelStart(0);
    search(openDialog(app), QStringLiteral("abc"), true, false);
    QCOMPARE(app.window->editor()->SelStart(), 6);
    QTRY_VERIFY(!frmFind::loaded());

    app.window->editor()->setSelStart(0);
    frmFind* dialog = openDialog(app);
    QVERIFY(dialog->findChild<QLineEdit*>(QStringLiteral("txtFind"))->text().isEmpty());
    QVERIFY(!dialog->findChild<QCheckBox*>(QStringLiteral("chkCase"))->isChecked());
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdFind")), Qt::LeftButton);
    QCOMPARE(modCofra::strFindText, QStringLiteral("abc"));
    QCOMPARE(app.window->editor()->SelStart(), 2); // now without match case
    QCOMPARE(selected(app), QStringLiteral("ABC"));
}

QTEST_MAIN(TestFind)
#include "tst_find.moc"
