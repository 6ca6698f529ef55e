#include "crypto/TextCipher.h"
#include "flows/StoreErrorBox.h"
#include "platform/MessageBoxes.h"
#include "store/EntryList.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/FaultyDisk.h"
#include "tests/support/ProgramFolder.h"

#include <QDir>
#include <QtTest>

// Every procedure of the store with the disk failing at each of its file
// operations in turn: the first, then the second call of the kind, and so on
// until the procedure runs without meeting the fault. After each run the file
// is opened afresh with the disk sound again, and must hold what it held before
// the procedure or, when the procedure said it was done, what it should hold
// after it; the user must have been told once, in plain words, when it was not.

namespace {

using Fault = FaultyDisk::Fault;
using Failure = FaultyDisk::Failure;

struct Row {
    qint64 id;
    QString name, hint, text;
    QString line() const {
        return QStringList{QString::number(id), name, hint, legacyEntry(name, text)}.join('|');
    }
};

// Three entries, the second long enough to spill over several pages.
const QList<Row>& startRows() {
    static const QList<Row> rows{{1, "O'Brien", "his hint", "short note"},
                                 {2, "\u00c4PFEL", "fruit", QString(9000, QChar('a')) + "\u00e9nd"},
                                 {3, "Bare", "", "x"}};
    return rows;
}
const Row& newRow() {
    static const Row row{4, "New", "new hint", QString(5000, QChar('n'))};
    return row;
}
const Row& replacement() {
    static const Row row{2, "\u00c4PFEL", "other", QString(7000, QChar('b')) + "\u20ac"};
    return row;
}

QStringList lines(const QList<Row>& rows) {
    QStringList all;
    for (const Row& row : rows)
        all << row.line();
    return all;
}

struct PlainList : store::EntryList {
    QList<store::EntryListItem> items;
    void clear() override { items.clear(); }
    void addItems(const QList<store::EntryListItem>& more) override { items += more; }
    int count() const override { return int(items.size()); }
    QString itemText(int index) const override { return items[index].text; }
    qint64 itemData(int index) const override { return items[index].id; }
    void setCurrentIndex(int) override {}
};

// One procedure as the program calls it: it runs, then says whether it
// answered with what the unchanged file holds (for the procedures that read)
// or reported success (for those that write).
struct Operation {
    const char* name;
    QList<Row> after;                           // the rows once it is done
    std::function<std::pair<bool, bool>()> run; // {reported success, answer right}
    bool logFile = false; // the file is in write-ahead-log mode, as another tool may leave it
};

const QList<Operation>& operations() {
    static const QList<Operation> all = [] {
        QList<Row> added = startRows(), replaced = startRows(), deleted = startRows();
        added << newRow();
        replaced[1] = replacement();
        deleted.removeAt(1);
        const Row& two = startRows()[1];
        return QList<Operation>{
            {"save new", added,
             [] {
                 qint64 id = 0;
                 const Row& r = newRow();
                 const bool ok =
                     bool(modCofra::StoreEntry(0, r.name, r.hint, legacyEntry(r.name, r.text), &id));
                 return std::pair{ok, !ok || id == r.id};
             }},
            {"replace", replaced,
             [] {
                 const Row& r = replacement();
                 const bool ok =
                     bool(modCofra::StoreEntry(r.id, r.name, r.hint, legacyEntry(r.name, r.text)));
                 return std::pair{ok, true};
             }},
            {"delete", deleted,
             [] {
                 return std::pair{bool(modCofra::DeleteRecord("tblCofra", "lngID", 2)), true};
             }},
            // The delete then also empties the log, so that no copy of the entry stays in it.
            {"delete by name, log file", deleted,
             [] {
                 return std::pair{
                     bool(modCofra::DeleteRecord("tblCofra", "lngID", 2, "strName", "\u00e4pfel")), true};
             },
             true},
            {"list", startRows(),
             [] {
                 PlainList list;
                 const bool ok =
                     bool(modCofra::FillListFromTable(list, "tblCofra", "lngID", "strName", "1", false));
                 QStringList names;
                 for (const auto& item : list.items)
                     names << QStringLiteral("%1 %2").arg(item.id).arg(item.text);
                 const QStringList expected{"1 O'Brien", "2 \u00c4PFEL", "3 Bare"};
                 return std::pair{ok, ok ? names == expected : names.isEmpty()};
             }},
            {"load", startRows(),
             [two] {
                 QString name = "kept", hint = "kept", text = "kept";
                 const bool ok = bool(modCofra::LoadEntry(2, name, hint, text));
                 const QStringList read{name, hint, text};
                 return std::pair{
                     ok, read == (ok ? QStringList{two.name, two.hint, legacyEntry(two.name, two.text)}
                                     : QStringList(3, "kept"))};
             }},
            {"lookup", startRows(),
             [] {
                 // Without regard to the case of a letter outside ASCII.
                 const std::optional<qint64> id = modCofra::FindEntryID("\u00e4pfel");
                 return std::pair{id.has_value(), !id || *id == 2};
             }},
        };
    }();
    return all;
}

const Operation& operation(const char* name) {
    return *std::find_if(operations().begin(), operations().end(),
                         [name](const Operation& op) { return qstrcmp(op.name, name) == 0; });
}

struct FaultKind {
    const char* name;
    FaultyDisk::Call call;
    Failure failure;
    const char* words; // what the error box must say
};

// Not among them: a short read in the middle of a file. The engine takes a
// short read for the end of the file and reads zeros past it, so rows vanish
// from its answers without an error, and a write to that page damages the
// file. The system's file layer never gives one there: it reads a partly
// read range again, and a failing disk reaches the engine as a read error.
const FaultKind faultKinds[] = {
    {"write error", FaultyDisk::Write, Failure::Error, "could not be written"},
    {"write short, disk full", FaultyDisk::Write, Failure::Short, "is full"},
    {"sync error", FaultyDisk::Sync, Failure::Error, "could not be written"},
    {"sync, disk full", FaultyDisk::Sync, Failure::Full, "is full"},
    {"truncate error", FaultyDisk::Truncate, Failure::Error, "could not be written"},
    {"file size error", FaultyDisk::FileSize, Failure::Error, "could not be read"},
    {"read error", FaultyDisk::Read, Failure::Error, "could not be read"},
    {"open refused", FaultyDisk::Open, Failure::Error, "could not be opened"},
    {"delete error", FaultyDisk::Delete, Failure::Error, "could not be written"},
};

} // namespace

