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

using Failure = FaultyDisk::Failure;

struct Row {
    qint64 id;
    QString name, hint, text;
    QString line() const {
        return QStringList{QString::number(id), name, hint, legacyEntry(name, text)}.join('|');
    }
};

// Three entries, the second long enough to spill over several pages.
const QList<Row> startRows{{1, "O'Brien", "his hint", "short note"},
                           {2, "\u00c4PFEL", "fruit", QString(9000, QChar('a')) + "\u00e9nd"},
                           {3, "Bare", "", "x"}};
const Row newRow{4, "New", "new hint", QString(5000, QChar('n'))};
const Row replacement{2, "\u00c4PFEL", "other", QString(7000, QChar('b')) + "\u20ac"};

QStringList lines(const QList<Row>& rows) {
    QStringList all;
    for (const Row& row : rows)
        all << row.line();
    return all;
}

bool save(qint64 id, const Row& row, qint64* storedId = nullptr) {
    return bool(modCofra::StoreEntry(id, row.name, row.hint, legacyEntry(row.name, row.text), storedId));
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
// reported success and whether it answered right (for the procedures that
// read: with what the unchanged file holds, or with nothing when it failed).
struct Operation {
    const char* name;
    QList<Row> after; // the rows once it is done
    std::function<std::pair<bool, bool>()> run;
    bool logFile = false; // the file is in write-ahead-log mode, as another tool may leave it
};

const QList<Operation> operations{
    {"save new",
     {startRows[0], startRows[1], startRows[2], newRow},
     [] {
         qint64 id = 0;
         const bool ok = save(0, newRow, &id);
         return std::pair{ok, !ok || id == newRow.id};
     }},
    {"replace",
     {startRows[0], replacement, startRows[2]},
     [] {
         return std::pair{save(2, replacement), true};
     }},
    {"delete",
     {startRows[0], startRows[2]},
     [] {
         return std::pair{bool(modCofra::DeleteRecord("tblCofra", "lngID", 2)), true};
     }},
    // The delete then also empties the log, so that no copy of the entry stays in it.
    {"delete by name, log file",
     {startRows[0], startRows[2]},
     [] {
         return std::pair{bool(modCofra::DeleteRecord("tblCofra", "lngID", 2, "strName", "\u00e4pfel")),
                          true};
     },
     true},
    {"list", startRows,
     [] {
         PlainList list;
         const bool ok = bool(modCofra::FillListFromTable(list, "tblCofra", "lngID", "strName", "1", false));
         QStringList names;
         for (const auto& item : list.items)
             names << QStringLiteral("%1 %2").arg(item.id).arg(item.text);
         return std::pair{ok,
                          names == (ok ? QStringList{"1 O'Brien", "2 \u00c4PFEL", "3 Bare"} : QStringList())};
     }},
    {"load", startRows,
     [] {
         QStringList read(3, "kept");
         const bool ok = bool(modCofra::LoadEntry(2, read[0], read[1], read[2]));
         const Row& two = startRows[1];
         return std::pair{ok, read == (ok ? QStringList{two.name, two.hint, legacyEntry(two.name, two.text)}
                                          : QStringList(3, "kept"))};
     }},
    {"lookup", startRows,
     [] {
         // Without regard to the case of a letter outside ASCII.
         const std::optional<qint64> id = modCofra::FindEntryID("\u00e4pfel");
         return std::pair{id.has_value(), id.value_or(2) == 2};
     }},
};

struct FaultKind {
    const char* name;
    FaultyDisk::Call call;
    Failure failure;
    const char* words; // what the error box must say right after the file's name
};

// Not among them: a short read in the middle of a file. The engine takes a
// short read for the end of the file and reads zeros past it, so rows vanish
// from its answers without an error, and a write to that page damages the
// file. The system's file layer never gives one there: it reads a partly
// read range again, and a failing disk reaches the engine as a read error.
const FaultKind faultKinds[] = {
    {"write error", FaultyDisk::Write, Failure::Error, " could not be written"},
    {"write short, disk full", FaultyDisk::Write, Failure::Full, " is full."},
    {"sync error", FaultyDisk::Sync, Failure::Error, " could not be written"},
    {"sync, disk full", FaultyDisk::Sync, Failure::Full, " is full."},
    {"truncate error", FaultyDisk::Truncate, Failure::Error, " could not be written"},
    {"file size error", FaultyDisk::FileSize, Failure::Error, " could not be read"},
    {"read error", FaultyDisk::Read, Failure::Error, " could not be read"},
    {"open refused", FaultyDisk::Open, Failure::Error, ", or the journal the program keeps beside it"},
    {"delete error", FaultyDisk::Delete, Failure::Error, " could not be written"},
};

} // namespace

class tst_StoreFaults : public QObject {
    Q_OBJECT

