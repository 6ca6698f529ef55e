#pragma once
#include <QString>
#include <QStringView>
#include <cstdint>

// The strong stored form: "737~" followed by the unpadded base64url encoding of
//
//   offset  size    field
//   0       1       version, 1
//   1       1       key derivation, 1: Argon2id v1.3, one lane, 32-byte key
//   2       1       cipher, 1: XChaCha20-Poly1305 (IETF)
//   3       1       flags, 0
//   4       4       Argon2id passes, little-endian
//   8       4       Argon2id memory in KiB, little-endian
//   12      16      salt
//   28      24      nonce
//   52      n + 16  ciphertext and tag
//
// with the 52 header bytes as associated data. The plain text is the text in
// UTF-8; the key is the key in Unicode normalisation form C, in UTF-8.
namespace crypto::StrongForm {

inline constexpr char16_t Marker[] = u"737~";
inline constexpr qsizetype HeaderBytes = 52;

struct Parameters {
    std::uint32_t passes;
    std::uint32_t memoryKiB;
};
// libsodium's "moderate" level: 3 passes over 256 MiB, about 0.4 s on a desktop.
inline constexpr Parameters Defaults{3, 256 * 1024};

// What a stored text may ask for before anything is derived: more would let a
// damaged or hostile entry tie up the machine.
struct Limits {
    std::uint32_t maxPasses = 16;
    std::uint32_t minMemoryKiB = 8;
    std::uint32_t maxMemoryKiB = 1024 * 1024;
};

enum class Status {
    Done,
    WrongKey,    // the key does not open it, or the stored text was altered
    Unreadable,  // not this form as this version writes it: newer, or damaged
    OutOfMemory, // the key derivation could not have the memory it asks for
    Failed,      // libsodium could not start, or the result did not check out
};

struct Result {
    Status status = Status::Failed;
    QString text;                // the stored form, or the plain text
    std::uint32_t memoryKiB = 0; // what the key derivation asked for
};

// The parameters new entries get (Defaults unless changed).
Parameters newEntryParameters();
void setNewEntryParameters(Parameters parameters);

// Encrypts under a fresh salt and nonce. The result is checked by opening it
// again with the derived key before it is handed out.
Result encrypt(const QString& plain, const QString& key, Parameters parameters = newEntryParameters());
// Opens a stored text. Version, derivation, cipher, flags and parameters are
// checked against the limits before any key is derived.
Result decrypt(const QString& stored, const QString& key, const Limits& limits = Limits());

} // namespace crypto::StrongForm
