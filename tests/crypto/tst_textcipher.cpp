// The text cipher against published RC4 vectors and, where it is installed,
// against OpenSSL's RC4.
#include "crypto/HexCodec.h"
#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"

#include <QSet>
#include <array>
#include <cstring>
#include <numeric>

#include <QScopeGuard>
#include <QTest>
#ifdef COFRA_WITH_OPENSSL
#include <QRandomGenerator>
#include <openssl/rc4.h>
#endif

using namespace modCofra;

// The characters that stand for the given bytes in the code page.
static QString charsOf(const QByteArray& bytes) {
    QString chars;
    for (const char byte : bytes)
        chars += QChar(crypto::Windows1252::toUnicode[static_cast<unsigned char>(byte)]);
    return chars;
}

// 0x80 to 0x9F of the code page; the five bytes it leaves unassigned stand
// for the C1 control of the same number.
constexpr char16_t HighHalf[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class TextCipherTest : public QObject {
    Q_OBJECT
private slots:
    void rc4AndCodePage() {
        // RFC 6229: the keystream is what encrypting zero bytes gives.
        const std::tuple<const char*, int, const char*> vectors[] = {
            {"0102030405", 0, "B2396305F03DC027CCC3524A0A1118A8"},
            {"0102030405060708", 4096, "3FB46E2C8F0F068EDCE8CDCD7DFC5862"},
            {"0102030405060708090a0b0c0d0e0f10", 1520, "B40110C4190B5622A96116B0017ED297"},
            {"ebb46227c6cc8b37641910833222772a", 4096, "5BBEB4787D59E5373FDBEA6C6F75C29B"},
            {"c109163908ebe51debb46227c6cc8b37641910833222772a", 240, "CFCC922FB4A14AB45D6175AABBF2D201"}};
        for (const auto& [key, offset, expected] : vectors)
            QCOMPARE(RC4Transform(QString(offset + 16, QChar(0)), charsOf(QByteArray::fromHex(key)))
                         .mid(3 + 2 * offset, 32),
                     QString::fromLatin1(expected));

        const QString all = QString::fromUtf16(crypto::Windows1252::toUnicode.data(), 256);
        QCOMPARE(RC4Transform(RC4Transform(all, "k\u00e9y\u20ac"), "k\u00e9y\u20ac"), all);
        // Outside the code page: one "?" per character.
        QCOMPARE(RC4Transform(RC4Transform("a\u4e2d\u0100b", "k"), "k"), QStringLiteral("a??b"));

        const QString key = charsOf("\x01\x02\x03\x04\x05"), zeros(4, QChar(0));
        // Keystream 0x05 in fourth place: written "05", not "5".
        QCOMPARE(RC4Transform(zeros, key), QStringLiteral("737B2396305"));
        QCOMPARE(RC4Transform("737b2396305", key), zeros);
        // An odd last digit is one byte of its own: 0x07 against keystream byte 0xF0.
        QCOMPARE(RC4Transform("737B23963057", key), zeros + QChar(0xF7));
    }

    // Every UTF-16 unit and every byte, against the code page's published
    // table (unicode.org, MAPPINGS/VENDORS/MICSFT/WINDOWS/CP1252.TXT) and a
    // digit reader written the obvious way.
    void codePageAndHexDigits() {
        using namespace crypto;
        const char digitsBothCases[] = "0123456789abcdef0123456789ABCDEF";
        QSet<char16_t> page;
        for (int b = 0; b < 256; ++b) {
            const char16_t c = b >= 0x80 && b < 0xA0 ? HighHalf[b - 0x80] : char16_t(b);
            QCOMPARE(Windows1252::toUnicode[b], c);
            page.insert(c);
        }
        for (int u = 0; u < 0x10000; ++u) {
            const auto c = char16_t(u);
            const bool inside = page.contains(c);
            QCOMPARE(Windows1252::represents(QStringView(&c, 1)), inside);
            QCOMPARE(Windows1252::toUnicode[Windows1252::fromUnicode[u]], inside ? c : u'?');
            const int digit = c < 0x80 ? int(QByteArrayView(digitsBothCases).indexOf(char(c))) % 16 : -1;
            QCOMPARE(HexCodec::isHexDigit(c), digit >= 0);
            // The unit as the low digit of a pair, and as an odd last digit after one.
            std::uint8_t got[2] = {};
            const char16_t units[] = {u'7', c, u'7', u'7', c};
            QCOMPARE(HexCodec::decode(units, 2, got) ? got[0] : -1, digit < 0 ? -1 : 0x70 + digit);
            QCOMPARE(HexCodec::decode(units + 2, 3, got) ? got[1] : -1, digit);
        }
        // All bytes out as upper-case pairs and back from either case; an odd
        // last digit is a byte of its own; the output may overlap its input.
        std::array<std::uint8_t, 257> bytes{}, back{};
        std::iota(bytes.begin(), bytes.begin() + 256, 0);
        bytes[256] = 0x0A;
        std::array<char16_t, 512> digits{}, shared{};
        HexCodec::encode(bytes.data(), 256, digits.data());
        const QByteArray hex = QByteArray(reinterpret_cast<const char*>(bytes.data()), 256).toHex();
        QCOMPARE(QString::fromUtf16(digits.data(), 512), QString::fromLatin1(hex.toUpper()));
        const QString lower = QString::fromLatin1(hex) + u'a';
        QVERIFY(HexCodec::decode(reinterpret_cast<const char16_t*>(lower.utf16()), 513, back.data()));
        QVERIFY(back == bytes);
        auto* tail = reinterpret_cast<std::uint8_t*>(shared.data()) + std::size_t{3} * 256;
        std::memcpy(tail, bytes.data(), 256);
        HexCodec::encode(tail, 256, shared.data());
        QVERIFY(shared == digits);
        // A stray character anywhere, the last of a long text too, is refused.
        // Units whose low byte is a digit must not pass as one in the wide paths.
        for (const std::size_t at : {0, 1, 255, 511})
            for (const char16_t stray : {u'g', u'\u0130', u'\uff41', u'\u4130'}) {
                std::array<char16_t, 512> bad = digits;
                bad[at] = stray;
                QVERIFY(!HexCodec::decode(bad.data(), 512, back.data()));
            }
    }

    // Only "737" and hexadecimal digits is a stored form; any other text is
    // encrypted, whatever it begins with, to "737" and two digits per character.
    void storedFormAndHooks() {
        QVERIFY(IsEncryptedText("737B2396305F") && IsEncryptedText("737b2") && IsEncryptedText("7370"));
        for (const QString& plain : QStringList{"737", "737-555-0199 plumber", "737B2ZZ05", "737AB\r\n",
                                                "7370123456789G123456789ABCDEF0123456789", "737\u00c0B",
                                                "x737AB", "73", QString(1000, u'\n')}) {
            QVERIFY2(!IsEncryptedText(plain), qPrintable(plain));
            const QString out = RC4Transform(plain, "pw");
            QVERIFY(out.size() == 3 + 2 * plain.size() && IsEncryptedText(out) && out == out.toUpper());
            QCOMPARE(RC4Transform(out, "pw"), plain);
        }

        // Nothing to do gives nothing; the busy pointer only around real work, and
        // window events once, only while encrypting.
        QStringList calls;
        bool busy = false;
        const auto uninstall = qScopeGuard([] { crypto::setCipherHooks({}); });
        crypto::setCipherHooks({[&](bool on) { calls << ((busy = on) ? "on" : "off"); },
                                [&] { calls << (busy ? "events while busy" : "events"); }});
        QCOMPARE(RC4Transform(RC4Transform("text", "key"), "key"), QStringLiteral("text"));
        QCOMPARE(RC4Transform("text", "") + RC4Transform("737AB", "") + RC4Transform("", "key"), QString());
        QCOMPARE(calls, QStringList({"on", "events while busy", "off", "on", "off"}));
    }

#ifdef COFRA_WITH_OPENSSL
    void matchesOpenSsl() {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        QByteArray bytes(64 + 3000, Qt::Uninitialized);
        for (int round = 0; round < 1000; ++round) {
            for (char& byte : bytes)
                byte = static_cast<char>(random.bounded(256));
            // Keys of 1 to 64 bytes, texts of 1 to 3000.
            const QByteArray key = bytes.left(random.bounded(1, 65)),
                             plain = bytes.right(random.bounded(1, 3001));
            QByteArray expected(plain.size(), Qt::Uninitialized);
            RC4_KEY schedule;
            RC4_set_key(&schedule, static_cast<int>(key.size()), reinterpret_cast<const uchar*>(key.data()));
            RC4(&schedule, static_cast<size_t>(plain.size()), reinterpret_cast<const uchar*>(plain.data()),
                reinterpret_cast<uchar*>(expected.data()));
            const QString cipher = crypto::encrypt(charsOf(plain), charsOf(key));
            QCOMPARE(cipher, QStringLiteral("737") + QString::fromLatin1(expected.toHex().toUpper()));
            QCOMPARE(RC4Transform(cipher, charsOf(key)), charsOf(plain));
        }
    }
#endif
};

QTEST_GUILESS_MAIN(TextCipherTest)
#include "tst_textcipher.moc"
