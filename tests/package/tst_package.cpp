// The Debian package tried for real: made by CPack from this build, installed
// into the machine with dpkg, started from its menu entry by an ordinary user
// with a fresh home, and removed again. Needs root, and changes the machine
// only while it runs (see CMakeLists.txt for the removal when it crashes).
#include "store/EntryStore.h"

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <unistd.h>

class tst_Package : public QObject {
    Q_OBJECT
    // One run at a time on a machine: the package and its files are the machine's.
    QLockFile m_lock{QDir::temp().filePath(QStringLiteral("qorcofra-package-test.lock"))};
    QTemporaryDir m_work;
    QString m_deb;
    qint64 m_entry = 0;
    const QString m_installedMarker = QStringLiteral(COFRA_PACKAGE_MARKER);
    const QString m_home = m_work.filePath(QStringLiteral("home"));
    const QString m_runtime = m_work.filePath(QStringLiteral("runtime"));
    const QString m_database = m_home + QStringLiteral("/.local/share/QorCofra/QorCofra.db");

    // Runs a command to its end; its output (both streams) and whether it succeeded.
    static std::pair<bool, QString>
    run(const QString& program, const QStringList& arguments,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool finished = process.waitForFinished(120000);
        const QString output = QString::fromLocal8Bit(process.readAll());
        return {finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                program + ' ' + arguments.join(' ') + ":\n" + output};
    }
    // dpkg refuses while another package tool runs (the machine's own updates): it is waited for.
    static std::pair<bool, QString> dpkg(const QStringList& arguments) {
        for (int tries = 60;; --tries) {
            auto result = run("dpkg", arguments);
            if (result.first || tries == 0 || !result.second.contains("dpkg frontend lock"))
                return result;
            QTest::qWait(1000);
        }
    }
    static bool installed() {
        return run("dpkg-query", {"-W", "-f=${Status}", "qorcofra"}).second.contains("install ok installed");
    }
    // What a user's session would hand the program: a home and the ordinary PATH, no display.
    QProcessEnvironment userEnvironment() const {
        QProcessEnvironment env;
        env.insert("HOME", m_home);
        env.insert("PATH", "/usr/local/bin:/usr/bin:/bin");
        env.insert("LANG", "C.UTF-8");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", m_runtime);
        return env;
    }
    void remove() {
        const auto [removed, output] = dpkg({"-r", "qorcofra"});
        QVERIFY2(removed, qPrintable(output));
        QFile::remove(m_installedMarker);
    }

private slots:
    void initTestCase() {
        QVERIFY2(getuid() == 0, "the package test installs into the machine: run it as root");
        QVERIFY2(m_lock.tryLock(10 * 60 * 1000), "another package test holds its lock for ten minutes");
        QVERIFY2(!installed(),
                 "qorcofra is installed on this machine already; the test would replace and then "
                 "remove it. Remove it first (dpkg -r qorcofra).");
        const QString out = m_work.filePath("deb");
        const auto [made, output] = run("cpack", {"-G", "DEB", "--config", COFRA_CPACK_CONFIG, "-B", out});
        QVERIFY2(made, qPrintable(output));
        const QStringList debs = QDir(out).entryList({"*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = QDir(out).filePath(debs[0]);
    }

    void packageHoldsTheProgramAndNoDatabase() {
        const auto [listed, listing] = run("dpkg-deb", {"-c", m_deb});
        QVERIFY2(listed, qPrintable(listing));
        QStringList files;
        for (const QString& line : listing.split('\n').mid(1))
            if (const qsizetype at = line.indexOf(" ./"); at >= 0)
                files << line.mid(at + 2);
        for (const char* wanted :
             {"/usr/bin/qorcofra -> ../lib/qorcofra/QorCofra", "/usr/lib/qorcofra/QorCofra",
              "/usr/lib/qorcofra/QorCofra.html", "/usr/share/applications/qorcofra.desktop",
              "/usr/share/icons/hicolor/scalable/apps/qorcofra.svg",
              "/usr/share/metainfo/org.example.qorcofra.metainfo.xml", "/usr/share/man/man1/qorcofra.1.gz",
              "/usr/share/doc/qorcofra/copyright"})
            QVERIFY2(files.contains(QLatin1String(wanted)), wanted);
        QCOMPARE(files.filter(QRegularExpression("\\.db|^(?!/usr/)")), QStringList());

        // Found from the libraries the program links, and the driver it loads.
        const QString depends = run("dpkg-deb", {"-f", m_deb, "Depends"}).second;
        for (const char* package : {"libqt6widgets6", "libqt6sql6 ", "libqt6sql6-sqlite", "libc6"})
            QVERIFY2(depends.contains(QLatin1String(package)), qPrintable(depends));
    }

    void installsAndTellsItsVersion() {
        QFile marker(m_installedMarker);
        QVERIFY(marker.open(QIODevice::WriteOnly));
        const auto [done, output] = dpkg({"-i", m_deb});
        QVERIFY2(done, qPrintable(output));
        QVERIFY(installed());
        for (const QStringList& check :
             {QStringList{"desktop-file-validate", "/usr/share/applications/qorcofra.desktop"},
              {"appstreamcli", "validate", "--no-net",
               "/usr/share/metainfo/org.example.qorcofra.metainfo.xml"}}) {
            const auto [valid, said] = run(check[0], check.mid(1));
            QVERIFY2(valid, qPrintable(said));
        }
        QVERIFY(QDir().mkpath(m_home) && QDir().mkdir(m_runtime) &&
                QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcess version;
        version.setProcessEnvironment(userEnvironment());
        version.start("/usr/bin/qorcofra", {"--version"});
        QVERIFY(version.waitForFinished(30000));
        QCOMPARE(version.readAllStandardOutput(), QByteArray("QorCofra 1.1\n"));
    }

    void menuEntryStartsItWithTheUsersOwnDatabase() {
        // An ordinary user, for whom the program's folder is read-only.
        const auto [given, said] = run("chown", {"nobody:nogroup", m_home, m_runtime});
        QVERIFY2(given, qPrintable(said));
        QVERIFY(QFile::setPermissions(m_work.path(), QFile::permissions(m_work.path()) | QFile::ExeOther));

        QFile entry("/usr/share/applications/qorcofra.desktop");
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(entry.readAll()).split('\n').filter(QRegularExpression("^Exec="));
        QCOMPARE(lines.size(), 1);
        const QStringList exec = QProcess::splitCommand(lines[0].mid(5));
        QVERIFY(!exec.isEmpty());
        QProcess program;
        program.setProcessEnvironment(userEnvironment());
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start("setpriv",
                      QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"} + exec);
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_database) || program.state() == QProcess::NotRunning,
                                 30000);
        QCOMPARE(program.state(), QProcess::Running); // started, and did not end on its own
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(QFileInfo(m_database).owner(), QStringLiteral("nobody"));
        QVERIFY(!QFileInfo::exists("/usr/lib/qorcofra/QorCofra.db"));

        store::useDatabaseFile(m_database);
        QVERIFY(modCofra::StoreEntry(0, "Packaged", "the usual", "737C0FFEE0", &m_entry));
    }

    void removalLeavesTheUsersDatabase() {
        remove();
        QVERIFY(!installed());
        for (const char* gone :
             {"/usr/bin/qorcofra", "/usr/lib/qorcofra", "/usr/share/applications/qorcofra.desktop"})
            QVERIFY2(!QFileInfo::exists(QLatin1String(gone)), gone);
        QString name, hint, text;
        QVERIFY(modCofra::LoadEntry(m_entry, name, hint, text));
        QCOMPARE(QStringList({name, hint, text}), QStringList({"Packaged", "the usual", "737C0FFEE0"}));
    }

    void cleanupTestCase() {
        if (QFileInfo::exists(m_installedMarker))
            remove();
    }
};

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_package.moc"
