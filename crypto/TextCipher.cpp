#include "crypto/TextCipher.h"

#include "crypto/CipherShape.h"
#include "crypto/HexCodec.h"
#include "crypto/Windows1252.h"

#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace crypto {
namespace {

CipherHooks& installedHooks() {
    static CipherHooks hooks;
    return hooks;
}

constexpr char16_t kMarker[] = u"737";
constexpr qsizetype kMarkerLength = 3;

bool hasMarker(QStringView text) {
    return text.size() >= kMarkerLength &&
           std::memcmp(text.utf16(), kMarker, kMarkerLength * sizeof(char16_t)) == 0;
}

// A multi-megabyte result comes fresh from the kernel, and touching it page by
// page can cost more than the cipher itself; huge pages make that first touch
// an order of magnitude cheaper where the kernel offers them on request. Only
// whole huge pages inside the string's storage qualify, so a large result gets
// one huge page of spare capacity: its last huge page is then whole too, and
// that is where the cipher bytes wait for the hexadecimal pass.
constexpr qsizetype kHugePage = qsizetype{2} << 20;

void preferHugePages(QString& buffer) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr auto Huge = static_cast<std::uintptr_t>(kHugePage);
    const auto first = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t owned = first + static_cast<std::uintptr_t>(buffer.capacity()) * sizeof(char16_t);
    const std::uintptr_t begin = (first + Huge - 1) & ~(Huge - 1);
    const std::uintptr_t end = owned & ~(Huge - 1);
    if (end >= begin + 2 * Huge)
        madvise(reinterpret_cast<char*>(buffer.data()) + (begin - first), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(buffer);
#endif
}

// An uninitialised text of the given length, ready for the cipher to fill.
QString outputBuffer(qsizetype length) {
    QString buffer;
    const qsizetype bytes = length * qsizetype{sizeof(char16_t)};
    buffer.reserve(bytes >= 2 * kHugePage ? length + kHugePage / qsizetype{sizeof(char16_t)} : length);
    buffer.resize(length);
    preferHugePages(buffer);
    return buffer;
}

// The RC4 permutation, its entries held as 32-bit words so that the hot loop
// adds and indexes with them without widening each one.
struct Rc4 {
    // The permutation sits in the middle of a page of its own. The code-page
    // tables start their pages (see Windows1252.cpp), so the loop's table
    // loads never share the low twelve address bits with its stores to the
    // permutation, which the processor would mistake for a dependency.
    alignas(4096) std::uint32_t page[1024]{};
    std::uint32_t* const s = page + 512;

    explicit Rc4(QStringView key) {
        const auto& toByte = Windows1252::fromUnicode;
        const char16_t* k = key.utf16();
        const qsizetype length = key.size();
        for (std::uint32_t i = 0; i < 256; ++i)
            s[i] = i;
        std::uint32_t j = 0;
        qsizetype keyIndex = 0;
        for (std::uint32_t i = 0; i < 256; ++i) {
            j = (j + s[i] + toByte[k[keyIndex]]) & 0xFF;
            std::swap(s[i], s[j]);
            if (++keyIndex == length)
                keyIndex = 0;
        }
    }

    // Runs the keystream from its start, handing each keystream byte to
    // step(position, byte). The next round's S[i + 1] is read before this
    // round's exchange, so that the load does not wait for the stores; when
    // the exchange moved that very entry (j == i + 1), its value is S[i]'s.
    template <typename Step> void run(qsizetype count, Step step) {
        std::uint32_t i = 1;
        std::uint32_t j = 0;
        std::uint32_t si = s[1];
        for (qsizetype k = 0; k < count; ++k) {
            j = (j + si) & 0xFF;
            const std::uint32_t next = (i + 1) & 0xFF;
            const std::uint32_t sj = s[j];
            const std::uint32_t sNext = s[next];
            s[j] = si;
            s[i] = sj;
            step(k, static_cast<std::uint8_t>(s[(si + sj) & 0xFF]));
            si = j == next ? si : sNext;
            i = next;
        }
    }
};

// Both directions switch the busy pointer on right before the keystream and
// off right before returning; only encryption lets window events run, once,
// between the keystream and the hexadecimal output.
QString encryptWith(QStringView text, QStringView key, const CipherHooks& hooks) {
    const qsizetype n = text.size();
    QString result = outputBuffer(kMarkerLength + 2 * n);
    auto* out = reinterpret_cast<char16_t*>(result.data());
    // The cipher bytes wait in the last n bytes of the result's own storage,
    // where the hexadecimal pass can expand them in place (see HexCodec::encode).
    std::uint8_t* cipher = reinterpret_cast<std::uint8_t*>(out + kMarkerLength + 2 * n) - n;

    Rc4 rc4(key);
    if (hooks.busyCursor)
        hooks.busyCursor(true);
    const char16_t* in = text.utf16();
    rc4.run(n, [&](qsizetype k, std::uint8_t ks) { cipher[k] = Windows1252::fromUnicode[in[k]] ^ ks; });
    if (hooks.pendingEvents)
        hooks.pendingEvents();

    std::memcpy(out, kMarker, kMarkerLength * sizeof(char16_t));
    HexCodec::encode(cipher, n, out + kMarkerLength);
    if (hooks.busyCursor)
        hooks.busyCursor(false);
    return result;
}

// Decrypts when the text is the marker and hexadecimal digits only; a null
// text otherwise.
QString decryptWith(QStringView text, QStringView key, const CipherHooks& hooks) {
    const QStringView digits = text.sliced(kMarkerLength);
    const qsizetype n = (digits.size() + 1) / 2;
    QString result = outputBuffer(n);
    auto* out = reinterpret_cast<char16_t*>(result.data());
    // The cipher bytes sit in the upper half of the result's storage; character
    // k goes to bytes 2k and 2k + 1, below cipher byte n + k that it comes from.
    std::uint8_t* cipher = reinterpret_cast<std::uint8_t*>(out + n) - n;
    if (!HexCodec::decode(digits.utf16(), digits.size(), cipher))
        return {};

    Rc4 rc4(key);
    if (hooks.busyCursor)
        hooks.busyCursor(true);
    rc4.run(n, [&](qsizetype k, std::uint8_t ks) { out[k] = Windows1252::toUnicode[cipher[k] ^ ks]; });
    if (hooks.busyCursor)
        hooks.busyCursor(false);
    return result;
}

} // namespace

void setCipherHooks(CipherHooks hooks) {
    installedHooks() = std::move(hooks);
}

QString encrypt(const QString& text, const QString& key) {
    if (key.isEmpty() || text.isEmpty())
        return {};
    // A copy: the pending-events pass may run a command that installs other hooks.
    const CipherHooks hooks = installedHooks();
    return encryptWith(text, key, hooks);
}

} // namespace crypto

namespace modCofra {

bool IsEncryptedText(const QString& text) {
    return crypto::CipherShape::formOf(text) != crypto::CipherShape::Form::None;
}

QString RC4Transform(const QString& text, const QString& key) {
    // Nothing to do gives the empty text before the pointer is touched.
    if (key.isEmpty() || text.isEmpty())
        return {};
    if (text.size() > crypto::kMarkerLength && crypto::hasMarker(text)) {
        const crypto::CipherHooks hooks = crypto::installedHooks();
        QString plain = crypto::decryptWith(text, key, hooks);
        if (!plain.isNull())
            return plain;
        // Anything but hexadecimal digits after the marker is a plain text
        // that happens to begin with "737", and gets encrypted.
    }
    return crypto::encrypt(text, key);
}

} // namespace modCofra
