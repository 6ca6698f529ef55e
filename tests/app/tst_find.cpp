// Find and Find Next through the Edit menu and the find dialog.
#include "tests/app/AppFixture.h"

#include "dialogs/FindState.h"
#include "dialogs/frmFind.h"
#include "editor/EntryEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

frmFind* openDialog(AppFixture& app) {
    app.action(QStringLiteral("mnuEdit_3"))->trigger();
    return frmFind::loaded();
}

// Types the text (when any), sets the options and presses "Find Next"; the dialog closes.
void search(AppFixture& app, const QString& text, bool matchCase, bool wholeWord, int caret = 0) {
    app.window->editor()->setSelStart(caret);
    frmFind* dialog = openDialog(app);
    QVERIFY(dialog);
    auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("txtFind"));
    auto* caseBox = dialog->findChild<QCheckBox*>(QStringLiteral("chkCase"));
    auto* wordBox = dialog->findChild<QCheckBox*>(QStringLiteral("chkWord"));
    QVERIFY(box->text().isEmpty() && !caseBox->isChecked() &&
            !wordBox->isChecked()); // the last search is not shown
    QTest::keyClicks(box, text);
    caseBox->setChecked(matchCase);
    wordBox->setChecked(wholeWord);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdFind")), Qt::LeftButton);
    QTRY_VERIFY(!frmFind::loaded());
}

int selStart(const AppFixture& app) {
    return app.window->editor()->SelStart();
}

} // namespace

class TestFind : public QObject {
    Q_OBJECT
private slots:
    void init() {
        modCofra::strFindText.clear();
        modCofra::ynFindMatchCase = modCofra::ynFindWholeWord = false;
    }
    void findNextBeforeAnySearchOpensTheDialog();
    void searchStepsFromMatchToMatch();
    void optionsNarrowTheSearch();
    void emptyBoxReusesTextWithTheOptionsShown();
};

void TestFind::findNextBeforeAnySearchOpensTheDialog() {
    AppFixture app;
    app.action(QStringLiteral("mnuEdit_4"))->trigger();
    frmFind* dialog = frmFind::loaded();
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    QCOMPARE(dialog->parentWidget(), app.window.get());
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QTRY_VERIFY(!frmFind::loaded());
    QVERIFY(modCofra::strFindText.isEmpty());
}

void TestFind::searchStepsFromMatchToMatch() {
    AppFixture app;
    app.window->editor()->setText(QStringLiteral("abc abc"));
    search(app, QStringLiteral("abc"), false, false);
    QCOMPARE(selStart(app), 4); // the match at the caret itself is skipped
    QCOMPARE(app.window->editor()->SelLength(), 3);
    app.action(QStringLiteral("mnuEdit_4"))->trigger();
    QCOMPARE(selStart(app), 4); // nothing further, and no wrap-around
    QCOMPARE(app.window->editor()->SelLength(), 3);
    QVERIFY(!frmFind::loaded());
}

void TestFind::optionsNarrowTheSearch() {
    AppFixture app;
    app.window->editor()->setText(QStringLiteral("xx CAT cats cat"));
    search(app, QStringLiteral("cat"), true, false);
    QCOMPARE(selStart(app), 7);
    app.window->editor()->setText(QStringLiteral("concat cats cat"));
    search(app, QStringLiteral("cat"), false, true);
    QCOMPARE(selStart(app), 12);
    QVERIFY(modCofra::ynFindWholeWord && !modCofra::ynFindMatchCase);
}

void TestFind::emptyBoxReusesTextWithTheOptionsShown() {
    AppFixture app;
    app.window->editor()->setText(QStringLiteral("a ABC abc"));
    search(app, QStringLiteral("abc"), true, false);
    QCOMPARE(selStart(app), 6);
    search(app, QString(), false, false); // the box opens empty and unchecked
    QCOMPARE(modCofra::strFindText, QStringLiteral("abc"));
    QCOMPARE(selStart(app), 2); // now without match case
}

QTEST_MAIN(TestFind)
#include "tst_find.moc"