    QTemporaryDir m_template;
    QList<platform::MessageBoxSpec> m_shown;
    QMessageBox::StandardButton m_answer = QMessageBox::Abort;

    QString templateFile(bool logFile) const { return m_template.filePath(logFile ? "log.db" : "start.db"); }
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
        for (const Row& row : startRows)
            QVERIFY(save(0, row));
        QVERIFY(QFile::copy(folder.databasePath(), templateFile(false)));
        QCOMPARE(sql("PRAGMA journal_mode = WAL"), QStringList{"wal"});
        QVERIFY(QFile::copy(folder.databasePath(), templateFile(true)));
    }
    void cleanupTestCase() { platform::MessageBoxes::setResponder({}); }

    // Without the layer in the path, or with arming doing nothing, every case below would pass untested.
    void layerIsInThePath() {
        ProgramFolder folder;
        QVERIFY(freshDatabase(templateFile(false)));
        const int reads = FaultyDisk::calls(FaultyDisk::Read), writes = FaultyDisk::calls(FaultyDisk::Write);
        QVERIFY(operations[0].run().first);
        QVERIFY(FaultyDisk::calls(FaultyDisk::Read) > reads && FaultyDisk::calls(FaultyDisk::Write) > writes);
        m_shown.clear();
        FaultyDisk::arm({FaultyDisk::Open, Failure::Error, 1, true});
        QVERIFY(!operations.back().run().first);
        FaultyDisk::disarm();
        QCOMPARE(m_shown.size(), 1);
    }

    void everyStepOfEveryOperation_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("persistent");
        QTest::addColumn<int>("answer");
        const std::pair<QMessageBox::StandardButton, const char*> answers[] = {
            {QMessageBox::Abort, "Abort"}, {QMessageBox::Retry, "Retry"}, {QMessageBox::Ignore, "Ignore"}};
        for (int op = 0; op < operations.size(); ++op)
            for (int kind = 0; kind < int(std::size(faultKinds)); ++kind)
                for (const bool persistent : {false, true})
                    for (const auto& [answer, answerName] : answers)
                        QTest::addRow("%s, %s%s, %s", operations[op].name, faultKinds[kind].name,
                                      persistent ? " until answered" : " once", answerName)
                            << op << kind << persistent << int(answer);
    }
    // Abort and Ignore leave the file as it was; Retry, with the disk sound
    // again, completes the procedure once.
    void everyStepOfEveryOperation() {
        QFETCH(int, operation);
        QFETCH(int, kind);
        QFETCH(bool, persistent);
        QFETCH(int, answer);
        const Operation& op = operations[operation];
        const FaultKind& fault = faultKinds[kind];
        m_answer = QMessageBox::StandardButton(answer);
        ProgramFolder folder;
        const QString path = QDir::toNativeSeparators(QFileInfo(folder.databasePath()).absoluteFilePath());
        const QString words = '"' + path + '"' + fault.words;
        for (int nth = 1;; ++nth) {
            QVERIFY(freshDatabase(templateFile(op.logFile)));
            m_shown.clear();
            FaultyDisk::arm({fault.call, fault.failure, nth, persistent});
            const auto [ok, answeredRight] = op.run();
            const bool met = FaultyDisk::failures() > 0;
            FaultyDisk::disarm();
            const auto where = qScopeGuard([nth] {
                if (QTest::currentTestFailed())
                    qWarning("with the fault at call %d", nth);
            });
            // Looked at before the test's own connection closes, which would clear the log: once
            // done, no file holds the text of an entry that is gone.
            for (const Row& row : startRows)
                QVERIFY(!ok || lines(op.after).contains(row.line()) ||
                        !traceOf(legacyEntry(row.name, row.text)));

            QCOMPARE(sql("PRAGMA integrity_check"), QStringList{"ok"});
            const QStringList rows =
                sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra ORDER BY lngID");
            // The log's clearing comes after the delete, so a failure of it leaves the entry deleted.
            const bool deletedAnyway = op.logFile && !m_shown.isEmpty() && rows == lines(op.after);
            QCOMPARE(rows, lines(ok || deletedAnyway ? op.after : startRows));
            QVERIFY(answeredRight);
            // A fault the engine worked around needs no word; any other is told once, and
            // Retry on a sound disk then completes the procedure. Without the fault: no word.
            QVERIFY(m_shown.isEmpty() ? ok
                                      : met && m_shown.size() == 1 && ok == (m_answer == QMessageBox::Retry));
            for (const platform::MessageBoxSpec& box : m_shown) {
                QCOMPARE(box.title, "An Error Occured!");
                QVERIFY2(box.text.contains(words), qPrintable(box.text));
            }
            if (!met)
                break;
        }
    }
};

QTEST_MAIN(tst_StoreFaults)
#include "tst_storefaults.moc"