class tst_StoreFaults : public QObject {
    Q_OBJECT

    QTemporaryDir m_template;
    QList<platform::MessageBoxSpec> m_shown;
    QMessageBox::StandardButton m_answer = QMessageBox::Abort;

    QString templateFile(bool logFile = false) const {
        return m_template.filePath(logFile ? "start-log.db" : "start.db");
    }
    // Whether a file of the database still holds the start of `text`.
    static bool traceOf(const QString& text) {
        const QByteArray start = text.left(64).toUtf8();
        for (const char* suffix : {"", "-journal", "-wal"}) {
            QFile file(store::databasePath() + suffix);
            if (file.open(QIODevice::ReadOnly) && file.readAll().contains(start))
                return true;
        }
        return false;
    }
    // The program folder's database as the run starts: the three entries, no journal.
    static bool freshDatabase(const QString& from) {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(store::databasePath() + suffix);
        return QFile::copy(from, store::databasePath());
    }

private slots:
    void initTestCase() {
        // The faults come from the layer, not the disk: a disk in memory keeps
        // the thousand runs' syncs from taking a minute.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            qputenv("TMPDIR", "/dev/shm");
        QVERIFY(FaultyDisk::install());
        store::installErrorBox();
        store::setBusyTimeout(100);
        // The user answers, and by then the disk is sound again (space freed, a cable put back).
        // A second box (only ever a failing case) is answered with Abort, so that no Retry can loop.
        platform::MessageBoxes::setResponder([this](const platform::MessageBoxSpec& box) {
            m_shown << box;
            FaultyDisk::disarm();
            return m_shown.size() == 1 ? m_answer : QMessageBox::Abort;
        });
        ProgramFolder folder;
        for (const Row& row : startRows())
            QVERIFY(modCofra::StoreEntry(0, row.name, row.hint, legacyEntry(row.name, row.text)));
        QCOMPARE(sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra ORDER BY lngID"),
                 lines(startRows()));
        QVERIFY(QFile::copy(folder.databasePath(), templateFile()));
        QCOMPARE(sql("PRAGMA journal_mode = WAL"), QStringList{"wal"});
        QVERIFY(!QFile::exists(folder.databasePath() + "-wal"));
        QVERIFY(QFile::copy(folder.databasePath(), templateFile(true)));
    }
    void cleanupTestCase() { platform::MessageBoxes::setResponder({}); }

