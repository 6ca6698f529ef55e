// Times the text cipher over a 10 MB text against OpenSSL's RC4 over the same
// 10 MB, in one run, and prints the ratios (ours / OpenSSL's) and throughputs.
#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr qsizetype kTextSize = qsizetype{10} * 1024 * 1024;
constexpr int kRounds = 15;

// Seconds of one run of the work.
double timed(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// Mostly printable text with line breaks and a few characters from the upper
// half of the code page, like a long note.
QString makeText(qsizetype size) {
    const QString alphabet =
        QStringLiteral("abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 "
                       ".,;:!?-\r\n\u00e9\u00fc\u00df\u20ac\u2019");
    QString text(size, Qt::Uninitialized);
    QRandomGenerator random(1234);
    for (qsizetype k = 0; k < size; ++k)
        text[k] = alphabet[random.bounded(static_cast<int>(alphabet.size()))];
    return text;
}

struct OpenSslRc4 {
    OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    OSSL_PROVIDER* base = OSSL_PROVIDER_load(nullptr, "default");
    EVP_CIPHER* rc4 = EVP_CIPHER_fetch(nullptr, "RC4", nullptr);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();

    ~OpenSslRc4() {
        EVP_CIPHER_CTX_free(ctx);
        EVP_CIPHER_free(rc4);
        if (base)
            OSSL_PROVIDER_unload(base);
        if (legacy)
            OSSL_PROVIDER_unload(legacy);
    }
    bool ready() const { return legacy && rc4 && ctx; }

    void transform(const QByteArray& key, const std::vector<unsigned char>& in,
                   std::vector<unsigned char>& out) {
        const unsigned int keyLength = static_cast<unsigned int>(key.size());
        const OSSL_PARAM params[] = {
            OSSL_PARAM_construct_uint("keylen", const_cast<unsigned int*>(&keyLength)),
            OSSL_PARAM_construct_end()};
        EVP_CipherInit_ex2(ctx, rc4, nullptr, nullptr, 1, params);
        EVP_CipherInit_ex2(ctx, nullptr, reinterpret_cast<const unsigned char*>(key.constData()), nullptr, 1,
                           nullptr);
        int written = 0;
        EVP_CipherUpdate(ctx, out.data(), &written, in.data(), static_cast<int>(in.size()));
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // As in the program: one pass of pending events per encryption.
    crypto::setCipherHooks({{}, [] { QCoreApplication::processEvents(); }});

    OpenSslRc4 openssl;
    if (!openssl.ready()) {
        std::fprintf(stderr, "OpenSSL's RC4 is not available (legacy provider): %s\n",
                     ERR_error_string(ERR_get_error(), nullptr));
        return 1;
    }

    const QString key = QStringLiteral("Correct Horse 42");
    const QString text = makeText(kTextSize);
    const QByteArray keyBytes = key.toLatin1();
    std::vector<unsigned char> in(static_cast<std::size_t>(kTextSize));
    std::vector<unsigned char> out(in.size());
    for (std::size_t k = 0; k < in.size(); ++k)
        in[k] = crypto::Windows1252::fromUnicode[text[static_cast<qsizetype>(k)].unicode()];

    // The three take turns within each round, so that a busy spell on the
    // machine hits them alike; the best round of each counts.
    QString cipher;
    QString plain;
    double encryptSeconds = 1e9;
    double decryptSeconds = 1e9;
    double opensslSeconds = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        encryptSeconds = std::min(encryptSeconds, timed([&] { cipher = modCofra::RC4Transform(text, key); }));
        decryptSeconds =
            std::min(decryptSeconds, timed([&] { plain = modCofra::RC4Transform(cipher, key); }));
        opensslSeconds = std::min(opensslSeconds, timed([&] { openssl.transform(keyBytes, in, out); }));
    }
    if (plain != text || cipher.size() != 3 + 2 * kTextSize) {
        std::fprintf(stderr, "round trip failed\n");
        return 1;
    }

    const double megabytes = static_cast<double>(kTextSize) / (1024.0 * 1024.0);
    std::printf("text_size_mb %.0f\n", megabytes);
    std::printf("cipher_encrypt_mb_per_s %.1f\n", megabytes / encryptSeconds);
    std::printf("cipher_decrypt_mb_per_s %.1f\n", megabytes / decryptSeconds);
    std::printf("openssl_rc4_mb_per_s %.1f\n", megabytes / opensslSeconds);
    std::printf("cipher_encrypt_ratio %.2f\n", encryptSeconds / opensslSeconds);
    std::printf("cipher_decrypt_ratio %.2f\n", decryptSeconds / opensslSeconds);
    return 0;
}
