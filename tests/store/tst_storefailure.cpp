// The words of the error box for every state of the file and every code the
// engine answers with: the file's own state first, then what the engine said.
#include "store/StoreFailure.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Busy = 5, Locked = 6, ReadOnly = 8, IoError = 10, Corrupt = 11, Full = 13, CantOpen = 14,
              NotADatabase = 26;
constexpr int io(int kind) {
    return IoError | kind << 8;
}

} // namespace

class tst_StoreFailure : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString make(const QString& name, const QByteArray& content) const {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? file.fileName()
                                                                                        : QString();
    }

private slots:
    void explainsTheFileThenTheCode_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("words"); // %1: the file, %2: its folder
        QVERIFY(QDir(m_dir.path()).mkdir("folder.db"));
        const QString sound = make("sound.db", QByteArray("SQLite format 3\0rest of the file", 32));
        const QString empty = make("empty.db", {}), other = make("notes.db", "SQLite format 2 and notes");
        const QString noFolder = m_dir.filePath("gone/QorCofra.db");
        const QString missing = m_dir.filePath("missing.db");
        const auto row = [](const char* name, const QString& file, int code, const QString& words,
                            const QString& description = QString()) {
            QTest::newRow(name) << file << code << description << words;
        };
        // The file's state decides, whatever the engine said.
        row("no folder", noFolder, IoError,
            "The folder %2 that should hold the entry database does not exist.");
        row("missing", missing, CantOpen, "The entry database %1 is missing.");
        row("a folder", m_dir.filePath("folder.db"), CantOpen,
            "%1 is a folder, not the entry database file.");
        row("empty", empty, NotADatabase, "The entry database %1 is empty (0 bytes)");
        row("not a database", other, NotADatabase, "%1 is not an entry database: the file is damaged");
        // A sound file: the engine's code, and for a disk error the operation.
        row("busy", sound, Busy, "Another program is using the entry database %1");
        row("locked", sound, Locked, "Another program is using the entry database %1");
        row("read-only engine", sound, ReadOnly, "The entry database %1 can only be read");
        row("open refused", sound, CantOpen,
            "%1, or the journal the program keeps beside it while writing, "
            "could not be opened: the system refused it.");
        row("full", sound, Full, "The disk that holds the entry database %1 is full.");
        for (const int kind : {1, 2, 7})
            row(qPrintable(QStringLiteral("read kind %1").arg(kind)), sound, io(kind),
                "The entry database %1 could not be read: the disk reported an error while reading it.");
        for (const int kind : {3, 4, 5, 6, 10})
            row(qPrintable(QStringLiteral("write kind %1").arg(kind)), sound, io(kind),
                "The entry database %1 could not be written: the disk reported an error while writing");
        row("other disk error", sound, io(12), "The entry database %1 could not be read or written");
        row("damaged page", sound, Corrupt, "what the disk gave back is damaged. If Retry does not help");
        row("damaged header", sound, NotADatabase, "what the disk gave back is damaged.");
        row("no table", sound, 1, "%1 holds no table of entries", "no such table: tblCofra");
        row("no column", sound, 1, "%1 holds no table of entries", "no such column: strEntry");
        row("other error", sound, 1, "The entry database %1 could not be used.", "near \"x\": syntax error");
        row("unknown code", sound, 999, "The entry database %1 could not be used.");
        // An entry another copy deleted meanwhile is no fault of the file.
        row("no row", missing, store::NoRowCode,
            "The entry is no longer in the database: it may have been "
            "deleted meanwhile");
    }
    void explainsTheFileThenTheCode() {
        QFETCH(QString, file);
        QFETCH(int, code);
        QFETCH(QString, description);
        QFETCH(QString, words);
        const auto quoted = [](const QString& path) { return '"' + QDir::toNativeSeparators(path) + '"'; };
        const QString expected =
            QString(words).replace("%1", quoted(file)).replace("%2", quoted(QFileInfo(file).absolutePath()));
        const QString text = store::explainError({code, description, "SQLite"}, file);
        QVERIFY2(text.contains(expected), qPrintable(text));
        QCOMPARE(store::errorText({code, description, "SQLite"}, file),
                 QStringLiteral("Error: %1 - %2\r\nFrom: SQLite.\r\n\r\n").arg(code).arg(description) + text);
    }

    // The engine's code where it gave one, otherwise the driver is the source.
    void fromTheDriversError() {
        const store::StoreError engine = store::fromSqlError(
            QSqlError("driver words", "disk I/O error", QSqlError::StatementError, QStringLiteral("778")));
        QCOMPARE(engine.number, 778);
        QCOMPARE(engine.description + engine.component, "disk I/O errorSQLite");
        const store::StoreError driver = store::fromSqlError(QSqlError("Driver not loaded", {}));
        QCOMPARE(driver.number, 0);
        QCOMPARE(driver.description + driver.component, "Driver not loadedQSQLITE");
        QCOMPARE(store::fromSqlError(QSqlError()).description, "the database is not open");
        const store::StoreError noRow = store::noRowError(42);
        QCOMPARE(noRow.number, store::NoRowCode);
        QVERIFY(noRow.description.contains("42"));
    }
};

QTEST_GUILESS_MAIN(tst_StoreFailure)
#include "tst_storefailure.moc"
