#include "crypto/StrongForm.h"

#include "crypto/SecureBytes.h"
#include "crypto/Sodium.h"

#include <QStringEncoder>
#include <array>
#include <sodium.h>
#include <span>

namespace crypto::StrongForm {
namespace {

static_assert(Defaults.passes == crypto_pwhash_OPSLIMIT_MODERATE);
static_assert(std::size_t{Defaults.memoryKiB} * 1024 == crypto_pwhash_MEMLIMIT_MODERATE);

constexpr qsizetype kMarkerLength = 4;
constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kArgon2id = 1;
constexpr std::uint8_t kXChaCha20Poly1305 = 1;
constexpr std::size_t kSaltAt = 12;
constexpr std::size_t kNonceAt = kSaltAt + Sodium::SaltBytes;
static_assert(kNonceAt + Sodium::NonceBytes == HeaderBytes);

Parameters& installedParameters() {
    static Parameters parameters = Defaults;
    return parameters;
}

void putLittleEndian(std::uint8_t* at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k)
        at[k] = static_cast<std::uint8_t>(value >> (8 * k));
}

std::uint32_t readLittleEndian(const std::uint8_t* at) {
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k)
        value |= std::uint32_t{at[k]} << (8 * k);
    return value;
}

// The header fields with their parts of the blob.
struct Blob {
    std::span<const std::uint8_t> all;
    std::span<const std::uint8_t> header() const { return all.first(HeaderBytes); }
    std::span<const std::uint8_t, Sodium::SaltBytes> salt() const {
        return all.subspan<kSaltAt, Sodium::SaltBytes>();
    }
    std::span<const std::uint8_t, Sodium::NonceBytes> nonce() const {
        return all.subspan<kNonceAt, Sodium::NonceBytes>();
    }
    std::span<const std::uint8_t> sealed() const { return all.subspan(HeaderBytes); }
    Parameters parameters() const {
        return {readLittleEndian(all.data() + 4), readLittleEndian(all.data() + 8)};
    }
};

// Room for the UTF-8 of a text: three bytes at most for each UTF-16 unit.
std::size_t utf8Room(QStringView text) {
    return std::size_t(text.size()) * 3;
}

// UTF-8 of a text into guarded memory, with no copy of it anywhere else.
bool toSecureUtf8(QStringView text, SecureBytes& out) {
    if (!out.valid() || out.capacity() < utf8Room(text))
        return false;
    // Stateless: a lone surrogate at the end is written as a replacement
    // character now, not held back for a next call.
    QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const char* end = utf8.appendToBuffer(reinterpret_cast<char*>(out.data()), text);
    out.setSize(std::size_t(end - reinterpret_cast<const char*>(out.data())));
    return true;
}

// The key as the user means it: the same characters typed on another system,
// which may compose them differently, give the same bytes. Normalising may
// lengthen it (U+0958 becomes two characters), so its room is measured after.
QString normalisedKey(const QString& key) {
    return key.normalized(QString::NormalizationForm_C);
}

bool withinLimits(const Blob& blob, const Limits& limits) {
    const std::span<const std::uint8_t> h = blob.header();
    const Parameters p = blob.parameters();
    return h[0] == kVersion && h[1] == kArgon2id && h[2] == kXChaCha20Poly1305 && h[3] == 0 &&
           p.passes >= 1 && p.passes <= limits.maxPasses && p.memoryKiB >= limits.minMemoryKiB &&
           p.memoryKiB <= limits.maxMemoryKiB;
}

// Opens the sealed part with a derived key into guarded memory.
bool openWith(const Blob& blob, const SecureBytes& derived, SecureBytes& plain) {
    const std::size_t length = blob.sealed().size() - Sodium::TagBytes;
    if (!plain.valid() || plain.capacity() < length)
        return false;
    plain.setSize(length);
    return Sodium::open(std::span(plain.data(), length), blob.sealed(), blob.header(), blob.nonce(), derived);
}

Blob blobOf(const QByteArray& bytes) {
    return Blob{
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()))};
}

