#include "crypto/Sodium.h"

#include "crypto/SecureBytes.h"

#include <sodium.h>

namespace crypto::Sodium {

static_assert(KeyBytes == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
static_assert(NonceBytes == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(TagBytes == crypto_aead_xchacha20poly1305_ietf_ABYTES);
static_assert(SaltBytes == crypto_pwhash_argon2id_SALTBYTES);

bool ready() {
    // sodium_init is safe to call more than once and from any thread; its
    // outcome does not change.
    static const bool started = sodium_init() >= 0;
    return started;
}

void randomBytes(std::span<std::uint8_t> out) {
    randombytes_buf(out.data(), out.size());
}

bool deriveKey(SecureBytes& out, std::span<const unsigned char> key,
               std::span<const std::uint8_t, SaltBytes> salt, std::uint32_t passes, std::uint32_t memoryKiB) {
    if (!ready() || !out.valid() || out.capacity() < KeyBytes)
        return false;
    const bool derived =
        crypto_pwhash(out.data(), KeyBytes, reinterpret_cast<const char*>(key.data()), key.size(),
                      salt.data(), passes, std::size_t{memoryKiB} * 1024, crypto_pwhash_ALG_ARGON2ID13) == 0;
    out.setSize(derived ? KeyBytes : 0);
    return derived;
}

bool seal(std::span<std::uint8_t> cipher, std::span<const unsigned char> plain,
          std::span<const std::uint8_t> ad, std::span<const std::uint8_t, NonceBytes> nonce,
          const SecureBytes& key) {
    if (!ready() || key.size() != KeyBytes || cipher.size() != plain.size() + TagBytes)
        return false;
    unsigned long long written = 0;
    return crypto_aead_xchacha20poly1305_ietf_encrypt(cipher.data(), &written, plain.data(), plain.size(),
                                                      ad.data(), ad.size(), nullptr, nonce.data(),
                                                      key.data()) == 0 &&
           written == cipher.size();
}

bool open(std::span<unsigned char> plain, std::span<const std::uint8_t> cipher,
          std::span<const std::uint8_t> ad, std::span<const std::uint8_t, NonceBytes> nonce,
          const SecureBytes& key) {
    if (!ready() || key.size() != KeyBytes || cipher.size() < TagBytes ||
        plain.size() != cipher.size() - TagBytes)
        return false;
    unsigned long long written = 0;
    const bool opened = crypto_aead_xchacha20poly1305_ietf_decrypt(
                            plain.data(), &written, nullptr, cipher.data(), cipher.size(), ad.data(),
                            ad.size(), nonce.data(), key.data()) == 0 &&
                        written == plain.size();
    if (!opened)
        sodium_memzero(plain.data(), plain.size());
    return opened;
}

QByteArray toBase64Url(std::span<const std::uint8_t> bytes) {
    constexpr int Variant = sodium_base64_VARIANT_URLSAFE_NO_PADDING;
    // The encoded length counts the terminating zero that sodium_bin2base64 writes.
    QByteArray text(qsizetype(sodium_base64_encoded_len(bytes.size(), Variant)), Qt::Uninitialized);
    sodium_bin2base64(text.data(), std::size_t(text.size()), bytes.data(), bytes.size(), Variant);
    text.chop(1);
    return text;
}

bool fromBase64Url(QStringView text, QByteArray& bytes) {
    // libsodium reads bytes: a character beyond ASCII must not be cut down to one that it takes.
    QByteArray ascii(text.size(), Qt::Uninitialized);
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k].unicode() > 0x7F)
            return false;
        ascii[k] = static_cast<char>(text[k].unicode());
    }
    bytes.resize(text.size() / 4 * 3 + 3);
    std::size_t written = 0;
    // Without an end pointer the decoder fails at the first character outside
    // the alphabet; with one it would stop there and report success.
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), std::size_t(bytes.size()),
                          ascii.constData(), std::size_t(ascii.size()), nullptr, &written, nullptr,
                          sodium_base64_VARIANT_URLSAFE_NO_PADDING) != 0) {
        bytes.clear();
        return false;
    }
    bytes.resize(qsizetype(written));
    return true;
}

} // namespace crypto::Sodium
