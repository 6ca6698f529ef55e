// The command line as a terminal user meets it: the built program run with
// its options, and the database the options choose.
#include "app/CommandLine.h"
#include "platform/AppPath.h"
#include "store/EntryStore.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QProcess>
#include <QtTest>

class tst_CommandLine : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    QTemporaryDir m_runtime;

    // The built program with a home of its own; without a display unless
    // `offscreen`. Its exit code (-1: it did not end by itself), what it wrote
    // to its output and what to its error output.
    std::tuple<int, QString, QString> program(const QStringList& arguments, bool offscreen) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        if (offscreen)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(qEnvironmentVariable("COFRA_PROGRAM_DIR") + QStringLiteral("/QorCofra"), arguments);
        // One that does not end is killed as the QProcess goes.
        const bool ended = process.waitForFinished(30000);
        return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("QorCofra")); }

    void helpAndVersionNeedNoDisplay() {
        QCOMPARE(program({"--version"}, false), std::tuple(0, QString("QorCofra 1.1\n"), QString()));
        // Qt's own word options are never read as -v or -h.
        QCOMPARE(std::get<1>(program({"-platform", "offscreen", "-reverse", "--version"}, true)),
                 "QorCofra 1.1\n");
        const QString help = std::get<1>(program({QStringLiteral("--help")}, false));
        QVERIFY2(help.contains(QRegularExpression("--database <FILE> +Use the entry database <FILE>")),
                 qPrintable(help));
    }

    void whatCannotBeFollowedIsRefused() {
        const QString missing = m_home.filePath(QStringLiteral("stick/QorCofra.db"));
        const QList<std::pair<QStringList, QString>> refused = {
            {{"--database", missing},
             "QorCofra: cannot use --database " + missing + ": There is no file \"" + missing + "\".\n"},
            {{"--bogus"}, "QorCofra: Unknown option 'bogus'.\n"},
            {{"QorCofra.db"},
             "QorCofra: unexpected argument \"QorCofra.db\" (to open an entry database, give --database "
             "FILE)\n"}};
        for (const auto& [arguments, message] : refused)
            QCOMPARE(program(arguments, true), std::tuple(1, QString(), message));
        // Nothing was made on the way out.
        QCOMPARE(QDir(m_home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void theStoreUsesTheChosenFile() {
        ScriptedMessages messages;
        ProgramFolder stick;
        QVERIFY(CommandLine({"QorCofra", "--database", stick.databasePath()}).chooseDatabase());
        QCOMPARE(store::databasePath(), stick.databasePath());

        // Without one, a program folder holding no database leads to the user's own;
        // one that cannot be made is said once, and the program still starts.
        QTemporaryDir data;
        QFile blocker(data.filePath(QStringLiteral("QorCofra")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        ProgramFolder installed(ProgramFolder::Empty);
        QVERIFY(CommandLine({"QorCofra"}).chooseDatabase());
        QCOMPARE(store::databasePath(), data.filePath("QorCofra/QorCofra.db"));
        QCOMPARE(messages.titles(), QStringList("QorCofra"));
        QVERIFY(messages.shown()[0].icon == platform::MsgIcon::Exclamation);
        QCOMPARE(messages.shown()[0].text,
                 "The folder \"" + data.filePath("QorCofra") +
                     "\" for your entries could not be made.\r\n\r\nUntil it is made, entries can "
                     "be neither saved nor opened. Make room or mend the folder, then start again.");
        store::useDatabaseFile(QString());
    }
};

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
