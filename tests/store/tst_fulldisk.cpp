#include "crypto/TextCipher.h"
#include "flows/StoreErrorBox.h"
#include "platform/AppPath.h"
#include "platform/MessageBoxes.h"
#include "resources/DatabaseSchema.h"
#include "tests/store/StoreTestSupport.h"

#include <QtTest>
#include <cerrno>
#include <sched.h>
#include <sys/mount.h>

// A save onto a disk that is really full: the program folder on a small
// memory disk, filled to the last byte by another file. Mounting needs root;
// the test runs in a mount namespace of its own, so nothing it mounts is seen
// outside it or outlives it.

class tst_FullDisk : public QObject {
    Q_OBJECT
    QTemporaryDir m_disk;
    const QByteArray m_mountPoint = QFile::encodeName(m_disk.path());
    const QString m_filler = m_disk.filePath(QStringLiteral("other-files"));

    // Writes the other file until the disk takes no more; true when it did fill up.
    bool fill() const {
        QFile filler(m_filler);
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) > 0) {
        }
        return filler.error() == QFileDevice::ResourceError; // ENOSPC
    }

private slots:
    void initTestCase() {
        // The disk's size: a few hundred kilobytes more than the entry saved below.
        const char* failed =
            ::unshare(CLONE_NEWNS) != 0 ? "no mount namespace of its own"
            : ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0         ? "mounts stay shared"
            : ::mount("tmpfs", m_mountPoint.constData(), "tmpfs", 0, "size=1200k") != 0 ? "no memory disk"
                                                                                        : nullptr;
        if (failed)
            QSKIP(qPrintable(QStringLiteral("No small disk to fill here (mounting one needs root); "
                                            "tst_storefaults' disk-full cases still run. %1: %2")
                                 .arg(failed, qt_error_string(errno))));
        modCofra::strAppPath = platform::withOneTrailingSeparator(m_disk.path());
        store::installErrorBox();
        store::setBusyTimeout(100);
    }
    void cleanupTestCase() { ::umount2(m_mountPoint.constData(), MNT_DETACH); }

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
        for (const QString& file : {store::databasePath(), store::databasePath() + "-journal", m_filler})
            QFile::remove(file);
        QVERIFY(resources::createDatabase(store::databasePath()));
        QVERIFY(modCofra::StoreEntry(0, "Kept", "h", legacyEntry("Kept", "an older entry")));
        const QStringList before = sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra");
        QVERIFY(fill());

        QList<platform::MessageBoxSpec> shown;
        platform::MessageBoxes::setResponder([&](const platform::MessageBoxSpec& box) {
            shown << box;
            if (freedOnFirstBox && shown.size() == 1)
                QFile::remove(m_filler);
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
        QFile::remove(m_filler);
        QCOMPARE(sql("PRAGMA integrity_check"), QStringList{"ok"});
        QStringList after = before;
        if (freedOnFirstBox)
            after << "2|Large|h2|" + legacyEntry("Large", big);
        QCOMPARE(sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra"), after);
    }
};

QTEST_MAIN(tst_FullDisk)
#include "tst_fulldisk.moc"
