// Find and Find Next through the Edit menu and the find dialog.
#include "tests/app/AppFixture.h"

#include "dialogs/FindState.h"
#include "dialogs/frmFind.h"

#include <QtWidgets>

class TestFind : public QObject {
    Q_OBJECT
    // Opens the dialog, which never shows the last search; types the text (when
    // any), sets the options and presses "Find Next", which closes it, with the
    // caret at the start. What is found is where the selection starts; -2
    // means no dialog came up, -3 one that showed the last search or stayed open.
    static int search(AppFixture& app, const QString& text, bool matchCase, bool wholeWord) {
        app.window->editor()->setSelStart(0);
        app.action(QStringLiteral("mnuEdit_3"))->trigger();
        frmFind* find = frmFind::loaded();
        if (!find)
            return -2;
        auto* box = find->findChild<QLineEdit*>(QStringLiteral("txtFind"));
        auto *cased = find->findChild<QCheckBox*>("chkCase"), *whole = find->findChild<QCheckBox*>("chkWord");
        const bool blank = box->text().isEmpty() && !cased->isChecked() && !whole->isChecked();
        QTest::keyClicks(box, text);
        cased->setChecked(matchCase);
        whole->setChecked(wholeWord);
        QTest::mouseClick(find->findChild<QPushButton*>("cmdFind"), Qt::LeftButton);
        const bool closed = QTest::qWaitFor([] { return !frmFind::loaded(); });
        return blank && closed ? app.window->editor()->SelStart() : -3;
    }

private slots:
    void searchesWithTheirOptions() {
        AppFixture app;
        // Find Next before any search opens the dialog, modeless and owned by the window.
        app.action(QStringLiteral("mnuEdit_4"))->trigger();
        frmFind* box = frmFind::loaded();
        QVERIFY(box && box->isVisible() && !box->isModal() && box->parentWidget() == app.window.get());
        QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
        QTRY_VERIFY(!frmFind::loaded());
        QVERIFY(modCofra::strFindText.isEmpty());

        EntryEditor* editor = app.window->editor();
        editor->setText(QStringLiteral("abc abc"));
        QCOMPARE(search(app, QStringLiteral("abc"), false, false), 4); // the match at the caret is skipped
        QCOMPARE(editor->SelLength(), 3);
        app.action(QStringLiteral("mnuEdit_4"))->trigger();
        QCOMPARE(std::pair(editor->SelStart(), editor->SelLength()), std::pair(4, 3)); // no wrap-around
        QVERIFY(!frmFind::loaded());

        editor->setText(QStringLiteral("xx CAT cats cat"));
        QCOMPARE(search(app, QStringLiteral("cat"), true, false), 7);
        editor->setText(QStringLiteral("concat cats cat"));
        QCOMPARE(search(app, QStringLiteral("cat"), false, true), 12);
        QVERIFY(modCofra::ynFindWholeWord && !modCofra::ynFindMatchCase);
        // An empty box searches for the last text again, with the options as shown.
        editor->setText(QStringLiteral("a ABC abc"));
        QCOMPARE(search(app, QStringLiteral("abc"), true, false), 6);
        QCOMPARE(search(app, QString(), false, false), 2);
        QCOMPARE(modCofra::strFindText, QStringLiteral("abc"));
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
