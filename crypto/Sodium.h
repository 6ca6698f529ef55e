#pragma once
#include <QByteArray>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <span>

class SecureBytes;

// The few libsodium primitives the strong form is made of, each checked and
// sized here so that the format code deals in whole buffers.
namespace crypto::Sodium {

inline constexpr std::size_t KeyBytes = 32;   // XChaCha20-Poly1305 key, also Argon2id's output
inline constexpr std::size_t NonceBytes = 24; // XChaCha20-Poly1305 nonce
inline constexpr std::size_t TagBytes = 16;   // Poly1305 tag
inline constexpr std::size_t SaltBytes = 16;  // Argon2id salt

// Starts libsodium once; false when it cannot be started.
bool ready();

// Fills the bytes from the system's random source.
void randomBytes(std::span<std::uint8_t> out);

// Argon2id v1.3 over one lane into a KeyBytes key. False when it could not
// run: with parameters that libsodium takes, that is for want of memory.
bool deriveKey(SecureBytes& out, std::span<const unsigned char> key,
               std::span<const std::uint8_t, SaltBytes> salt, std::uint32_t passes, std::uint32_t memoryKiB);

// XChaCha20-Poly1305 (IETF): `cipher` takes plain.size() + TagBytes bytes, the tag last.
bool seal(std::span<std::uint8_t> cipher, std::span<const unsigned char> plain,
          std::span<const std::uint8_t> ad, std::span<const std::uint8_t, NonceBytes> nonce,
          const SecureBytes& key);
// The reverse: false, with nothing kept in `plain`, when the tag does not match.
bool open(std::span<unsigned char> plain, std::span<const std::uint8_t> cipher,
          std::span<const std::uint8_t> ad, std::span<const std::uint8_t, NonceBytes> nonce,
          const SecureBytes& key);

// Unpadded base64url, the alphabet A-Z a-z 0-9 "-" "_".
QByteArray toBase64Url(std::span<const std::uint8_t> bytes);
// The bytes of an unpadded base64url text; false when any character is not of
// the alphabet, the length cannot be one of the form, or unused bits are set.
bool fromBase64Url(QStringView text, QByteArray& bytes);

} // namespace crypto::Sodium
