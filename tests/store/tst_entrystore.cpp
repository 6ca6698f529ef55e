// What the failing-disk test (tst_storefaults) leaves to the entry database's
// procedures: names, sizes and broken files; and the entry chooser that lists
// the entries.
#include "flows/StoreErrorBox.h"
#include "platform/AppPath.h"
#include "platform/BusyCursor.h"
#include "store/EntryList.h"
#include "tests/flows/Driving.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using enum QMessageBox::StandardButton;

class tst_EntryStore : public QObject, Driving {
    Q_OBJECT
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
        bool fill(const QString& wanted = "1", bool byText = false) {
            return bool(modCofra::FillListFromTable(*this, "tblCofra", "lngID", "strName", wanted, byText));
        }
    };
    // The names in the program folder, and the bytes of every file of the database.
    static QByteArray snapshot() {
        QByteArray all =
            QDir(modCofra::strAppPath).entryList(QDir::AllEntries | QDir::Hidden).join('/').toUtf8();
        for (const char* suffix : {"", "-wal", "-journal", "-shm"})
            if (QFile file(store::databasePath() + suffix); file.open(QIODevice::ReadOnly))
                all += file.readAll();
        return all;
    }
    // A fresh chooser in that mode, remembering that name or id; the row it selects.
    static int showChooser(bool save, const QString& name = {}, qint64 id = 0) {
        frmOpenSave::unload();
        frmOpenSave::shared(nullptr)->show();
        chooser()->DoSaveOpen(save, name, id);
        return lstNames()->currentRow();
    }
    static QPoint rowAt(int row) { return lstNames()->visualItemRect(lstNames()->item(row)).center(); }
    static void clickRow(int row) {
        QTest::mouseClick(lstNames()->viewport(), Qt::LeftButton, {}, rowAt(row));
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

    // Names match without regard to the case of any letter, never as a pattern
    // or by injection; a long text and a row without hint or text load whole;
    // deleting a row that is gone asks, and fails.
    void namesTextsAndGoneRows() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        const QString big = QString(1 << 20, QChar('7')) + "\r\n\u00e9\u20ac";
        QVERIFY(modCofra::StoreEntry(0, "O'Brien", "his hint", big));
        QVERIFY(modCofra::StoreEntry(0, "\u00c4PFEL", "", "7375EC2E7"));
        sql("INSERT INTO tblCofra (strName) VALUES ('Bare')");
        for (const auto& [name, id] : QList<QPair<QString, qint64>>{
                 {"o'brien", 1}, {"\u00c4pfel", 2}, {"bar", 0}, {"x' OR '1'='1", 0}})
            QCOMPARE(modCofra::FindEntryID(name), std::optional<qint64>(id));
        QString name, hint, text;
        QVERIFY(modCofra::LoadEntry(1, name, hint, text));
        QCOMPARE(QStringList({name, hint, text}), QStringList({"O'Brien", "his hint", big}));
        QVERIFY(modCofra::LoadEntry(3, name, hint, text));
        QCOMPARE(QStringList({name, hint, text}), QStringList({"Bare", "", ""}));
        QVERIFY(modCofra::DeleteRecord("tblCofra", "lngID", 2));
        boxes.queue(Retry);
        boxes.queue(Abort);
        const store::Outcome lost = modCofra::DeleteRecord("tblCofra", "lngID", 2);
        QVERIFY(!lost &&
                lost.error.startsWith("Error: 101 - There is no entry with the id 2\r\nFrom: tblCofra."));
        QCOMPARE(boxes.shown().size(), 2);
    }

    // Every row with a name is listed, however many there are and however many have none.
    void listingHasNoLimits() {
        ProgramFolder folder;
        const QString rows = "WITH RECURSIVE n(i) AS (VALUES(1) UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                             "INSERT INTO tblCofra (strName, strEntry) SELECT %2, '7370' FROM n";
        sql(rows.arg("101", "NULLIF(i, i)"));
        sql(rows.arg("10001", "printf('n%05d', i)"));
        PlainList names;
        QVERIFY(names.fill("n10001", true) && names.count() == 10001 && names.current == 10000);
        QString name, hint, text;
        QVERIFY(modCofra::LoadEntry(names.itemData(10000), name, hint, text) && name == "n10001");
    }

    void brokenDatabases_data() {
        QTest::addColumn<QString>("reason");
        // A file format write version above 2, which the engine only reads: permissions would not stop root.
        for (const auto& [fault, reason] : {std::pair{"zero bytes", "is empty (0 bytes)"},
                                            {"garbage", "is not an entry database"},
                                            {"no table", "holds no table of entries"},
                                            {"folder", "is a folder, not the entry database file"},
                                            {"missing", "is missing"},
                                            {"locked", "Another program is using the entry database"},
                                            {"read-only", "can only be read"}})
            QTest::newRow(fault) << QString(reason);
    }
    // Each procedure says once which file is at fault and why, answers with a
    // failure, and neither the file nor its folder changes.
    void brokenDatabases() {
        QFETCH(QString, reason);
        const QString fault = QTest::currentDataTag();
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
        {
            QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
            locker.setDatabaseName(folder.databasePath());
            QVERIFY(fault != "locked" || (locker.open() && QSqlQuery(locker).exec("BEGIN EXCLUSIVE")));
            QString name = "old", hint = "old", text = "old";
            PlainList names;
            const bool reads = fault == "read-only"; // the procedures that only read still work
            const QList<std::pair<bool, std::function<bool()>>> calls = {
                {reads, [&] { return bool(modCofra::LoadEntry(1, name, hint, text)); }},
                {reads, [&] { return modCofra::FindEntryID("kept") == std::optional<qint64>(1); }},
                {reads, [&] { return names.fill() && names.count() == 1 && names.itemText(0) == "Kept"; }},
                {false, [&] { return bool(modCofra::StoreEntry(0, "New", "h", "7370B")); }},
                {false, [&] { return bool(modCofra::DeleteRecord("tblCofra", "lngID", 1)); }},
            };
            for (const auto& [works, call] : calls) {
                boxes.clear();
                boxes.queue(Abort);
                QCOMPARE(call(), works);
                const QString shown = boxes.shown().value(0).text;
                QVERIFY2(boxes.shown().size() == !works &&
                             (works || (shown.contains(reason) &&
                                        shown.contains(QDir::toNativeSeparators(file.fileName())))),
                         qPrintable(shown));
            }
            QCOMPARE(QStringList({name, hint, text}),
                     reads ? QStringList({"Kept", "h", "7370A"}) : QStringList(3, "old"));
        }
        QSqlDatabase::removeDatabase("locker");
        QCOMPARE(snapshot(), before);
    }

    void chooserOpensSavesAndDeletes() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        showChooser(false);
        QSignalSpy none(chooser(), &frmOpenSave::openChosen);
        click(chooser(), "cmdOpen"); // nothing listed: nothing to open or delete
        click(chooser(), "cmdDelete");
        QCOMPARE(none.size() + boxes.shown().size(), 0);

        sql("INSERT INTO tblCofra (strName) VALUES ('First'),('beta'),('Same'),('Alpha'),('Same'),('gamma')");
        sql("INSERT INTO tblCofra (lngID, strName) VALUES (4294967297, 'Far')");
        modCofra::DeleteRecord("tblCofra", "lngID", 1);
        QCOMPARE(showChooser(false), 0); // no row has id 1
        QCOMPARE(listed(), (QStringList{"Alpha", "beta", "Far", "gamma", "Same", "Same"}));
        // Open, Enter and double-click hand over the selected row's own id, also
        // for a repeated name and for an id beyond 32 bits.
        QSignalSpy opened(chooser(), &frmOpenSave::openChosen);
        clickRow(4);
        click(chooser(), "cmdOpen");
        clickRow(5);
        QTest::keyClick(lstNames(), Qt::Key_Return);
        clickRow(2);
        QTest::mouseDClick(lstNames()->viewport(), Qt::LeftButton, {}, rowAt(2));
        QCOMPARE(static_cast<const QList<QVariantList>&>(opened),
                 (QList<QVariantList>{{3, "Same"}, {5, "Same"}, {4294967297LL, "Far"}}));
        modCofra::SetBusyCursor(false);

        // The entry remembered by id or by its exact name is selected, otherwise the first.
        QCOMPARE(showChooser(false, "", 4294967297LL), 2);
        QCOMPARE(showChooser(false, "", 6), 3);
        QCOMPARE(showChooser(false, "GAMMA"), 0);
        QCOMPARE(showChooser(false, "gamma"), 3);
        // Escape in the question keeps the entry, as No does.
        for (const auto answer : {QMessageBox::Escape, No, Yes})
            boxes.queue(answer), click(chooser(), "cmdDelete");
        QCOMPARE(boxes.shown().value(2).text, "Delete gamma?\r\nAre you sure?");
        QCOMPARE(listed(), (QStringList{"Alpha", "beta", "Far", "Same", "Same"}));
        clickRow(2);
        boxes.queue(Yes);
        click(chooser(), "cmdDelete");
        QCOMPARE(sql("SELECT lngID FROM tblCofra ORDER BY 1"), (QStringList{"2", "3", "4", "5"}));

        // A name is at most 50 characters on one line: the line breaks and other
        // control characters of a pasted one become spaces, as the box shows them.
        showChooser(true, "beta");
        QSignalSpy saved(chooser(), &frmOpenSave::saveChosen);
        auto* txtName = in(chooser(), "txtName");
        QTRY_COMPARE(txtName->selectedText(), "beta");
        for (const QString& typed : QStringList{QString(), QString(50, 'y'), QString(51, 'x'), "line1\nline2",
                                                "a\r\n\tb", "\r\nname\n", "x\u2028y"}) {
            txtName->clear(); // without a name, nothing to save
            QGuiApplication::clipboard()->setText(typed);
            QTest::keyClick(txtName, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(txtName, Qt::Key_Return);
        }
        QCOMPARE(static_cast<const QList<QVariantList>&>(saved),
                 (QList<QVariantList>{
                     {QString(50, 'y')}, {QString(50, 'x')}, {"line1 line2"}, {"a b"}, {"name"}, {"x y"}}));
        QTest::keyClick(txtName, Qt::Key_Escape); // closes, and the pointer is no longer busy
        QVERIFY(!chooser());
    }
};

QTEST_MAIN(tst_EntryStore)
#include "tst_entrystore.moc"
