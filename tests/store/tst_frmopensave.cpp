#include "dialogs/frmOpenSave.h"
#include "platform/BusyCursor.h"
#include "store/EntryStore.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class tst_frmOpenSave : public QObject {
    Q_OBJECT

    QListWidget* lstNames() { return frmOpenSave::loaded()->findChild<QListWidget*>("lstNames"); }
    QLineEdit* txtName() { return frmOpenSave::loaded()->findChild<QLineEdit*>("txtName"); }
    QPushButton* button(const char* name) { return frmOpenSave::loaded()->findChild<QPushButton*>(name); }
    QStringList names() {
        QStringList texts;
        for (int row = 0; row < lstNames()->count(); ++row)
            texts << lstNames()->item(row)->text();
        return texts;
    }
    frmOpenSave* showChooser(bool save, const QString& name = {}, qint32 id = 0) {
        frmOpenSave* chooser = frmOpenSave::shared(nullptr);
        chooser->show();
        chooser->activateWindow();
        chooser->DoSaveOpen(save, name, id);
        return chooser;
    }
    void clickRow(int row) {
        QListWidget* list = lstNames();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

private slots:
    void cleanup() {
        frmOpenSave::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        modCofra::SetBusyCursor(false);
    }

    void listsSortedNamesAndProposesOne() {
        ProgramFolder folder;
        QVERIFY(insertNames(folder.databasePath(), {"beta", "Alpha", "gamma", "Same", "Same"}));
        frmOpenSave* chooser = showChooser(false);
        QCOMPARE(chooser->windowTitle(), "Open");
        QCOMPARE(button("cmdOpen")->text(), "&Open");
        QCOMPARE(names(), (QStringList{"Alpha", "beta", "gamma", "Same", "Same"}));
        QCOMPARE(txtName()->text(), "beta"); // the entry with id 1
        QTRY_COMPARE(QApplication::focusWidget(), lstNames());

        showChooser(true, "gamma", 3);
        QCOMPARE(chooser->windowTitle(), "Save");
        QCOMPARE(button("cmdOpen")->text(), "&Save");
        QCOMPARE(lstNames()->currentItem()->text(), "gamma");
        QCOMPARE(txtName()->text(), "gamma");
        QTRY_COMPARE(QApplication::focusWidget(), txtName());
        QTRY_COMPARE(txtName()->selectedText(), "gamma");

        txtName()->clear();
        QTest::keyClicks(txtName(), QString(60, QChar('x')));
        QCOMPARE(txtName()->text(), QString(50, QChar('x')));
    }

    // Open, double-click and Enter hand over the selected row's own id, also for a repeated name.
    void opensTheSelectedRow() {
        ProgramFolder folder;
        QVERIFY(insertNames(folder.databasePath(), {"Same", "Other", "Same"}));
        showChooser(false);
        QSignalSpy opened(frmOpenSave::loaded(), &frmOpenSave::openChosen);
        clickRow(1);
        QCOMPARE(txtName()->text(), "Same");
        QTest::mouseClick(button("cmdOpen"), Qt::LeftButton);
        clickRow(2);
        QTest::keyClick(lstNames(), Qt::Key_Return);
        QListWidget* list = lstNames();
        clickRow(0); // a double-click begins with a click
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           list->visualItemRect(list->item(0)).center());
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened[0][0].toInt(), 1);
        QCOMPARE(opened[1][0].toInt(), 3);
        QCOMPARE(opened[2][0].toInt(), 2);
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    }

    void savesUnderTheTypedName() {
        ProgramFolder folder;
        showChooser(true);
        QSignalSpy saved(frmOpenSave::loaded(), &frmOpenSave::saveChosen);
        QSignalSpy opened(frmOpenSave::loaded(), &frmOpenSave::openChosen);
        QVERIFY(names().isEmpty());
        QTest::keyClick(txtName(), Qt::Key_Return);
        QCOMPARE(saved.size(), 0);
        QTest::keyClicks(txtName(), "Diary");
        QTest::keyClick(txtName(), Qt::Key_Return);
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved[0][0].toString(), "Diary");

        ScriptedMessages boxes;
        showChooser(false);
        QTest::mouseClick(button("cmdOpen"), Qt::LeftButton);
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(opened.size(), 0);
        QCOMPARE(boxes.shown().size(), 0);
    }

    void deletesAfterTheQuestion() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        QVERIFY(insertNames(folder.databasePath(), {"Alpha", "gamma"}));
        showChooser(false, "gamma", 2);
        boxes.queue(QMessageBox::No);
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(names(), (QStringList{"Alpha", "gamma"}));
        boxes.queue(QMessageBox::Yes);
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown()[1].title, "Delete gamma?");
        QCOMPARE(boxes.shown()[1].text, "Delete gamma?\r\nAre you sure?");
        QCOMPARE(boxes.shown()[1].icon, platform::MsgIcon::Exclamation);
        QCOMPARE(boxes.shown()[1].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(names(), QStringList{"Alpha"});
        QCOMPARE(txtName()->text(), "Alpha");
        QCOMPARE(sqlRows(folder.databasePath(), "SELECT strName FROM tblCofra"), QStringList{"Alpha"});
    }

    void escapeCloses() {
        ProgramFolder folder;
        QPointer<frmOpenSave> chooser = showChooser(false);
        QSignalSpy closed(chooser.data(), &frmOpenSave::unloaded);
        modCofra::SetBusyCursor(true);
        QTest::keyClick(lstNames(), Qt::Key_Escape);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!frmOpenSave::loaded());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QTRY_VERIFY(chooser.isNull());
    }
};

QTEST_MAIN(tst_frmOpenSave)
#include "tst_frmopensave.moc"
