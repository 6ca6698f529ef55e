#include "crypto/TextCipher.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ProgramFolder.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>

// Other running programs on the same database file: a second copy saving at the
// same moment, and a copy that dies in the middle of a write.
class tst_StoreProcesses : public QObject {
    Q_OBJECT

    static void startWriter(QProcess& process, const ProgramFolder& folder, const QStringList& args) {
        process.start(QStringLiteral(STORE_WRITER), QStringList{folder.path()} + args);
        QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
    }

private slots:
    void twoCopiesSavingAtOnceBothLand() {
        ProgramFolder folder;
        QProcess first, second;
        startWriter(first, folder, {"save", "A", "150"});
        startWriter(second, folder, {"save", "B", "150"});
        QFile go(folder.file("go"));
        QVERIFY(go.open(QIODevice::WriteOnly));
        go.close();
        QList<qint64> times;
        for (QProcess* writer : {&first, &second}) {
            QVERIFY(writer->waitForFinished(60000));
            QCOMPARE(writer->readAllStandardError(), QByteArray());
            QCOMPARE(writer->exitCode(), 0);
            for (const QByteArray& time : writer->readAllStandardOutput().trimmed().split(' '))
                times << time.toLongLong();
        }
        QVERIFY2(times[0] < times[3] && times[2] < times[1], "the two copies did not write at the same time");
        QStringList expected;
        for (const char* prefix : {"A", "B"})
            for (int n = 0; n < 150; ++n)
                expected << QStringLiteral("%1-%2").arg(prefix).arg(n);
        QCOMPARE(sqlRows(folder.databasePath(), "SELECT strName FROM tblCofra ORDER BY strName"),
                 (expected.sort(), expected));
    }

    void killedWriterLeavesASoundFile() {
        ProgramFolder folder;
        QRandomGenerator random(20);
        int rows = 0;
        int journals = 0;
        for (int round = 0; round < 20; ++round) {
            QProcess writer;
            startWriter(writer, folder, {"churn", QString::number(round + 1)});
            QVERIFY(writer.waitForReadyRead(10000));
            QTest::qSleep(int(random.bounded(20, 120)));
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            // A journal left behind: the writer died inside a write, which the next connection undoes.
            journals += QFile::exists(folder.databasePath() + "-journal");

            QCOMPARE(sqlRows(folder.databasePath(), "PRAGMA integrity_check"), QStringList{"ok"});
            const QStringList entries =
                sqlRows(folder.databasePath(), "SELECT strName, strPassHint, strEntry FROM tblCofra");
            for (const QString& row : entries) {
                const QStringList field = row.split('|');
                const QString key = writerKey(field[0]);
                QVERIFY2(modCofra::RC4Transform(field[2], key) == key + writerText(field[1].mid(5).toUInt()),
                         qPrintable(field[0]));
            }
            rows = std::max(rows, int(entries.size()));
        }
        QVERIFY2(rows > 0, "the writer never stored anything");
        QVERIFY2(journals > 0, "no kill landed in the middle of a write");
    }
};

QTEST_GUILESS_MAIN(tst_StoreProcesses)
#include "tst_storeprocesses.moc"