// Reads the stored text into its blob; false when it is not one this version writes.
bool readBlob(QStringView stored, QByteArray& bytes, const Limits& limits) {
    if (stored.size() < kMarkerLength || stored.first(kMarkerLength) != QStringView(Marker, kMarkerLength) ||
        !Sodium::fromBase64Url(stored.sliced(kMarkerLength), bytes) ||
        bytes.size() < HeaderBytes + qsizetype(Sodium::TagBytes))
        return false;
    return withinLimits(blobOf(bytes), limits);
}

} // namespace

Parameters newEntryParameters() {
    return installedParameters();
}

void setNewEntryParameters(Parameters parameters) {
    installedParameters() = parameters;
}

Result encrypt(const QString& plain, const QString& key, Parameters parameters) {
    Result result{Status::Failed, QString(), parameters.memoryKiB};
    if (!Sodium::ready())
        return result;
    const QString nfcKey = normalisedKey(key);
    SecureBytes keyUtf8(utf8Room(nfcKey));
    SecureBytes plainUtf8(utf8Room(plain));
    SecureBytes derived(Sodium::KeyBytes);
    result.status = Status::OutOfMemory;
    if (!toSecureUtf8(nfcKey, keyUtf8) || !toSecureUtf8(plain, plainUtf8) || !derived.valid())
        return result;

    QByteArray bytes(HeaderBytes + qsizetype(plainUtf8.size() + Sodium::TagBytes), Qt::Uninitialized);
    auto* out = reinterpret_cast<std::uint8_t*>(bytes.data());
    out[0] = kVersion;
    out[1] = kArgon2id;
    out[2] = kXChaCha20Poly1305;
    out[3] = 0;
    putLittleEndian(out + 4, parameters.passes);
    putLittleEndian(out + 8, parameters.memoryKiB);
    Sodium::randomBytes(std::span(out + kSaltAt, Sodium::SaltBytes + Sodium::NonceBytes));
    const Blob blob = blobOf(bytes);
    if (!Sodium::deriveKey(derived, std::span(keyUtf8.data(), keyUtf8.size()), blob.salt(), parameters.passes,
                           parameters.memoryKiB))
        return result;

    result.status = Status::Failed;
    if (!Sodium::seal(std::span(out + HeaderBytes, plainUtf8.size() + Sodium::TagBytes),
                      std::span(plainUtf8.data(), plainUtf8.size()), blob.header(), blob.nonce(), derived))
        return result;
    QString stored =
        QStringView(Marker, kMarkerLength).toString() + QLatin1String(Sodium::toBase64Url(blob.all));

    // What goes out must come back: read the text as a stranger would and
    // open it with the key just derived.
    QByteArray again;
    SecureBytes check(plainUtf8.size());
    if (!readBlob(stored, again, Limits{parameters.passes, parameters.memoryKiB, parameters.memoryKiB}) ||
        again != bytes || !openWith(blobOf(again), derived, check) ||
        sodium_memcmp(check.data(), plainUtf8.data(), plainUtf8.size()) != 0)
        return result;
    result.status = Status::Done;
    result.text = std::move(stored);
    return result;
}

Result decrypt(const QString& stored, const QString& key, const Limits& limits) {
    Result result{Status::Failed, QString(), 0};
    if (!Sodium::ready())
        return result;
    result.status = Status::Unreadable;
    QByteArray bytes;
    if (!readBlob(stored, bytes, limits))
        return result;
    const Blob blob = blobOf(bytes);
    const Parameters parameters = blob.parameters();
    result.memoryKiB = parameters.memoryKiB;

    const QString nfcKey = normalisedKey(key);
    SecureBytes keyUtf8(utf8Room(nfcKey));
    SecureBytes derived(Sodium::KeyBytes);
    SecureBytes plain(blob.sealed().size() - Sodium::TagBytes);
    result.status = Status::OutOfMemory;
    if (!toSecureUtf8(nfcKey, keyUtf8) || !derived.valid() || !plain.valid() ||
        !Sodium::deriveKey(derived, std::span(keyUtf8.data(), keyUtf8.size()), blob.salt(), parameters.passes,
                           parameters.memoryKiB))
        return result;
    if (!openWith(blob, derived, plain)) {
        result.status = Status::WrongKey;
        return result;
    }
    result.status = Status::Done;
    result.text = QString::fromUtf8(reinterpret_cast<const char*>(plain.data()), qsizetype(plain.size()));
    return result;
}

} // namespace crypto::StrongForm
