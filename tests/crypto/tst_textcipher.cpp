#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"

#include <QRegularExpression>
#include <QTest>

using modCofra::IsEncryptedText;
using modCofra::RC4Transform;

namespace {

// Characters for raw bytes given in hexadecimal, through the code page.
QString charsOf(const QByteArray& hex) {
    QString chars;
    for (const char byte : QByteArray::fromHex(hex))
        chars += QChar(crypto::Windows1252::toUnicode[static_cast<unsigned char>(byte)]);
    return chars;
}

} // namespace

class TextCipherTest : public QObject {
    Q_OBJECT
private slots:
    void publishedVectors_data();
    void publishedVectors();
    void everyByteRoundTrips();
    void encryptedForm();
    void decodingVariants();
    void markerRule_data();
    void markerRule();
    void plainTextsThatLookEncrypted();
    void emptyKeyOrText();
    void pointerAndEventsAroundTheKeystream();
};

// RFC 6229: the keystream is what encrypting zero bytes gives.
void TextCipherTest::publishedVectors_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("expected");
    const QByteArray k1 = "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20";
    const QByteArray k2 = "1ada31d5cf688221c109163908ebe51debb46227c6cc8b37641910833222772a";
    QTest::newRow("40-bit @0") << k1.left(10) << 0 << "B2396305F03DC027CCC3524A0A1118A8";
    QTest::newRow("40-bit @240") << k1.left(10) << 240 << "28CB1132C96CE286421DCAADB8B69EAE";
    QTest::newRow("64-bit @16") << k1.left(16) << 16 << "8263EFDB45C4A18684EF87E6B19E5B09";
    QTest::newRow("64-bit @4096") << k1.left(16) << 4096 << "3FB46E2C8F0F068EDCE8CDCD7DFC5862";
    QTest::newRow("128-bit @0") << k1.left(32) << 0 << "9AC7CC9A609D1EF7B2932899CDE41B97";
    QTest::newRow("128-bit @1520") << k1.left(32) << 1520 << "B40110C4190B5622A96116B0017ED297";
    QTest::newRow("256-bit @256") << k1 << 256 << "02E1E7056B0F623900496422943E97B6";
    QTest::newRow("2nd 40-bit @0") << k2.right(10) << 0 << "80AD97BDC973DF8A2E879E92A497EFDA";
    QTest::newRow("2nd 128-bit @4096") << k2.right(32) << 4096 << "5BBEB4787D59E5373FDBEA6C6F75C29B";
    QTest::newRow("2nd 192-bit @240") << k2.right(48) << 240 << "CFCC922FB4A14AB45D6175AABBF2D201";
}

void TextCipherTest::publishedVectors() {
    QFETCH(QByteArray, key);
    QFETCH(int, offset);
    QFETCH(QString, expected);
    const QString cipher = RC4Transform(QString(offset + 16, QChar(0)), charsOf(key));
    QCOMPARE(cipher.mid(3 + 2 * offset, 32), expected);
}

