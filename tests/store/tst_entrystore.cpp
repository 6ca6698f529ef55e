#include "dialogs/frmOpenSave.h"
#include "platform/AppPath.h"
#include "platform/BusyCursor.h"
#include "store/StoreErrorBox.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QString errorBox(const QString& text) {
    return boxLine("An Error Occured!", text, platform::MsgIcon::Exclamation,
                   QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Retry);
}
// The error text, then the name, hint and text that LoadEntry leaves in fields that held "old".
QStringList load(qint32 id) {
    QString name = "old", hint = "old", text = "old";
    const QString error = modCofra::LoadEntry(id, name, hint, text);
    return {error, name, hint, text};
}
QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
// What is in the program folder, and the database file's bytes.
QByteArray snapshot() {
    const QDir folder(modCofra::strAppPath);
    return folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).join('/').toUtf8() +
           fileBytes(store::databasePath());
}

QListWidget* lstNames() {
    return frmOpenSave::loaded()->findChild<QListWidget*>("lstNames");
}
QLineEdit* txtName() {
    return frmOpenSave::loaded()->findChild<QLineEdit*>("txtName");
}
QPushButton* button(const char* name) {
    return frmOpenSave::loaded()->findChild<QPushButton*>(name);
}
QStringList names() {
    QStringList texts;
    for (int row = 0; row < lstNames()->count(); ++row)
        texts << lstNames()->item(row)->text();
    return texts;
}
// A fresh chooser, shown and filled as the main window does it.
frmOpenSave* showChooser(bool save, const QString& name = {}, qint32 id = 0) {
    frmOpenSave::unload();
    frmOpenSave* chooser = frmOpenSave::shared(nullptr);
    chooser->show();
    chooser->activateWindow();
    chooser->DoSaveOpen(save, name, id);
    return chooser;
}
void clickRow(int row, bool twice = false) {
    const QPoint at = lstNames()->visualItemRect(lstNames()->item(row)).center();
    QTest::mouseClick(lstNames()->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(lstNames()->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

// The entry database and the entry chooser that lists it.
class tst_EntryStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { store::installErrorBox(); }
    void cleanup() {
        frmOpenSave::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        modCofra::SetBusyCursor(false);
        QVERIFY2(QSqlDatabase::connectionNames().isEmpty(), "a connection outlived its call");
    }

    void storesFindsAndDeletes() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        QCOMPARE(modCofra::FindEntryID("O'Brien"), 0);
        const QString big = QString(1 << 20, QChar('7')) + QStringLiteral("\r\n\u00e9\u20ac");
        QCOMPARE(modCofra::StoreEntry(0, "O'Brien", "his hint", big), QString());
        QCOMPARE(modCofra::StoreEntry(0, "Secret", "", "737" + QString(4000, QChar('C')) + "5EC2E7"),
                 QString());
        sql("INSERT INTO tblCofra (strName) VALUES ('Bare')");
        QCOMPARE(modCofra::FindEntryID("o'brien"), 1);
        QCOMPARE(modCofra::FindEntryID("Bare"), 3);
        QCOMPARE(modCofra::FindEntryID("x' OR '1'='1"), 0);
        QCOMPARE(load(1), (QStringList{"", "O'Brien", "his hint", big}));
        QCOMPARE(load(3), (QStringList{"", "Bare", "", ""}));

        // A deleted entry leaves no ciphertext in the file.
        QVERIFY(fileBytes(folder.databasePath()).contains("5EC2E7"));
        modCofra::DeleteRecord("tblCofra", "lngID", 2);
        QCOMPARE(modCofra::FindEntryID("Secret"), 0);
        QVERIFY(!fileBytes(folder.databasePath()).contains("5EC2E7"));

        // Storing to the deleted row asks, whatever the answer writes nothing, and Retry tries again.
        const QString expected = "Error: 101 - There is no entry with the id 2\r\nFrom: tblCofra.";
        boxes.queue(QMessageBox::Retry);
        boxes.queue(QMessageBox::Abort);
        QCOMPARE(modCofra::StoreEntry(2, "Secret", "h", "7370C"), expected);
        boxes.queue(QMessageBox::Ignore);
        QCOMPARE(modCofra::StoreEntry(2, "Secret", "h", "7370C"), expected);
        QCOMPARE(boxes.shown().size(), 3);
        for (const platform::MessageBoxSpec& box : boxes.shown())
            QCOMPARE(boxLine(box), errorBox(expected));
        QCOMPARE(sql("SELECT lngID, strName FROM tblCofra ORDER BY lngID"), (QStringList{"1|O'Brien", "3|Bare"}));
    }

    void listingStopsAtItsLimits() {
        ProgramFolder folder;
        const QString rows = "WITH RECURSIVE n(i) AS (VALUES(1) UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                             "INSERT INTO tblCofra (strName) SELECT %2 FROM n";
        // Empty names are never listed, and the listing ends at the 101st of them.
        sql("INSERT INTO tblCofra (strName) VALUES ('b'), ('a')");
        sql(rows.arg("100", "CASE i % 2 WHEN 0 THEN '' END"));
        sql("INSERT INTO tblCofra (strName) VALUES ('after100'), (NULL), ('after101')");
        showChooser(false);
        QCOMPARE(names(), (QStringList{"a", "after100", "b"}));
        QCOMPARE(txtName()->text(), "b"); // the entry with id 1

        sql("DELETE FROM tblCofra");
        sql(rows.arg("10005", "printf('n%05d', i)"));
        showChooser(false);
        QCOMPARE(lstNames()->count(), 10000);
        QCOMPARE(lstNames()->item(9999)->text(), "n10000");
    }

    void chooserOpensSelectsAndDeletes() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        sql("INSERT INTO tblCofra (strName) VALUES ('First'), ('beta'), ('Same'), ('Alpha'), ('Same'), "
            "('gamma')");
        modCofra::DeleteRecord("tblCofra", "lngID", 1);
        frmOpenSave* chooser = showChooser(false);
        QCOMPARE(chooser->windowTitle(), "Open");
        QCOMPARE(button("cmdOpen")->text(), "&Open");
        QCOMPARE(names(), (QStringList{"Alpha", "beta", "gamma", "Same", "Same"}));
        QCOMPARE(txtName()->text(), "Alpha"); // no row has id 1
        QTRY_COMPARE(QApplication::focusWidget(), lstNames());

        // Open, Enter and double-click hand over the selected row's own id, also for a repeated name.
        QSignalSpy opened(chooser, &frmOpenSave::openChosen);
        clickRow(3);
        QCOMPARE(txtName()->text(), "Same");
        QTest::mouseClick(button("cmdOpen"), Qt::LeftButton);
        clickRow(4);
        QTest::keyClick(lstNames(), Qt::Key_Return);
        clickRow(1, true);
        QCOMPARE(QList<QVariantList>(opened), (QList<QVariantList>{{3}, {5}, {2}}));
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);

        // The entry remembered by id or by its exact name is selected, otherwise the first.
        const struct {
            const char* name;
            qint32 id;
            int row;
        } remembered[] = {{"", 6, 2}, {"gamma", 0, 2}, {"GAMMA", 0, 0}};
        for (const auto& wanted : remembered) {
            showChooser(false, wanted.name, wanted.id);
            QCOMPARE(lstNames()->currentRow(), wanted.row);
        }

        showChooser(false, "gamma");
        boxes.queue(QMessageBox::No);
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(names().size(), 5);
        boxes.queue(QMessageBox::Yes);
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(boxLine(boxes.shown().value(1)),
                 boxLine("Delete gamma?", "Delete gamma?\r\nAre you sure?", platform::MsgIcon::Exclamation,
                         QMessageBox::Yes | QMessageBox::No));
        QCOMPARE(names(), (QStringList{"Alpha", "beta", "Same", "Same"}));
        QCOMPARE(txtName()->text(), "Alpha");
    }

    void chooserSavesUnderTheTypedName() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        QSignalSpy opened(showChooser(false), &frmOpenSave::openChosen);
        QTest::mouseClick(button("cmdOpen"), Qt::LeftButton); // nothing listed: nothing to open or delete
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(opened.size() + boxes.shown().size(), 0);

        QPointer<frmOpenSave> chooser = showChooser(true, "Draft");
        QSignalSpy saved(chooser.data(), &frmOpenSave::saveChosen);
        QSignalSpy closed(chooser.data(), &frmOpenSave::unloaded);
        QCOMPARE(chooser->windowTitle(), "Save");
        QCOMPARE(button("cmdOpen")->text(), "&Save");
        QTRY_COMPARE(QApplication::focusWidget(), txtName());
        QTRY_COMPARE(txtName()->selectedText(), "Draft");
        txtName()->clear();
        QTest::keyClick(txtName(), Qt::Key_Return);
        QCOMPARE(saved.size(), 0);
        QTest::keyClicks(txtName(), QString(60, QChar('x')));
        QTest::keyClick(txtName(), Qt::Key_Return);
        QCOMPARE(QList<QVariantList>(saved), QList<QVariantList>{{QString(50, QChar('x'))}});

        QTest::keyClick(txtName(), Qt::Key_Escape);
        QCOMPARE(closed.size(), 1);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QTRY_VERIFY(chooser.isNull());
    }

    void faultsLoseNothing_data() {
        QTest::addColumn<QString>("fault");
        for (const char* fault : {"missing", "unreadable", "read-only", "garbage"})
            QTest::newRow(fault) << QString(fault);
    }
    // A broken database file: lookups come back empty without a word, the guarded
    // procedures ask, and neither the file nor its folder changes.
    void faultsLoseNothing() {
        QFETCH(QString, fault);
        ProgramFolder folder;
        ScriptedMessages boxes;
        modCofra::StoreEntry(0, "Kept", "h", "7370A");
        // Unreadable is a folder in the file's place, read-only a file format write
        // version above 2, which the engine only reads: permissions would not stop root.
        const bool readable = fault == "read-only";
        QFile file(folder.databasePath());
        QVERIFY(readable ? file.open(QIODevice::ReadWrite) && file.seek(18) && file.putChar(3)
                         : file.remove());
        if (fault == "unreadable")
            QVERIFY(QDir().mkdir(file.fileName()));
        if (fault == "garbage")
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(8192, '\xA5')) == 8192);
        file.close();
        const QByteArray before = snapshot();

        QCOMPARE(modCofra::FindEntryID("Kept"), readable ? 1 : 0);
        showChooser(false);
        QCOMPARE(names(), readable ? QStringList{"Kept"} : QStringList());
        QCOMPARE(boxes.shown().size(), 0);

        boxes.queue(QMessageBox::Abort);
        const QStringList loaded = load(1);
        QCOMPARE(boxes.shown().size(), readable ? 0 : 1);
        QCOMPARE(loaded, (readable ? QStringList{"", "Kept", "h", "7370A"}
                                   : QStringList{boxes.shown().value(0).text, "old", "old", "old"}));
        boxes.clear();

        boxes.queue(QMessageBox::Retry);
        boxes.queue(QMessageBox::Abort);
        const QString stored = modCofra::StoreEntry(0, "New", "h", "7370B");
        QCOMPARE(boxes.shown().size(), 2);
        QVERIFY2(stored.startsWith("Error: ") && stored.contains("\r\nFrom: "), qPrintable(stored));
        QCOMPARE(boxLine(boxes.shown()[1]), errorBox(stored));
        boxes.clear();

        for (int n = 0; n < 3; ++n)
            boxes.queue(QMessageBox::Ignore);
        modCofra::DeleteRecord("tblCofra", "lngID", 1);
        QVERIFY(boxes.shown().size() >= 1);
        QCOMPARE(boxes.unexpected(), 0);
        QCOMPARE(snapshot(), before);
    }
};

QTEST_MAIN(tst_EntryStore)
#include "tst_entrystore.moc"
