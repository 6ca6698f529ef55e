#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"

#include <QRegularExpression>
#include <QTest>

using modCofra::IsEncryptedText;
using modCofra::RC4Transform;

// Characters for raw bytes given in hexadecimal, through the code page.
static QString charsOf(const QByteArray& hex) {
    QString chars;
    for (const char byte : QByteArray::fromHex(hex))
        chars += QChar(crypto::Windows1252::toUnicode[static_cast<unsigned char>(byte)]);
    return chars;
}

class TextCipherTest : public QObject {
    Q_OBJECT
private slots:
    // RFC 6229: the keystream is what encrypting zero bytes gives.
    void publishedVectors() {
        const QByteArray k1 = "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20";
        const QByteArray k2 = "1ada31d5cf688221c109163908ebe51debb46227c6cc8b37641910833222772a";
        const struct {
            QByteArray key;
            int offset;
            const char* expected;
        } vectors[] = {{k1.left(10), 0, "B2396305F03DC027CCC3524A0A1118A8"},
                       {k1.left(16), 4096, "3FB46E2C8F0F068EDCE8CDCD7DFC5862"},
                       {k1.left(32), 1520, "B40110C4190B5622A96116B0017ED297"},
                       {k1, 256, "02E1E7056B0F623900496422943E97B6"},
                       {k2.right(32), 4096, "5BBEB4787D59E5373FDBEA6C6F75C29B"},
                       {k2.right(48), 240, "CFCC922FB4A14AB45D6175AABBF2D201"}};
        for (const auto& v : vectors) {
            const QString cipher = RC4Transform(QString(v.offset + 16, QChar(0)), charsOf(v.key));
            QCOMPARE(cipher.mid(3 + 2 * v.offset, 32), QString::fromLatin1(v.expected));
        }
    }

    void everyByteRoundTrips() {
        QString all;
        for (int b = 0; b < 256; ++b) {
            const char16_t c = crypto::Windows1252::toUnicode[b];
            QCOMPARE(crypto::Windows1252::fromUnicode[c], b);
            QVERIFY(b < 0x80 || b >= 0xA0 || c > 0xFF || c == b); // the five gaps stand for themselves
            all += QChar(c);
        }
        QCOMPARE(crypto::Windows1252::toUnicode[0x8D], u'\u008D');
        QCOMPARE(crypto::Windows1252::toUnicode[0x80], u'\u20AC');
        QCOMPARE(RC4Transform(RC4Transform(all, "k\u00e9y\u20ac"), "k\u00e9y\u20ac"), all);
        // Outside the code page: one "?" per character.
        QCOMPARE(RC4Transform(RC4Transform(QStringLiteral("a\u4e2d\u0100b"), "k"), "k"),
                 QStringLiteral("a??b"));
    }

    void encryptedFormAndItsReading() {
        for (const int n : {1, 15, 16, 17, 33, 1000}) {
            const QString cipher = RC4Transform(QString(n, QLatin1Char('\n')), QStringLiteral("Key"));
            QCOMPARE(cipher.size(), 3 + 2 * n);
            QVERIFY(QRegularExpression(QStringLiteral("^737[0-9A-F]*$")).match(cipher).hasMatch());
        }
        const QString key = charsOf("0102030405");
        const QString zeros(4, QChar(0));
        // Keystream 0x05 in fourth place: written "05", not "5".
        QCOMPARE(RC4Transform(zeros, key), QStringLiteral("737B2396305"));
        QCOMPARE(RC4Transform(QStringLiteral("737b2396305"), key), zeros);
        // An odd last digit is one byte of its own: 0x07 against keystream byte 0xF0.
        QCOMPARE(RC4Transform(QStringLiteral("737B23963057"), key), zeros + QChar(0xF7));
    }

    // Only "737" and hexadecimal digits is a stored form; any other text is
    // encrypted, whatever it begins with.
    void markerRule() {
        for (const char* text : {"737B2396305F", "737b2", "7370"})
            QVERIFY2(IsEncryptedText(QString::fromUtf8(text)), text);
        for (const char* text :
             {"737", "737-555-0199 plumber", "737B2ZZ05", "737AB\r\n", "737\u00c0B", "x737AB", "73", ""}) {
            const QString plain = QString::fromUtf8(text);
            QVERIFY2(!IsEncryptedText(plain), text);
            const QString cipher = RC4Transform(plain, QStringLiteral("pw"));
            QCOMPARE(cipher.size(), plain.isEmpty() ? 0 : 3 + 2 * plain.size());
            QCOMPARE(RC4Transform(cipher, QStringLiteral("pw")), plain);
        }
    }

    void pointerAndEventsOnlyAroundRealWork() {
        QStringList calls;
        bool busy = false;
        crypto::setCipherHooks({[&](bool on) { calls << ((busy = on) ? "on" : "off"); },
                                [&] { calls << (busy ? "events while busy" : "events"); }});
        const QString cipher = RC4Transform(QStringLiteral("text"), QStringLiteral("key"));
        QCOMPARE(calls, QStringList({"on", "events while busy", "off"}));
        calls.clear();
        QCOMPARE(RC4Transform(cipher, QStringLiteral("key")), QStringLiteral("text"));
        QCOMPARE(calls, QStringList({"on", "off"}));
        calls.clear();
        QCOMPARE(RC4Transform(QStringLiteral("text"), QString()), QString());
        QCOMPARE(RC4Transform(cipher, QString()), QString());
        QCOMPARE(calls, QStringList());
        crypto::setCipherHooks({});
    }
};

QTEST_GUILESS_MAIN(TextCipherTest)
#include "tst_textcipher.moc"