void TextCipherTest::everyByteRoundTrips() {
    QString all;
    for (int b = 0; b < 256; ++b) {
        const char16_t c = crypto::Windows1252::toUnicode[b];
        QCOMPARE(crypto::Windows1252::fromUnicode[c], b);
        all += QChar(c);
    }
    for (const int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(int(crypto::Windows1252::toUnicode[b]), b);
    QCOMPARE(crypto::Windows1252::toUnicode[0x80], u'\u20AC');
    const QString cipher = RC4Transform(all, QStringLiteral("k\u00e9y\u20ac"));
    QCOMPARE(RC4Transform(cipher, QStringLiteral("k\u00e9y\u20ac")), all);
    // Outside the code page: one "?" per character.
    QCOMPARE(RC4Transform(RC4Transform(QStringLiteral("a\u4e2d\u0100b"), "k"), "k"), QStringLiteral("a??b"));
}

void TextCipherTest::encryptedForm() {
    const QRegularExpression form(QStringLiteral("^737[0-9A-F]*$"));
    for (const int n : {1, 2, 15, 16, 17, 33, 1000}) {
        const QString cipher = RC4Transform(QString(n, QLatin1Char('\n')), QStringLiteral("Key"));
        QCOMPARE(cipher.size(), 3 + 2 * n);
        QVERIFY(form.match(cipher).hasMatch());
    }
    // Keystream 0x05 in fourth place: written "05", not "5".
    QCOMPARE(RC4Transform(QString(4, QChar(0)), charsOf("0102030405")), QStringLiteral("737B2396305"));
}

void TextCipherTest::decodingVariants() {
    const QString key = charsOf("0102030405");
    const QString zeros(4, QChar(0));
    QCOMPARE(RC4Transform(QStringLiteral("737b2396305"), key), zeros);
    QCOMPARE(RC4Transform(QStringLiteral("737b2396305f03dc027"), key),
             RC4Transform("737B2396305F03DC027", key));
    // An odd last digit is one byte of its own: 0x07 against keystream byte 0xF0.
    QCOMPARE(RC4Transform(QStringLiteral("737B23963057"), key), zeros + QChar(0xF7));
}

void TextCipherTest::markerRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("stored form") << "737B2396305F" << true;
    QTest::newRow("lower case") << "737b2" << true;
    QTest::newRow("one digit") << "7370" << true;
    QTest::newRow("marker alone") << "737" << false;
    QTest::newRow("phone number") << "737-555-0199 plumber" << false;
    QTest::newRow("non-hex pair") << "737B2ZZ05" << false;
    QTest::newRow("line break") << "737AB\r\n" << false;
    QTest::newRow("space") << "737 AB" << false;
    QTest::newRow("fullwidth digits") << "737\uff21\uff22" << false;
    QTest::newRow("marker later") << "x737AB" << false;
    QTest::newRow("short") << "73" << false;
    QTest::newRow("empty") << "" << false;
}

void TextCipherTest::markerRule() {
    QFETCH(QString, text);
    QFETCH(bool, encrypted);
    QCOMPARE(IsEncryptedText(text), encrypted);
}

// Texts that begin with "737" but are no stored form are encrypted like any other.
void TextCipherTest::plainTextsThatLookEncrypted() {
    for (const QString& text :
         {QStringLiteral("737"), QStringLiteral("737-555-0199 plumber"), QStringLiteral("737B2ZZ05")}) {
        const QString cipher = RC4Transform(text, QStringLiteral("pw"));
        QVERIFY2(IsEncryptedText(cipher), qPrintable(cipher));
        QCOMPARE(cipher.size(), 3 + 2 * text.size());
        QCOMPARE(RC4Transform(cipher, QStringLiteral("pw")), text);
    }
}

void TextCipherTest::emptyKeyOrText() {
    QCOMPARE(RC4Transform(QStringLiteral("plain"), QString()), QString());
    QCOMPARE(RC4Transform(QStringLiteral("737B2396305"), QString()), QString());
    QCOMPARE(RC4Transform(QString(), QStringLiteral("key")), QString());
    QCOMPARE(crypto::encrypt(QStringLiteral("plain"), QString()), QString());
}

void TextCipherTest::pointerAndEventsAroundTheKeystream() {
    QStringList calls;
    bool busy = false;
    crypto::setCipherHooks({[&](bool on) {
                                busy = on;
                                calls << (on ? "on" : "off");
                            },
                            [&] { calls << (busy ? "events while busy" : "events"); }});
    const QString cipher = RC4Transform(QStringLiteral("text"), QStringLiteral("key"));
    QCOMPARE(calls, QStringList({"on", "events while busy", "off"}));
    calls.clear();
    QCOMPARE(RC4Transform(cipher, QStringLiteral("key")), QStringLiteral("text"));
    QCOMPARE(calls, QStringList({"on", "off"}));
    calls.clear();
    RC4Transform(QStringLiteral("text"), QString());
    RC4Transform(QString(), QStringLiteral("key"));
    QVERIFY(calls.isEmpty());
    crypto::setCipherHooks({});
}

QTEST_GUILESS_MAIN(TextCipherTest)
#include "tst_textcipher.moc"
