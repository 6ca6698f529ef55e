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
    void matchesOpenSsl();
};

void CipherOpenSslTest::matchesOpenSsl() {
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);
    auto randomBytes = [&](int minimum, int maximum) {
        QByteArray bytes(random.bounded(minimum, maximum + 1), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        return bytes;
    };
    auto chars = [](const QByteArray& bytes) {
        QString text(bytes.size(), Qt::Uninitialized);
        for (qsizetype k = 0; k < bytes.size(); ++k)
            text[k] = QChar(crypto::Windows1252::toUnicode[static_cast<unsigned char>(bytes[k])]);
        return text;
    };
    for (int round = 0; round < 1000; ++round) {
        const QByteArray key = randomBytes(1, 64);
        const QByteArray plain = randomBytes(1, 3000);
        const QString text = chars(plain);
        if (modCofra::IsEncryptedText(text))
            continue; // would be decoded, as it should
        RC4_KEY schedule;
        RC4_set_key(&schedule, static_cast<int>(key.size()),
                    reinterpret_cast<const unsigned char*>(key.data()));
        QByteArray expected(plain.size(), Qt::Uninitialized);
        RC4(&schedule, static_cast<size_t>(plain.size()),
            reinterpret_cast<const unsigned char*>(plain.data()),
            reinterpret_cast<unsigned char*>(expected.data()));

        const QString cipher = modCofra::RC4Transform(text, chars(key));
        QCOMPARE(cipher, QStringLiteral("737") + QString::fromLatin1(expected.toHex().toUpper()));
        QCOMPARE(modCofra::RC4Transform(cipher, chars(key)), text);
    }
}

QTEST_GUILESS_MAIN(CipherOpenSslTest)
#include "tst_cipher_openssl.moc"
