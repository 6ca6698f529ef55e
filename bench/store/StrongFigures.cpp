#include "bench/common/Median.h"
#include "bench/store/StoreProgram.h"
#include "crypto/SecureBytes.h"
#include "crypto/Sodium.h"
#include "crypto/StrongForm.h"

#include <QSqlError>
#include <QSqlQuery>
#include <array>

namespace bench {
namespace {

namespace Sodium = crypto::Sodium;
using crypto::StrongForm::Defaults;
using crypto::StrongForm::HeaderBytes;

// Each run derives four keys of about 0.4 s.
constexpr int Runs = 3;

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

double elapsedMs(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

// The least any open of a strong entry must do: read the row, derive the key
// and open the blob (its base64 is read outside the clock).
double openFloorMs(const QSqlDatabase& db, qint64 id, const QByteArray& key) {
    QElapsedTimer clock;
    clock.start();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT strEntry FROM tblCofra WHERE lngID = ?"));
    query.addBindValue(id);
    const bool read = query.exec() && query.next();
    double ms = elapsedMs(clock);
    QByteArray blob;
    if (!read || !Sodium::fromBase64Url(QStringView(query.value(0).toString()).sliced(4), blob)) {
        std::fprintf(stderr, "  the strong floor could not read its row: %s\n",
                     qPrintable(query.lastError().text()));
        return -1;
    }
    const std::span<const std::uint8_t> all = bytesOf(blob);
    clock.restart();
    SecureBytes derived(Sodium::KeyBytes);
    SecureBytes plain(all.size() - HeaderBytes - Sodium::TagBytes);
    const bool opened = Sodium::deriveKey(derived, bytesOf(key), all.subspan<12, Sodium::SaltBytes>(),
                                          Defaults.passes, Defaults.memoryKiB) &&
                        Sodium::open(std::span(plain.data(), plain.capacity()), all.subspan(HeaderBytes),
                                     all.first(HeaderBytes), all.subspan<28, Sodium::NonceBytes>(), derived);
    ms += elapsedMs(clock);
    return opened ? ms : -1;
}

// The least any strong save must do: derive the key, encrypt the text and
// write the row (its UTF-8 and base64 are made outside the clock).
double saveFloorMs(const QSqlDatabase& db, const QString& text, const QByteArray& key) {
    const QByteArray plain = text.toUtf8();
    QByteArray blob(HeaderBytes + plain.size() + qsizetype(Sodium::TagBytes), '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(blob.data());
    Sodium::randomBytes(std::span(out + 12, Sodium::SaltBytes + Sodium::NonceBytes));
    const std::span<const std::uint8_t> all = bytesOf(blob);
    QElapsedTimer clock;
    clock.start();
    SecureBytes derived(Sodium::KeyBytes);
    const bool sealed = Sodium::deriveKey(derived, bytesOf(key), all.subspan<12, Sodium::SaltBytes>(),
                                          Defaults.passes, Defaults.memoryKiB) &&
                        Sodium::seal(std::span(out + HeaderBytes, all.size() - HeaderBytes), bytesOf(plain),
                                     all.first(HeaderBytes), all.subspan<28, Sodium::NonceBytes>(), derived);
    double ms = elapsedMs(clock);
    const QString stored = QStringLiteral("737~") + QString::fromLatin1(Sodium::toBase64Url(all));
    clock.restart();
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("INSERT INTO tblCofra (strName, strPassHint, strEntry) VALUES ('floor', 'h', ?)"));
    query.addBindValue(stored);
    const bool written = query.exec();
    ms += elapsedMs(clock);
    QSqlQuery cleanup(db);
    if (!sealed || !written || !cleanup.exec(QStringLiteral("DELETE FROM tblCofra WHERE strName = 'floor'")))
        std::fprintf(stderr, "  the strong save floor went wrong: %s\n",
                     qPrintable((written ? cleanup : query).lastError().text()));
    return ms;
}

} // namespace

void strongFigures(Program& program, const QSqlDatabase& db) {
    const QString key = QStringLiteral("key");
    const QByteArray keyUtf8 = key.toUtf8();
    QList<double> kdf;
    for (int run = 0; run < Runs; ++run) {
        std::array<std::uint8_t, Sodium::SaltBytes> salt{};
        Sodium::randomBytes(salt);
        SecureBytes derived(Sodium::KeyBytes);
        QElapsedTimer clock;
        clock.start();
        if (!Sodium::deriveKey(derived, bytesOf(keyUtf8), salt, Defaults.passes, Defaults.memoryKiB))
            std::fprintf(stderr, "  the key derivation failed\n");
        kdf << elapsedMs(clock);
    }
    print("strong_kdf_ms", median(kdf));

    const QString plain = sentences(1 << 20);
    QList<double> openRatio, saveRatio, opens, saves;
    for (int run = 0; run < Runs; ++run) {
        const QString name = QStringLiteral("Strong %1").arg(run);
        program.editor()->setText(plain);
        QCoreApplication::processEvents();
        QElapsedTimer okClock;
        program.save(name, key, true, &okClock);
        saves << elapsedMs(okClock);
        if (!program.editor()->Text().startsWith(QLatin1String("737~")))
            std::fprintf(stderr, "  the text was not stored in the strong form\n");
        saveRatio << saves.last() / saveFloorMs(db, plain, keyUtf8);

        program.newEntry();
        QElapsedTimer openClock;
        program.open(name, key, &openClock, &okClock);
        opens << program.watch.shownAt + elapsedMs(okClock);
        if (program.editor()->Text() != plain)
            std::fprintf(stderr, "  the strong entry did not open to its text\n");
        openRatio << opens.last() / openFloorMs(db, modCofra::FindEntryID(name).value_or(-1), keyUtf8);
        program.newEntry();
    }
    std::fprintf(stderr, "  strong 1 MB: open %.0f ms, save %.0f ms\n", median(opens), median(saves));
    print("store_open_strong_floor_ratio", median(openRatio));
    print("store_save_strong_floor_ratio", median(saveRatio));
}

} // namespace bench
