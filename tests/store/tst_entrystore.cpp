#include "dialogs/frmOpenSave.h"
#include "flows/StoreErrorBox.h"
#include "platform/AppPath.h"
#include "platform/BusyCursor.h"
#include "store/EntryList.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// The entry database's procedures and the entry chooser that lists it.
class tst_EntryStore : public QObject {
    Q_OBJECT

    using enum platform::MsgIcon;
    using enum QMessageBox::StandardButton;

    // The store's list without a window: entries in the order they come.
    struct PlainList : store::EntryList {
        QList<store::EntryListItem> items;
        int current = -1;
        void clear() override { items.clear(); }
        void addItems(const QList<store::EntryListItem>& more) override { items += more; }
        int count() const override { return int(items.size()); }
        QString itemText(int index) const override { return items[index].text; }
        qint64 itemData(int index) const override { return items[index].id; }
        void setCurrentIndex(int index) override { current = index; }
        QStringList names() const {
            QStringList all;
            for (const auto& item : items)
                all << item.text;
            return all;
        }
    };
    static store::Outcome list(PlainList& into, const QString& wanted = "1", bool byText = false) {
        return modCofra::FillListFromTable(into, "tblCofra", "lngID", "strName", wanted, byText);
    }
    static void queue(ScriptedMessages& boxes, const QList<QMessageBox::StandardButton>& answers) {
        boxes.clear();
        for (QMessageBox::StandardButton answer : answers)
            boxes.queue(answer);
    }
    // The names in the program folder, and the bytes of every file of the database.
    static QByteArray snapshot() {
        QByteArray all =
            QDir(modCofra::strAppPath).entryList(QDir::AllEntries | QDir::Hidden).join('/').toUtf8();
        for (const char* suffix : {"", "-wal", "-journal", "-shm"}) {
            QFile file(store::databasePath() + suffix);
            if (file.open(QIODevice::ReadOnly))
                all += file.readAll();
        }
        return all;
    }
    static QListWidget* lstNames() { return frmOpenSave::loaded()->findChild<QListWidget*>("lstNames"); }
    static QStringList chooserNames() {
        QStringList texts;
        for (int row = 0; row < lstNames()->count(); ++row)
            texts << lstNames()->item(row)->text();
        return texts;
    }
    static int showChooser(bool save, const QString& name = {}, qint64 id = 0) {
        frmOpenSave::unload();
        frmOpenSave::shared(nullptr)->show();
        frmOpenSave::loaded()->DoSaveOpen(save, name, id);
        return lstNames()->currentRow();
    }
    static QPoint rowAt(int row) { return lstNames()->visualItemRect(lstNames()->item(row)).center(); }
    static void clickRow(int row) {
        QTest::mouseClick(lstNames()->viewport(), Qt::LeftButton, {}, rowAt(row));
    }
    static void click(const char* name) {
        QTest::mouseClick(frmOpenSave::loaded()->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    static const QString& manyRows() {
        static const QString rows =
            "WITH RECURSIVE n(i) AS (VALUES(1) UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO tblCofra (strName, strEntry) SELECT %2, '7370' FROM n";
        return rows;
    }

private slots:
    void initTestCase() {
        store::installErrorBox();
        store::setBusyTimeout(100);
    }
    void cleanup() {
        frmOpenSave::unload();
        const bool busy = QGuiApplication::overrideCursor() != nullptr;
        modCofra::SetBusyCursor(false);
        QVERIFY2(!busy && QSqlDatabase::connectionNames().isEmpty(), "a busy pointer or a connection stayed");
    }

    void storesFindsAndDeletes() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        const QString big = QString(1 << 20, QChar('7')) + QStringLiteral("\r\n\u00e9\u20ac");
        qint64 stored = 0;
        QVERIFY(modCofra::StoreEntry(0, "O'Brien", "his hint", big, &stored));
        QCOMPARE(stored, 1);
        QVERIFY(modCofra::StoreEntry(0, "\u00c4PFEL", "", "7375EC2E7"));
        sql("INSERT INTO tblCofra (strName) VALUES ('Bare')");
        // Names match without regard to the case of any letter, and never by injection.
        for (const auto& [name, id] : QList<QPair<QString, qint64>>{{"o'brien", 1},
                                                                    {"\u00e4pfel", 2},
                                                                    {"\u00c4pfel", 2},
                                                                    {"Bare", 3},
                                                                    {"bar", 0},
                                                                    {"x' OR '1'='1", 0}})
            QCOMPARE(modCofra::FindEntryID(name), std::optional<qint64>(id));
        QString name = "old", hint = "old", text = "old";
        QVERIFY(modCofra::LoadEntry(1, name, hint, text));
        QCOMPARE(QStringList({name, hint, text}), QStringList({"O'Brien", "his hint", big}));
        QVERIFY(modCofra::LoadEntry(3, name, hint, text));
        QCOMPARE(QStringList({name, hint, text}), QStringList({"Bare", "", ""}));
        QCOMPARE(boxes.shown().size(), 0);

        // A row that is gone: deleting it by id alone asks, and fails.
        QVERIFY(modCofra::DeleteRecord("tblCofra", "lngID", 2));
        queue(boxes, {Retry, Abort});
        const store::Outcome lost = modCofra::DeleteRecord("tblCofra", "lngID", 2);
        QVERIFY(!lost &&
                lost.error.startsWith("Error: 101 - There is no entry with the id 2\r\nFrom: tblCofra."));
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(sql("SELECT lngID, strName FROM tblCofra ORDER BY 1"), (QStringList{"1|O'Brien", "3|Bare"}));
    }

    // Every row with a name is listed, however many there are and however many have none.
    void listingHasNoLimits() {
        ProgramFolder folder;
        sql(manyRows().arg("101", "NULLIF(i, i)"));
        sql(manyRows().arg("10001", "printf('n%05d', i)"));
        PlainList names;
        QVERIFY(list(names, "n10001", true));
        QCOMPARE(names.count(), 10001);
        QCOMPARE(names.current, 10000);
        QString name, hint, text;
        QVERIFY(modCofra::LoadEntry(names.itemData(10000), name, hint, text));
        QCOMPARE(name, "n10001");
    }

    void brokenDatabases_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("zero bytes") << "zero bytes"
                                    << "is empty (0 bytes)";
        QTest::newRow("garbage") << "garbage"
                                 << "is not an entry database";
        QTest::newRow("no table") << "no table"
                                  << "holds no table of entries";
        QTest::newRow("folder") << "folder"
                                << "is a folder, not the entry database file";
        QTest::newRow("missing") << "missing"
                                 << "is missing";
        QTest::newRow("locked") << "locked"
                                << "Another program is using the entry database";
        // A file format write version above 2, which the engine only reads: permissions would not stop root.
        QTest::newRow("read-only") << "read-only"
                                   << "can only be read";
    }
    // Each procedure says once which file is at fault and why, answers with a
    // failure, and neither the file nor its folder changes.
    void brokenDatabases() {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        ProgramFolder folder;
        ScriptedMessages boxes;
        QVERIFY(modCofra::StoreEntry(0, "Kept", "h", "7370A"));
        QFile file(folder.databasePath());
        if (fault == "read-only")
            QVERIFY(file.open(QFile::ReadWrite) && file.seek(18) && file.putChar(3));
        else if (fault == "no table")
            sql("DROP TABLE tblCofra");
        else if (fault != "locked")
            QVERIFY(file.remove());
        QVERIFY(fault != "folder" || QDir().mkdir(file.fileName()));
        QVERIFY(fault != "zero bytes" || file.open(QFile::WriteOnly));
        QVERIFY(fault != "garbage" || (file.open(QFile::WriteOnly) && file.write(QByteArray(9999, 'G')) > 0));
        file.close();
        const QByteArray before = snapshot();
        QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
        locker.setDatabaseName(folder.databasePath());
        QVERIFY(fault != "locked" || (locker.open() && QSqlQuery(locker).exec("BEGIN EXCLUSIVE")));

        QString name = "old", hint = "old", text = "old";
        PlainList names;
        const bool readable = fault == "read-only";
        const QList<std::tuple<const char*, bool, std::function<bool()>>> calls = {
            {"load", readable, [&] { return bool(modCofra::LoadEntry(1, name, hint, text)); }},
            {"find", readable, [&] { return modCofra::FindEntryID("kept") == std::optional<qint64>(1); }},
            {"list", readable, [&] { return list(names) && names.names() == QStringList{"Kept"}; }},
            {"store", false, [&] { return bool(modCofra::StoreEntry(0, "New", "h", "7370B")); }},
            {"delete", false, [&] { return bool(modCofra::DeleteRecord("tblCofra", "lngID", 1)); }},
        };
        for (const auto& [procedure, works, call] : calls) {
            queue(boxes, {Abort});
            QVERIFY2(call() == works, procedure);
            QCOMPARE(boxes.shown().size(), works ? 0 : 1);
            const QString shown = boxes.shown().value(0).text;
            QVERIFY2(works || (shown.contains(reason) &&
                               shown.contains(QDir::toNativeSeparators(file.fileName()))),
                     qPrintable(shown));
        }
        QCOMPARE(QStringList({name, hint, text}),
                 readable ? QStringList({"Kept", "h", "7370A"}) : QStringList(3, "old"));
        locker.close();
        locker = QSqlDatabase();
        QSqlDatabase::removeDatabase("locker");
        QCOMPARE(snapshot(), before);
    }