    // Without the layer in the path every case below would pass untested.
    void layerIsInThePath() {
        ProgramFolder folder;
        QVERIFY(freshDatabase(templateFile()));
        const int reads = FaultyDisk::calls(FaultyDisk::Read), writes = FaultyDisk::calls(FaultyDisk::Write);
        QVERIFY(operation("save new").run().first);
        QVERIFY(FaultyDisk::calls(FaultyDisk::Read) > reads);
        QVERIFY(FaultyDisk::calls(FaultyDisk::Write) > writes);
        QVERIFY(FaultyDisk::openedFiles().contains(QFileInfo(folder.databasePath()).absoluteFilePath()));
        QVERIFY(FaultyDisk::openedFiles().contains(QFileInfo(folder.databasePath()).absoluteFilePath() +
                                                   "-journal"));
        m_shown.clear();
        FaultyDisk::arm({FaultyDisk::Open, Failure::Error, 1, true});
        QVERIFY(!operation("load").run().first);
        FaultyDisk::disarm();
        QCOMPARE(m_shown.size(), 1);
    }

    void everyStepOfEveryOperation_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("persistent");
        QTest::addColumn<int>("answer");
        for (int op = 0; op < operations().size(); ++op)
            for (int kind = 0; kind < int(std::size(faultKinds)); ++kind)
                for (const bool persistent : {false, true})
                    for (const auto answer : {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore})
                        QTest::addRow("%s, %s%s, %s", operations()[op].name, faultKinds[kind].name,
                                      persistent ? " until answered" : " once",
                                      answer == QMessageBox::Abort   ? "Abort"
                                      : answer == QMessageBox::Retry ? "Retry"
                                                                     : "Ignore")
                            << op << kind << persistent << int(answer);
    }
    // Abort and Ignore leave the file as it was; Retry, with the disk sound
    // again, completes the procedure once.
    void everyStepOfEveryOperation() {
        QFETCH(int, operation);
        QFETCH(int, kind);
        QFETCH(bool, persistent);
        QFETCH(int, answer);
        const Operation& op = operations()[operation];
        const FaultKind& fault = faultKinds[kind];
        m_answer = QMessageBox::StandardButton(answer);
        const bool retry = m_answer == QMessageBox::Retry;
        ProgramFolder folder;
        const QString file = QDir::toNativeSeparators(QFileInfo(folder.databasePath()).absoluteFilePath());
        for (int nth = 1;; ++nth) {
            QVERIFY(freshDatabase(templateFile(op.logFile)));
            m_shown.clear();
            FaultyDisk::arm({fault.call, fault.failure, nth, persistent});
            const auto [ok, answeredRight] = op.run();
            const bool met = FaultyDisk::failures() > 0;
            FaultyDisk::disarm();
            const QString at = QStringLiteral("at call %1").arg(nth);
            // Looked at before the test's own connection closes, which would clear the log.
            for (const Row& row : startRows())
                QVERIFY2(!ok || lines(op.after).contains(row.line()) ||
                             !traceOf(legacyEntry(row.name, row.text)),
                         qPrintable(at + ": done, but the file still holds the text of " + row.name));

            const QStringList check = sql("PRAGMA integrity_check");
            QVERIFY2(check == QStringList{"ok"}, qPrintable(at + ": " + check.join('/')));
            const QStringList rows =
                sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra ORDER BY lngID");
            // The log's clearing comes after the delete, so a failure of it leaves the entry deleted.
            const bool deletedAnyway = op.logFile && !m_shown.isEmpty() && rows == lines(op.after);
            const QStringList expected = lines(ok || deletedAnyway ? op.after : startRows());
            QVERIFY2(rows == expected, qPrintable(at + (ok ? ": done, but the file does not hold it"
                                                           : ": not done, but the file changed")));
            QVERIFY2(answeredRight, qPrintable(at + ": the procedure's answer is wrong"));
            if (!met) {
                QVERIFY2(ok && m_shown.isEmpty(), qPrintable(at + ": failed without meeting the fault"));
                break;
            }
            // A fault the engine worked around needs no word; any other is told once, and
            // Retry on a sound disk then completes the procedure.
            QVERIFY2(m_shown.size() <= 1, qPrintable(at + ": more than one box"));
            QVERIFY2(ok == (m_shown.isEmpty() || retry), qPrintable(at + ": outcome and boxes disagree"));
            if (m_shown.isEmpty())
                continue;
            const platform::MessageBoxSpec& box = m_shown[0];
            QCOMPARE(box.title, "An Error Occured!");
            QVERIFY2(box.text.contains(fault.words) && box.text.contains(file),
                     qPrintable(at + ": " + box.text));
        }
    }
};

QTEST_MAIN(tst_StoreFaults)
#include "tst_storefaults.moc"
