// The cipher against OpenSSL's RC4 over random keys and texts.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"

#include <QRandomGenerator>
#include <QTest>

#include <openssl/rc4.h>

class CipherOpenSslTest : public QObject {
    Q_OBJECT
private slots:
    void matchesOpenSsl() {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        auto randomBytes = [&](int maximum) {
            QByteArray bytes(random.bounded(1, maximum + 1), Qt::Uninitialized);
            for (char& byte : bytes)
                byte = static_cast<char>(random.bounded(256));
            return bytes;
        };
        auto chars = [](const QByteArray& bytes) {
            QString text;
            for (const char byte : bytes)
                text += QChar(crypto::Windows1252::toUnicode[static_cast<unsigned char>(byte)]);
            return text;
        };
        for (int round = 0; round < 1000; ++round) {
            const QByteArray key = randomBytes(64);
            const QByteArray plain = randomBytes(3000);
            RC4_KEY schedule;
            RC4_set_key(&schedule, static_cast<int>(key.size()),
                        reinterpret_cast<const unsigned char*>(key.data()));
            QByteArray expected(plain.size(), Qt::Uninitialized);
            RC4(&schedule, static_cast<size_t>(plain.size()),
                reinterpret_cast<const unsigned char*>(plain.data()),
                reinterpret_cast<unsigned char*>(expected.data()));

            const QString cipher = crypto::encrypt(chars(plain), chars(key));
            QCOMPARE(cipher, QStringLiteral("737") + QString::fromLatin1(expected.toHex().toUpper()));
            QCOMPARE(modCofra::RC4Transform(cipher, chars(key)), chars(plain));
        }
    }
};

QTEST_GUILESS_MAIN(CipherOpenSslTest)
#include "tst_cipher_openssl.moc"