    void deleteLeavesNoTrace_data() {
        QTest::addColumn<QString>("journal");
        QTest::newRow("rollback journal") << "DELETE";
        QTest::newRow("write-ahead log") << "WAL";
    }
    // Name, hint and ciphertext of a deleted entry are in none of the database's files.
    void deleteLeavesNoTrace() {
        QFETCH(QString, journal);
        ProgramFolder folder;
        // Another tool's connection keeps the log alive after the program's connections close.
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(folder.databasePath());
        QVERIFY(other.open() && QSqlQuery(other).exec("PRAGMA journal_mode = " + journal));
        const QString cipher = "737" + QString(3000, 'D') + "C0FFEE";
        QVERIFY(modCofra::StoreEntry(0, "Gone Name", "gone hint", cipher));
        QVERIFY(modCofra::StoreEntry(0, "Kept Name", "kept hint", "737ABCDEF0"));
        QVERIFY(snapshot().contains("Gone Name") && snapshot().contains("C0FFEE"));
        QVERIFY(modCofra::DeleteRecord("tblCofra", "lngID", 1));
        const QByteArray files = snapshot();
        for (const char* trace : {"Gone Name", "gone hint", "DDDDDDDDC0FFEE"})
            QVERIFY2(!files.contains(trace), trace);
        QVERIFY(files.contains("Kept Name") && files.contains("kept hint"));
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other");
    }

