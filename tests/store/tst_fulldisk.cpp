#include "crypto/TextCipher.h"
#include "flows/StoreErrorBox.h"
#include "platform/AppPath.h"
#include "platform/MessageBoxes.h"
#include "resources/DatabaseSchema.h"
#include "tests/store/StoreTestSupport.h"

#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// A save onto a disk that is really full: the program folder on a small
// memory disk, filled to the last byte by another file. Mounting needs root;
// the test runs in a mount namespace of its own, so nothing it mounts is seen
// outside it or outlives it.

namespace {

// The disk's size: a few hundred kilobytes more than the entry saved below.
constexpr const char* DiskOptions = "size=1200k";

class FullDisk {
public:
    // Empty when the disk is up, otherwise why not.
    QString mount() {
        if (::unshare(CLONE_NEWNS) != 0)
            return QStringLiteral("no mount namespace of its own: %1").arg(qt_error_string(errno));
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("mounts stay shared: %1").arg(qt_error_string(errno));
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, DiskOptions) != 0)
            return QStringLiteral("no memory disk: %1").arg(qt_error_string(errno));
        m_mounted = true;
        return {};
    }
    ~FullDisk() {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    FullDisk() = default;
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    QString path() const { return m_dir.path(); }
    // Writes a file until the disk takes no more; true when it did fill up.
    bool fill() const {
        const int fd =
            ::open(QFile::encodeName(fillerPath()).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'f');
        ssize_t written = 0;
        while ((written = ::write(fd, block.constData(), size_t(block.size()))) > 0) {
        }
        const bool full = written < 0 && errno == ENOSPC;
        ::close(fd);
        return full;
    }
    bool freeSpace() const { return QFile::remove(fillerPath()); }

private:
    QString fillerPath() const { return m_dir.filePath(QStringLiteral("other-files")); }
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

class tst_FullDisk : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        store::installErrorBox();
        store::setBusyTimeout(100);
    }

    void saveOntoAFullDisk_data() {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("freedOnFirstBox");
        QTest::newRow("Abort") << QList<int>{QMessageBox::Abort} << false;
        QTest::newRow("Retry while still full, then Abort")
            << QList<int>{QMessageBox::Retry, QMessageBox::Abort} << false;
        QTest::newRow("Retry once space is freed") << QList<int>{QMessageBox::Retry} << true;
    }
    // The box says that the disk is full, nothing stored before is lost, and
    // Retry with room again stores the entry once.
    void saveOntoAFullDisk() {
        QFETCH(QList<int>, answers);
        QFETCH(bool, freedOnFirstBox);
        FullDisk disk;
        if (const QString problem = disk.mount(); !problem.isEmpty())
            QSKIP(qPrintable(
                "This machine does not let the test mount a small disk (it needs root), so the real "
                "full disk is not tried here; tst_storefaults' disk-full cases still run. Reason: " +
                problem));
        const QString previousAppPath = modCofra::strAppPath;
        modCofra::strAppPath = platform::withOneTrailingSeparator(disk.path());
        const auto restore = qScopeGuard([&] { modCofra::strAppPath = previousAppPath; });
        QVERIFY(resources::createDatabase(store::databasePath()));
        QVERIFY(modCofra::StoreEntry(0, "Kept", "h", legacyEntry("Kept", "an older entry")));
        const QStringList before = sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra");
        QVERIFY(disk.fill());

        QList<platform::MessageBoxSpec> shown;
        platform::MessageBoxes::setResponder([&](const platform::MessageBoxSpec& box) {
            shown << box;
            if (freedOnFirstBox && shown.size() == 1)
                disk.freeSpace();
            return QMessageBox::StandardButton(answers.value(int(shown.size()) - 1, QMessageBox::Abort));
        });
        const QString big = QString(200000, QChar('w'));
        const bool stored = bool(modCofra::StoreEntry(0, "Large", "h2", legacyEntry("Large", big)));
        platform::MessageBoxes::setResponder({});

        QCOMPARE(shown.size(), answers.size());
        for (const platform::MessageBoxSpec& box : shown) {
            QCOMPARE(box.title, "An Error Occured!");
            QVERIFY2(
                box.text.contains(QStringLiteral("The disk that holds the entry database \"%1\" is full.")
                                      .arg(QDir::toNativeSeparators(store::databasePath()))),
                qPrintable(box.text));
        }
        QCOMPARE(stored, freedOnFirstBox);
        disk.freeSpace();
        QCOMPARE(sql("PRAGMA integrity_check"), QStringList{"ok"});
        QStringList after = before;
        if (freedOnFirstBox)
            after << "2|Large|h2|" + legacyEntry("Large", big);
        QCOMPARE(sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra"), after);
    }
};

QTEST_MAIN(tst_FullDisk)
#include "tst_fulldisk.moc"
