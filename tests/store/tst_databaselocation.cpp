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
    const QString m_userFolder = m_data.filePath(QStringLiteral("QorCofra"));
    const QString m_userFile = m_userFolder + QStringLiteral("/QorCofra.db");

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName(QStringLiteral("QorCofra"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    }
    void cleanup() { store::useDatabaseFile(QString()); }

    void besideTheProgramOrTheUsersOwn() {
        ProgramFolder withDatabase;
        QCOMPARE(store::chooseDatabase({}, withDatabase.path(), true).path, withDatabase.databasePath());
        QVERIFY(!QFileInfo::exists(m_userFolder));

        // A folder the user may not write to, and one without a database (a
        // system-wide install, even for root): the user's own file.
        ProgramFolder empty(ProgramFolder::Empty);
        for (const auto& [folder, writable] : {std::pair{withDatabase.path(), false}, {empty.path(), true}}) {
            const store::DatabaseChoice own = store::chooseDatabase({}, folder, writable);
            QCOMPARE(own.path, m_userFile);
            QVERIFY(own.problem.isEmpty());
        }
        QVERIFY(!QFileInfo::exists(empty.databasePath()));
        // Names and hints are in the clear: only the user may look into the folder.
        QCOMPARE(QFileInfo(m_userFolder).permissions() &
                     (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther),
                 QFile::Permissions());
        QCOMPARE(QDir(m_userFolder).entryList(QDir::Files | QDir::Hidden), QStringList{"QorCofra.db"});

        // Made once, then kept with its entries.
        store::useDatabaseFile(m_userFile);
        qint64 id = 0;
        QVERIFY(modCofra::StoreEntry(0, "Diary", "the usual", "737A1B2C", &id));
        QVERIFY(!resources::createDatabase(m_userFile));
        QCOMPARE(store::chooseDatabase({}, empty.path(), true).path, m_userFile);
        QCOMPARE(sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra"),
                 QStringList{QString::number(id) + "|Diary|the usual|737A1B2C"});
    }

    void requestedFileMustHoldTheEntries() {
        ProgramFolder stick, beside, foreign;
        QCOMPARE(store::chooseDatabase(stick.databasePath(), beside.path(), true).path, stick.databasePath());
        store::useDatabaseFile(foreign.databasePath());
        QCOMPARE(sql("ALTER TABLE tblCofra DROP COLUMN strEntry"), QStringList());
        QFile notes(stick.file("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("just some notes, not a database\n") > 0);
        notes.close();

        const QList<std::pair<QString, QString>> refused = {
            {stick.file("missing.db"), "There is no file \"%1\"."},
            {notes.fileName(),
             "\"%1\" is not an entry database: the file is damaged or is another kind of file."},
            {foreign.databasePath(), "The entry database \"%1\" holds no table of entries: it is not this "
                                     "program's database, or it is damaged."},
        };
        for (const auto& [file, problem] : refused) {
            const QDateTime changed = QFileInfo(file).lastModified();
            QCOMPARE(store::chooseDatabase(file, beside.path(), true).problem, QString(problem).arg(file));
            QCOMPARE(QFileInfo(file).lastModified(), changed); // looking changes nothing, and makes nothing
        }
        QVERIFY(!QFileInfo::exists(stick.file("missing.db")));
    }
};

QTEST_GUILESS_MAIN(tst_DatabaseLocation)
#include "tst_databaselocation.moc"