    void chooserOpensSavesAndDeletes() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        showChooser(false);
        QSignalSpy opened(frmOpenSave::loaded(), &frmOpenSave::openChosen);
        click("cmdOpen"); // nothing listed: nothing to open or delete
        click("cmdDelete");
        QCOMPARE(opened.size() + boxes.shown().size(), 0);

        sql("INSERT INTO tblCofra (strName) VALUES ('First'),('beta'),('Same'),('Alpha'),('Same'),('gamma')");
        sql("INSERT INTO tblCofra (lngID, strName) VALUES (4294967297, 'Far')");
        modCofra::DeleteRecord("tblCofra", "lngID", 1);
        QCOMPARE(showChooser(false), 0); // no row has id 1
        QCOMPARE(frmOpenSave::loaded()->windowTitle() +
                     frmOpenSave::loaded()->findChild<QPushButton*>("cmdOpen")->text(),
                 "Open&Open");
        QCOMPARE(chooserNames(), (QStringList{"Alpha", "beta", "Far", "gamma", "Same", "Same"}));

        // Open, Enter and double-click hand over the selected row's own id, also
        // for a repeated name and for an id beyond 32 bits.
        QSignalSpy chosen(frmOpenSave::loaded(), &frmOpenSave::openChosen);
        clickRow(4);
        click("cmdOpen");
        clickRow(5);
        QTest::keyClick(lstNames(), Qt::Key_Return);
        clickRow(2);
        QTest::mouseDClick(lstNames()->viewport(), Qt::LeftButton, {}, rowAt(2));
        QCOMPARE(static_cast<const QList<QVariantList>&>(chosen),
                 (QList<QVariantList>{{3, "Same"}, {5, "Same"}, {4294967297LL, "Far"}}));
        modCofra::SetBusyCursor(false);

        // The entry remembered by id or by its exact name is selected, otherwise the first.
        QCOMPARE(showChooser(false, "", 4294967297LL), 2);
        QCOMPARE(showChooser(false, "", 6), 3);
        QCOMPARE(showChooser(false, "GAMMA"), 0);
        QCOMPARE(showChooser(false, "gamma"), 3);
        queue(boxes, {No, Yes});
        click("cmdDelete");
        click("cmdDelete");
        QCOMPARE(boxes.shown().value(1).text, "Delete gamma?\r\nAre you sure?");
        QCOMPARE(chooserNames(), (QStringList{"Alpha", "beta", "Far", "Same", "Same"}));
        clickRow(2);
        queue(boxes, {Yes});
        click("cmdDelete");
        QCOMPARE(sql("SELECT count(*) FROM tblCofra WHERE lngID > 4294967296"), QStringList{"0"});
        QCOMPARE(sql("SELECT count(*) FROM tblCofra"), QStringList{"4"});

        showChooser(true, "beta");
        QSignalSpy saved(frmOpenSave::loaded(), &frmOpenSave::saveChosen);
        auto* txtName = frmOpenSave::loaded()->findChild<QLineEdit*>("txtName");
        QTRY_COMPARE(txtName->selectedText(), "beta");
        txtName->clear();
        QTest::keyClick(txtName, Qt::Key_Return); // no name, nothing to save
        QTest::keyClicks(txtName, QString(60, QChar('x')));
        QTest::keyClick(txtName, Qt::Key_Return);
        QCOMPARE(static_cast<const QList<QVariantList>&>(saved),
                 QList<QVariantList>{{QString(50, QChar('x'))}});
        QTest::keyClick(txtName, Qt::Key_Escape); // closes, and the pointer is no longer busy
        QVERIFY(!frmOpenSave::loaded());
    }
};

QTEST_MAIN(tst_EntryStore)
#include "tst_entrystore.moc"
