// Which entry database the program uses: beside it, the user's own, or one
// given on the command line.
#include "resources/DatabaseSchema.h"
#include "store/DatabaseLocation.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class tst_DatabaseLocation : public QObject {
    Q_OBJECT
    QTemporaryDir m_data; // the user's data folder
    QString userFolder() const { return m_data.filePath(QStringLiteral("QorCofra")); }
    QString userFile() const { return userFolder() + QStringLiteral("/QorCofra.db"); }

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName(QStringLiteral("QorCofra"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        QCOMPARE(store::userDatabasePath(), userFile());
    }
    void init() { QDir(userFolder()).removeRecursively(); }
    void cleanup() { store::useDatabaseFile(QString()); }

    void besideTheProgramOrTheUsersOwn() {
        ProgramFolder withDatabase;
        const store::DatabaseChoice beside = store::chooseDatabase({}, withDatabase.path(), true);
        QCOMPARE(beside.path, withDatabase.databasePath());
        QVERIFY(beside.problem.isEmpty());
        QVERIFY(!QFileInfo::exists(userFolder()));

        // A folder the user may not write to, and one without a database (a
        // system-wide install, even for root): the user's own file.
        ProgramFolder empty(ProgramFolder::Empty);
        for (const auto& [folder, writable] : {std::pair{withDatabase.path(), false}, {empty.path(), true}}) {
            const store::DatabaseChoice own = store::chooseDatabase({}, folder, writable);
            QCOMPARE(own.path, userFile());
            QVERIFY(own.problem.isEmpty());
        }
        QVERIFY(!QFileInfo::exists(empty.databasePath()));
        // Names and hints are in the clear: only the user may look into the folder.
        QCOMPARE(QFileInfo(userFolder()).permissions() &
                     (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther),
                 QFile::Permissions());
        QCOMPARE(QDir(userFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"QorCofra.db"});
    }

    void usersDatabaseIsMadeOnceAndKept() {
        store::useDatabaseFile(store::chooseDatabase({}, m_data.path(), false).path);
        qint64 id = 0;
        QVERIFY(modCofra::StoreEntry(0, "Diary", "the usual", "737A1B2C", &id));
        QVERIFY(!resources::createDatabase(userFile()));

        store::useDatabaseFile(store::chooseDatabase({}, m_data.path(), false).path);
        QCOMPARE(store::databasePath(), userFile());
        QCOMPARE(sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra"),
                 QStringList{QString::number(id) + "|Diary|the usual|737A1B2C"});
    }

    void requestedFileMustHoldTheEntries() {
        ProgramFolder other;
        ProgramFolder beside;
        const store::DatabaseChoice chosen = store::chooseDatabase(other.databasePath(), beside.path(), true);
        QCOMPARE(chosen.path, other.databasePath());
        QVERIFY(chosen.problem.isEmpty());

        const QString foreign = other.file("foreign.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
            db.setDatabaseName(foreign);
            QVERIFY(db.open() &&
                    QSqlQuery(db).exec(QStringLiteral("CREATE TABLE tblCofra (lngID, strName);")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        QFile text(other.file("notes.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly) &&
                text.write("not a database at all, just some notes\n") > 0);
        text.close();
        QFile(other.file("empty.db")).open(QIODevice::WriteOnly);

        const QList<std::pair<QString, QString>> refused = {
            {other.file("missing.db"), "There is no file \"%1\"."},
            {other.path(), "\"%1\" is a folder, not the entry database file."},
            {other.file("notes.txt"),
             "\"%1\" is not an entry database: the file is damaged or is another kind of file."},
            {other.file("empty.db"),
             "The entry database \"%1\" is empty (0 bytes): it holds no table of entries. "
             "Put the program's own database file in its place."},
            {foreign,
             "The entry database \"%1\" holds no table of entries: it is not this program's database, "
             "or it is damaged."},
        };
        const auto bytes = [](const QString& file) {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        for (const auto& [file, problem] : refused) {
            const QByteArray before = bytes(file);
            const store::DatabaseChoice choice = store::chooseDatabase(file, beside.path(), true);
            QCOMPARE(choice.problem, QString(problem).arg(file));
            QCOMPARE(bytes(file), before); // looking changes nothing, and makes nothing
        }
        QVERIFY(!QFileInfo::exists(other.file("missing.db")));
    }

    void aDatabaseThatCannotBeMadeIsSaid() {
        QFile blocker(m_data.filePath(QStringLiteral("a file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocker.fileName()));
        const store::DatabaseChoice choice = store::chooseDatabase({}, m_data.path(), false);
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        QCOMPARE(choice.path, blocker.fileName() + "/QorCofra/QorCofra.db");
        QCOMPARE(choice.problem,
                 QStringLiteral("The folder \"%1/QorCofra\" for your entries could not be made.")
                     .arg(blocker.fileName()));
    }
};

QTEST_GUILESS_MAIN(tst_DatabaseLocation)
#include "tst_databaselocation.moc"
