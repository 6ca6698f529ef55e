// The words of the error box for every state of the file and every code the
// engine answers with: the file's own state first, then what the engine said.
#include "store/StoreFailure.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

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
        const QString missing = m_dir.filePath("missing.db");
        const auto row = [](const char* name, const QString& file, int code, const QString& words,
                            const QString& description = QString()) {
            QTest::newRow(name) << file << code << description << words;
        };
        // The file's state decides, whatever the engine said.
        row("no folder", m_dir.filePath("gone/QorCofra.db"), SQLITE_IOERR,
            "The folder %2 that should hold the entry database does not exist.");
        row("missing", missing, SQLITE_CANTOPEN, "The entry database %1 is missing.");
        row("a folder", m_dir.filePath("folder.db"), SQLITE_CANTOPEN,
            "%1 is a folder, not the entry database file.");
        row("empty", empty, SQLITE_NOTADB, "The entry database %1 is empty (0 bytes)");
        row("not a database", other, SQLITE_NOTADB, "%1 is not an entry database: the file is damaged");
        // A sound file: the engine's code, and for a disk error the operation.
        row("busy", sound, SQLITE_BUSY, "Another program is using the entry database %1");
        row("locked", sound, SQLITE_LOCKED, "Another program is using the entry database %1");
        row("read-only engine", sound, SQLITE_READONLY, "The entry database %1 can only be read");
        row("open refused", sound, SQLITE_CANTOPEN,
            "%1, or the journal the program keeps beside it while writing, "
            "could not be opened: the system refused it.");
        row("full", sound, SQLITE_FULL, "The disk that holds the entry database %1 is full.");
        for (const int code : {SQLITE_IOERR_READ, SQLITE_IOERR_SHORT_READ, SQLITE_IOERR_FSTAT})
            row(qPrintable(QStringLiteral("read, code %1").arg(code)), sound, code,
                "The entry database %1 could not be read: the disk reported an error while reading it.");
        for (const int code : {SQLITE_IOERR_WRITE, SQLITE_IOERR_FSYNC, SQLITE_IOERR_DIR_FSYNC,
                               SQLITE_IOERR_TRUNCATE, SQLITE_IOERR_DELETE})
            row(qPrintable(QStringLiteral("write, code %1").arg(code)), sound, code,
                "The entry database %1 could not be written: the disk reported an error while writing");
        row("other disk error", sound, SQLITE_IOERR_DIR_CLOSE,
            "The entry database %1 could not be read or written");
        row("damaged page", sound, SQLITE_CORRUPT,
            "what the disk gave back is damaged. If Retry does not help");
        row("damaged header", sound, SQLITE_NOTADB, "what the disk gave back is damaged.");
        row("no table", sound, SQLITE_ERROR, "%1 holds no table of entries", "no such table: tblCofra");
        row("no column", sound, SQLITE_ERROR, "%1 holds no table of entries", "no such column: strEntry");
        row("other error", sound, SQLITE_ERROR, "The entry database %1 could not be used.",
            "near \"x\": syntax error");
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
