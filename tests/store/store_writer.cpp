// Writes entries into a program folder's database, as a second copy of the
// program would, for the crash and two-process tests.
//
//   cofra_store_writer <folder> save <prefix> <count>
//       waits for <folder>/go, stores <count> entries named <prefix>-<n>, each
//       looked up again afterwards; prints the start and end time in ms; the exit
//       code counts the failures (error boxes and lookups that find nothing).
//   cofra_store_writer <folder> churn <seed>
//       inserts, replaces and deletes encrypted entries until it is killed.
#include "crypto/TextCipher.h"
#include "platform/AppPath.h"
#include "store/EntryStore.h"
#include "tests/store/StoreTestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

namespace {

int failures = 0;

int save(const QString& folder, const QString& prefix, int count) {
    while (!QFile::exists(folder + QStringLiteral("go")))
        QThread::msleep(1);
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    for (int n = 0; n < count; ++n) {
        const QString name = QStringLiteral("%1-%2").arg(prefix).arg(n);
        modCofra::StoreEntry(0, name, QStringLiteral("hint"),
                             QStringLiteral("737%1").arg(n, 8, 16, QChar('0')));
        if (modCofra::FindEntryID(name) == 0)
            ++failures;
    }
    std::printf("%lld %lld\n", start, QDateTime::currentMSecsSinceEpoch());
    return failures;
}

void storeEncrypted(qint32 id, const QString& name, quint32 seed) {
    const QString key = writerKey(name);
    modCofra::StoreEntry(id, name, QStringLiteral("seed:%1").arg(seed),
                         modCofra::RC4Transform(key + writerText(seed), key));
}

int churn(quint32 seed) {
    QRandomGenerator random(seed);
    std::printf("ready\n");
    std::fflush(stdout);
    for (int step = 0;; ++step) {
        const QString name = QStringLiteral("e%1-%2").arg(seed).arg(random.bounded(16));
        const qint32 id = modCofra::FindEntryID(name);
        const int action = int(random.bounded(4));
        if (id != 0 && action == 0)
            modCofra::DeleteRecord(QStringLiteral("tblCofra"), QStringLiteral("lngID"), id);
        else
            storeEncrypted(action == 1 ? 0 : id, name, random.generate());
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 100;
    modCofra::strAppPath = args[1] + QLatin1Char('/');
    store::setErrorPrompt([](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        ++failures;
        return store::ErrorAnswer::Abort;
    });
    if (args[2] == QLatin1String("save") && args.size() == 5)
        return save(modCofra::strAppPath, args[3], args[4].toInt());
    if (args[2] == QLatin1String("churn"))
        return churn(args[3].toUInt());
    return 100;
}
