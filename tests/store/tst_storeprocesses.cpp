#include "crypto/TextCipher.h"
#include "platform/AppPath.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ProgramFolder.h"

#include <QProcess>
#include <QtTest>
#include <csignal>
#include <cstdio>

// Other running programs on the same database file: a second copy saving at the
// same moment, and a copy that dies in the middle of a write. This executable,
// started with "--writer", plays that copy.

namespace {

// An entry's text, 1 to 16 K characters fixed by the seed; its key is its name.
QString textOf(quint32 seed) {
    return QString(int(1024 + seed % 15360), QChar(u'a' + seed % 26));
}

// Once a line arrives on its input, says so and stores <count> encrypted entries
// <prefix>-<n>, each looked up again; exits with the number of failures (error
// boxes and lookups that find nothing). With count 0 it inserts, replaces and
// deletes entries at random until it is killed.
int writer(const QString& folder, const QString& prefix, int count) {
    modCofra::strAppPath = folder;
    int failures = 0;
    store::setErrorPrompt([&failures](const QString&) { return ++failures, store::ErrorAnswer::Abort; });
    QRandomGenerator random(quint32(qHash(prefix, 0)));
    std::getchar();
    std::puts("writing");
    std::fflush(stdout);
    for (int n = 0; count == 0 || n < count; ++n) {
        const QString name = QStringLiteral("%1-%2").arg(prefix).arg(count ? n : int(random.bounded(16)));
        const std::optional<qint64> found = modCofra::FindEntryID(name);
        if (!found)
            continue; // the prompt has counted it
        const qint64 id = *found;
        const quint32 action = random.bounded(4), seed = random.generate();
        if (id != 0 && action == 0)
            modCofra::DeleteRecord("tblCofra", "lngID", id);
        else
            modCofra::StoreEntry(action == 1 ? 0 : id, name, QString::number(seed),
                                 modCofra::RC4Transform(name + textOf(seed), name));
        failures += count != 0 && modCofra::FindEntryID(name).value_or(0) == 0;
    }
    return failures;
}

// Starts other copies writing into the program folder, one per prefix, and lets them go together.
void startWriters(const QList<QProcess*>& copies, const QStringList& prefixes, int count) {
    for (int i = 0; i < copies.size(); ++i) {
        copies[i]->start(QCoreApplication::applicationFilePath(),
                         {"--writer", modCofra::strAppPath, prefixes[i], QString::number(count)});
        QVERIFY(copies[i]->waitForStarted());
    }
    for (QProcess* copy : copies)
        QVERIFY(copy->write("\n") == 1 && copy->waitForBytesWritten());
}

// "<sound> of <all>": how many rows decrypt, with their name as key, to the text their hint's seed makes.
QString soundRows() {
    const QStringList rows = sql("SELECT strName, strPassHint, strEntry FROM tblCofra");
    int sound = 0;
    for (const QString& row : rows) {
        const QStringList f = row.split('|');
        sound += modCofra::RC4Transform(f.value(2), f[0]) == f[0] + textOf(f.value(1).toUInt());
    }
    return QStringLiteral("%1 of %2").arg(sound).arg(rows.size());
}

} // namespace

class tst_StoreProcesses : public QObject {
    Q_OBJECT
private slots:
    void twoCopiesSavingAtOnceBothLand() {
        ProgramFolder folder;
        QProcess first, second;
        startWriters({&first, &second}, {"A", "B"}, 100);
        for (QProcess* copy : {&first, &second})
            QVERIFY(copy->waitForFinished(60000) && copy->exitCode() == 0);
        QCOMPARE(soundRows(), "200 of 200");
    }

    void killedWriterLeavesASoundFile() {
        ProgramFolder folder;
        int stored = 0, journals = 0;
        for (int round = 0; round < 20; ++round) {
            QProcess copy;
            startWriters({&copy}, {QString::number(round)}, 0);
            QVERIFY(copy.waitForReadyRead(10000));
            QTest::qSleep(QRandomGenerator::global()->bounded(20, 120));
            ::kill(pid_t(copy.processId()), SIGKILL);
            QVERIFY(copy.waitForFinished(10000) && copy.exitStatus() == QProcess::CrashExit);
            // A journal left behind: the copy died inside a write, which the next connection undoes.
            journals += QFile::exists(folder.databasePath() + "-journal");

            QCOMPARE(sql("PRAGMA integrity_check"), QStringList{"ok"});
            const QString sound = soundRows();
            QCOMPARE(sound.section(' ', 0, 0), sound.section(' ', 2));
            stored += !sound.startsWith("0 ");
        }
        QVERIFY2(stored && journals > 0, "nothing was stored, or no kill landed inside a write");
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 5 && args[1] == "--writer")
        return writer(args[2], args[3], args[4].toInt());
    tst_StoreProcesses test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_storeprocesses.moc"
