#include "store/EntryList.h"
#include "store/EntryStore.h"
#include "store/StoreErrorBox.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QtTest>
#include <algorithm>

namespace {

// A list that sorts itself, as the chooser's does.
class SortedList : public store::EntryList {
public:
    QList<store::EntryListItem> items;
    int current = -1;
    void clear() override { items.clear(), current = -1; }
    void addItems(const QList<store::EntryListItem>& added) override {
        items += added;
        std::stable_sort(items.begin(), items.end(), [](auto& a, auto& b) { return a.text < b.text; });
    }
    int count() const override { return int(items.size()); }
    QString itemText(int index) const override { return items[index].text; }
    qint32 itemData(int index) const override { return items[index].id; }
    void setCurrentIndex(int index) override { current = index; }
};

SortedList listed(const QString& wanted = QStringLiteral("1"), bool byText = false) {
    SortedList list;
    modCofra::FillListFromTable(list, "tblCofra", "lngID", "strName", wanted, byText);
    return list;
}

const QString BoxTitle = QStringLiteral("An Error Occured!");

} // namespace

class tst_EntryStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { store::installErrorBox(); }
    void cleanup() { QVERIFY2(QSqlDatabase::connectionNames().isEmpty(), "a connection outlived its call"); }

    void namesAreBoundAndFoundWithoutRegardToCase() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        QCOMPARE(modCofra::FindEntryID("O'Brien"), 0);
        const QString big = QString(1 << 20, QChar('7')) + QStringLiteral("\r\n\u00e9\u20ac");
        QVERIFY(modCofra::StoreEntry(0, "O'Brien", "his hint", big).isEmpty());
        QVERIFY(modCofra::StoreEntry(0, "Second", "", "two").isEmpty());
        const qint32 id = modCofra::FindEntryID("O'Brien");
        QVERIFY(id != 0);
        QCOMPARE(modCofra::FindEntryID("o'brien"), id);
        QVERIFY(modCofra::FindEntryID("Second") > id);
        QCOMPARE(modCofra::FindEntryID("x' OR '1'='1"), 0);
        QCOMPARE(modCofra::FindEntryID("Nobody"), 0);
        QString name, hint, text;
        QVERIFY(modCofra::LoadEntry(id, name, hint, text).isEmpty());
        QCOMPARE(name, "O'Brien");
        QCOMPARE(hint, "his hint");
        QVERIFY(text == big);
        QCOMPARE(boxes.shown().size(), 0);
    }

    void nullFieldsReadAsEmpty() {
        ProgramFolder folder;
        QVERIFY(sqlExec(folder.databasePath(), "INSERT INTO tblCofra (strName) VALUES ('Bare');"));
        QString name, hint = "old", text = "old";
        QVERIFY(modCofra::LoadEntry(modCofra::FindEntryID("Bare"), name, hint, text).isEmpty());
        QCOMPARE(name, "Bare");
        QVERIFY(hint.isEmpty() && text.isEmpty());
    }

    // Abort, Retry and Ignore on a row that was deleted meanwhile: nothing is written.
    void storeToDeletedEntryWritesNothing() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        modCofra::StoreEntry(0, "Gone", "h", "7370A");
        modCofra::StoreEntry(0, "Kept", "h", "7370B");
        const qint32 gone = modCofra::FindEntryID("Gone");
        modCofra::DeleteRecord("tblCofra", "lngID", gone);
        const QString expected =
            QStringLiteral("Error: 101 - There is no entry with the id %1\r\nFrom: tblCofra.").arg(gone);
        boxes.queue(QMessageBox::Retry);
        boxes.queue(QMessageBox::Abort);
        QCOMPARE(modCofra::StoreEntry(gone, "Gone", "h", "7370C"), expected);
        boxes.queue(QMessageBox::Ignore);
        QCOMPARE(modCofra::StoreEntry(gone, "Gone", "h", "7370C"), expected);
        QCOMPARE(boxes.shown().size(), 3);
        for (const platform::MessageBoxSpec& box : boxes.shown()) {
            QCOMPARE(box.title, BoxTitle);
            QCOMPARE(box.text, expected);
            QCOMPARE(box.icon, platform::MsgIcon::Exclamation);
            QCOMPARE(box.buttons, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
            QCOMPARE(box.defaultButton, QMessageBox::Retry);
        }
        QCOMPARE(sqlRows(folder.databasePath(), "SELECT strName, strEntry FROM tblCofra"),
                 QStringList{"Kept|7370B"});
    }

    void deletedEntryLeavesNoCiphertextInTheFile() {
        ProgramFolder folder;
        const QString secret = QStringLiteral("737") + QString(4000, QChar('C')) + QStringLiteral("5EC2E7");
        modCofra::StoreEntry(0, "Secret", "h", secret);
        modCofra::StoreEntry(0, "Other", "h", "7371234");
        QVERIFY(fileBytes(folder.databasePath()).contains("5EC2E7"));
        modCofra::DeleteRecord("tblCofra", "lngID", modCofra::FindEntryID("Secret"));
        QCOMPARE(modCofra::FindEntryID("Secret"), 0);
        QVERIFY(!fileBytes(folder.databasePath()).contains("5EC2E7"));
    }

    void listingStopsAtItsLimits() {
        ProgramFolder folder;
        QStringList rows;
        for (int n = 1; n <= 10005; ++n)
            rows << QStringLiteral("n%1").arg(n, 5, 10, QChar('0'));
        QVERIFY(insertNames(folder.databasePath(), rows));
        const SortedList list = listed();
        QCOMPARE(list.count(), 10000);
        QCOMPARE(list.itemText(9999), "n10000");

        ProgramFolder empties;
        rows = QStringList{"b", "a"};
        for (int n = 0; n < 100; ++n)
            rows << (n % 2 ? QString() : QStringLiteral(""));
        rows << "after100" << QString() << "after101";
        QVERIFY(insertNames(empties.databasePath(), rows));
        const SortedList limited = listed();
        QStringList texts;
        for (const auto& item : limited.items)
            texts << item.text;
        QCOMPARE(texts, (QStringList{"a", "after100", "b"}));
    }

    // Each entry carries its own row's id, so every one of a repeated name opens its own row.
    void selectionAndRepeatedNames() {
        ProgramFolder folder;
        QVERIFY(insertNames(folder.databasePath(), {"First", "Same", "Same", "Zed"}));
        modCofra::DeleteRecord("tblCofra", "lngID", modCofra::FindEntryID("First"));
        SortedList list = listed("1");
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.current, 0);
        QCOMPARE(QSet<qint32>({list.itemData(0), list.itemData(1)}), (QSet<qint32>{2, 3}));
        QCOMPARE(listed("4").current, 2);
        QCOMPARE(listed("Zed", true).current, 2);
        QCOMPARE(listed("zed", true).current, 0);
        for (int index : {0, 1}) {
            QString name, hint, text;
            modCofra::LoadEntry(list.itemData(index), name, hint, text);
            QCOMPARE(name, "Same");
        }
    }

    void faultsLoseNothing_data() {
        QTest::addColumn<QString>("fault");
        for (const char* fault : {"missing", "unreadable", "read-only", "garbage"})
            QTest::newRow(fault) << QString::fromLatin1(fault);
    }
    // A broken database file: lookups come back empty without a word, the guarded
    // procedures ask, and neither the file nor its folder changes.
    void faultsLoseNothing() {
        QFETCH(QString, fault);
        ProgramFolder folder;
        ScriptedMessages boxes;
        modCofra::StoreEntry(0, "Kept", "h", "7370A");
        QVERIFY(breakDatabase(folder.databasePath(), fault));
        const bool readable = fault == "read-only";
        const QByteArray before = folderSnapshot(folder.path());

        QCOMPARE(modCofra::FindEntryID("Kept"), readable ? 1 : 0);
        QCOMPARE(listed().count(), readable ? 1 : 0);
        QCOMPARE(boxes.shown().size(), 0);

        QString name = "mine", hint = "mine", text = "mine";
        boxes.queue(QMessageBox::Abort);
        const QString loaded = modCofra::LoadEntry(1, name, hint, text);
        QCOMPARE(boxes.shown().size(), readable ? 0 : 1);
        QCOMPARE(name, readable ? "Kept" : "mine");
        QCOMPARE(loaded.isEmpty(), readable);
        boxes.clear();

        boxes.queue(QMessageBox::Retry);
        boxes.queue(QMessageBox::Abort);
        const QString stored = modCofra::StoreEntry(0, "New", "h", "7370B");
        QCOMPARE(boxes.shown().size(), 2);
        QVERIFY2(stored.startsWith("Error: ") && stored.contains("\r\nFrom: ") && stored.endsWith('.'),
                 qPrintable(stored));
        QCOMPARE(boxes.shown()[1].text, stored);
        boxes.clear();

        for (int n = 0; n < 3; ++n)
            boxes.queue(QMessageBox::Ignore);
        modCofra::DeleteRecord("tblCofra", "lngID", 1);
        QVERIFY(boxes.shown().size() >= 1);
        QCOMPARE(boxes.unexpected(), 0);
        QCOMPARE(boxes.shown()[0].title, BoxTitle);

        QCOMPARE(folderSnapshot(folder.path()), before);
        if (fault == "read-only")
            QCOMPARE(sqlRows(folder.databasePath(), "SELECT strName FROM tblCofra"), QStringList{"Kept"});
    }
};

QTEST_MAIN(tst_EntryStore)
#include "tst_entrystore.moc"
