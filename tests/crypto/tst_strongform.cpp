// The strong form against outside references (the XChaCha20-Poly1305 vector of
// its draft standard, Debian's argon2 tool, a string made by another program),
// then its round trips and what it refuses.
#include "crypto/CipherShape.h"
#include "crypto/SecureBytes.h"
#include "crypto/Sodium.h"
#include "crypto/StrongForm.h"
#include "crypto/TextCipher.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <cstring>

using namespace crypto;
using StrongForm::Status;

namespace {

constexpr StrongForm::Parameters kQuick{1, 8};

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())};
}
std::span<std::uint8_t> room(QByteArray& bytes) {
    return {reinterpret_cast<std::uint8_t*>(bytes.data()), std::size_t(bytes.size())};
}

QByteArray blobOf(const QString& stored) {
    QByteArray blob;
    return Sodium::fromBase64Url(QStringView(stored).sliced(4), blob) ? blob : QByteArray();
}

QString storedOf(const QByteArray& blob) {
    return "737~" + QString::fromLatin1(Sodium::toBase64Url(bytesOf(blob)));
}

} // namespace

class StrongFormTest : public QObject {
    Q_OBJECT
private slots:
    void xchachaVectorThroughTheWrapper() {
        // draft-irtf-cfrg-xchacha, appendix A.3.1.
        const QByteArray key = QByteArray::fromHex("808182838485868788898a8b8c8d8e8f"
                                                   "909192939495969798999a9b9c9d9e9f");
        const QByteArray nonce = QByteArray::fromHex("404142434445464748494a4b4c4d4e4f5051525354555657");
        const QByteArray ad = QByteArray::fromHex("50515253c0c1c2c3c4c5c6c7");
        const QByteArray plain(
            "Ladies and Gentlemen of the class of '99: If I could offer you only one tip for the "
            "future, sunscreen would be it.");
        const QByteArray expected = QByteArray::fromHex(
            "bd6d179d3e83d43b9576579493c0e939572a1700252bfaccbed2902c21396cbb731c7f1b0b4aa6440bf3a82f4eda7e39"
            "ae64c6708c54c216cb96b72e1213b4522f8c9ba40db5d945b11b69b982c1bb9e3f3fac2bc369488f76b2383565d3fff9"
            "21f9664c97637da9768812f615c68b13b52ec0875924c1c7987947deafd8780acf49");
        SecureBytes k(32);
        std::memcpy(k.data(), key.constData(), 32);
        k.setSize(32);
        const auto n = std::span<const std::uint8_t, 24>(bytesOf(nonce).first<24>());
        QByteArray cipher(expected.size(), Qt::Uninitialized);
        QVERIFY(Sodium::seal(room(cipher), bytesOf(plain), bytesOf(ad), n, k));
        QCOMPARE(cipher.toHex(), expected.toHex());
        QByteArray back(plain.size(), Qt::Uninitialized);
        QVERIFY(Sodium::open(room(back), bytesOf(cipher), bytesOf(ad), n, k));
        QCOMPARE(back, plain);
        cipher[cipher.size() - 1] = char(cipher.back() ^ 1);
        QVERIFY(!Sodium::open(room(back), bytesOf(cipher), bytesOf(ad), n, k));
        QCOMPARE(back, QByteArray(plain.size(), '\0')); // nothing of a refused text is left
    }

    // Debian's argon2 tool (package argon2) is the reference; without it the check cannot be made.
    void argon2idMatchesTheArgon2Tool() {
        const QByteArray salt = "NaCl salt 16 b!!";
        const QByteArray key = QStringLiteral("Schl\u00fcssel \u043a\u043b\u044e\u0447 \U0001F511").toUtf8();
        for (const auto& [passes, memoryKiB] : {std::pair{2u, 64u}, std::pair{4u, 1024u}}) {
            QProcess tool;
            tool.start("argon2", {salt, "-id", "-t", QString::number(passes), "-k",
                                  QString::number(memoryKiB), "-p", "1", "-l", "32", "-r"});
            QVERIFY2(tool.waitForStarted(),
                     "the argon2 command-line tool is missing: apt-get install argon2");
            tool.write(key);
            tool.closeWriteChannel();
            QVERIFY(tool.waitForFinished() && tool.exitCode() == 0);
            SecureBytes derived(Sodium::KeyBytes);
            QVERIFY(Sodium::deriveKey(derived, bytesOf(key), bytesOf(salt).first<16>(), passes, memoryKiB));
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(derived.data()), 32).toHex(),
                     tool.readAllStandardOutput().trimmed());
        }
    }

    // Made by libsodium outside this program, at the default parameters.
    void stringMadeElsewhereOpens() {
        const QString stored =
            "737~AQEBAAMAAAAAAAQAfOFjTfAZnJnSIAx_FrPq04Dne0-eJUzsSs8d8776_O4xSJgYgm1vBSOD5_3NMC0cc9Gu"
            "w8bwcQnHZevpJN4lOTIGTD_c03Swzb8OTM9LLl5U8mBzaRfsn4TUfXolX0knQg";
        QVERIFY(modCofra::IsEncryptedText(stored));
        const StrongForm::Result opened =
            StrongForm::decrypt(stored, QStringLiteral("Gr\u00fc\u00dfe \U0001F511 key"));
        QCOMPARE(int(opened.status), int(Status::Done));
        QCOMPARE(opened.text,
                 QStringLiteral("Geheimnis: \u00fcn\u00efc\u00f8d\u00e9 \u2713 \u20ac \u2014 \u79d8\u5bc6"));
        QCOMPARE(opened.memoryKiB, StrongForm::Defaults.memoryKiB);
    }

    // Any script, emoji and line breaks come back; a key typed composed or
    // decomposed is the same key (U+0958 grows to two characters when
    // composed); a wrong one is told apart from a damaged text.
    void roundTripsAndWrongKeys() {
        const QString texts[] = {"", "Dear diary,\r\n\tcaf\u00e9 \u2192 \u00fcber",
                                 QStringLiteral("\u65e5\u672c\u8a9e\u3068\u0627\u0644\u0639\u0631\u0628\u064a"
                                                "\u0629 \U0001F600\n\u0928\u092e\u0938\u094d\u0924\u0947"),
                                 "737-555-0199", QString(5000, u'\u00e9')};
        const QString keys[] = {"\u043a\u043b\u044e\u0447 \U0001F511", "Caf\u00e9", "7370", "\u0958",
                                "\uac00\u5bc6"};
        for (int n = 0; n < 5; ++n) {
            const StrongForm::Result made = StrongForm::encrypt(texts[n], keys[n], {2, 16});
            QCOMPARE(int(made.status), int(Status::Done));
            const QByteArray blob = blobOf(made.text);
            QCOMPARE(blob.size(), 68 + texts[n].toUtf8().size());
            QCOMPARE(blob.first(12).toHex(), QByteArray("010101000200000010000000"));
            QCOMPARE(CipherShape::formOf(made.text), CipherShape::Form::Strong);
            // The key typed decomposed (as some keyboards give it) is the same key.
            QCOMPARE(StrongForm::decrypt(made.text, keys[n].normalized(QString::NormalizationForm_D)).text,
                     texts[n]);
            QCOMPARE(int(StrongForm::decrypt(made.text, keys[n] + " ").status), int(Status::WrongKey));
            // Fresh salt and nonce each time.
            QVERIFY(StrongForm::encrypt(texts[n], keys[n], kQuick).text.mid(20, 40) != made.text.mid(20, 40));
        }
        // UTF-8 cannot carry a surrogate without its partner, at the end neither: it comes back as U+FFFD.
        const QString lone = QString("a") + QChar(0xDC00) + "b" + QChar(0xD800);
        QCOMPARE(StrongForm::decrypt(StrongForm::encrypt(lone, "k", kQuick).text, "k").text,
                 "a\ufffdb\ufffd");
    }

    // A change of any one character is refused, before or after the key is
    // derived; none opens, whatever the change does to the parameters.
    void everySingleCharacterChangeIsRefused() {
        const QString stored = StrongForm::encrypt("Meet at noon", "pw", kQuick).text;
        const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
        // A cap on the memory keeps the changed parameters cheap to try; the refusal is the same.
        const StrongForm::Limits cheap{16, 8, 1024};
        QSet<int> outcomes;
        for (qsizetype at = 4; at < stored.size(); ++at) {
            for (const int flip : {1, 32}) {
                QString changed = stored;
                changed[at] = alphabet[alphabet.indexOf(stored[at]) ^ flip];
                const Status status = StrongForm::decrypt(changed, "pw", cheap).status;
                QVERIFY2(status == Status::WrongKey || status == Status::Unreadable, qPrintable(changed));
                outcomes << int(status);
            }
        }
        QCOMPARE(outcomes.size(), 2);
        QCOMPARE(StrongForm::decrypt(stored, "pw", cheap).text, "Meet at noon");
    }

    // Texts the program did not make never open and leave nothing behind, under
    // any key: random characters, and a made text cut, spliced and overwritten
    // (the same texts in every run; ASan watches the decoder in CI).
    void forgedTextsNeverOpen() {
        const QString made = StrongForm::encrypt(QString(300, 'm'), "pw", kQuick).text;
        QVERIFY(modCofra::IsEncryptedText(made));
        const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
        QRandomGenerator random(737);
        const auto any = [&] {
            return random.bounded(8) ? alphabet[random.bounded(64)]
                                     : QChar(char16_t(random.bounded(0x10000)));
        };
        for (int n = 0; n < 4000; ++n) {
            QString forged = "737~" + made.mid(4, random.bounded(int(made.size())));
            for (int k = random.bounded(n % 2 ? 4 : 200); k > 0; --k)
                forged.insert(4 + random.bounded(int(forged.size()) - 3), any());
            if (n % 2)
                forged[4 + random.bounded(int(forged.size()) - 4)] = any();
            if (forged == made)
                continue;
            const StrongForm::Result opened = StrongForm::decrypt(forged, n % 3 ? "pw" : "", {2, 8, 64});
            QVERIFY2(opened.status != Status::Done && opened.text.isEmpty(), qPrintable(forged));
        }
    }

    // Unknown values and parameters beyond the limits are refused before
    // anything is derived; the limits themselves are taken.
    void headerValuesAndLimits() {
        const QByteArray blob = blobOf(StrongForm::encrypt("text", "pw", kQuick).text);
        const auto with = [&](int at, const QByteArray& value) {
            QByteArray changed = blob;
            changed.replace(at, value.size(), value);
            return int(StrongForm::decrypt(storedOf(changed), "pw").status);
        };
        // At a header offset, little-endian bytes: version, derivation, cipher, flags, passes, memory.
        for (const char* change : {"0:02", "0:00", "1:02", "2:02", "3:01", "3:80", "4:00000000", "4:11000000",
                                   "8:07000000", "8:01001000", "8:ffffffff"}) {
            const QByteArray at = QByteArray(change).split(':')[0], value = QByteArray(change).split(':')[1];
            QVERIFY2(with(at.toInt(), QByteArray::fromHex(value)) == int(Status::Unreadable), change);
        }
        // Inside the limits the header is read, and then it no longer matches its tag.
        QCOMPARE(with(4, QByteArray::fromHex("02000000")), int(Status::WrongKey));
        QCOMPARE(StrongForm::decrypt(StrongForm::encrypt("t", "pw", {16, 8}).text, "pw").text, "t");
        // Too short for a header and a tag, or not the form's characters at all.
        QCOMPARE(int(StrongForm::decrypt(storedOf(blob.first(67)), "pw").status), int(Status::Unreadable));
        QCOMPARE(int(StrongForm::decrypt(storedOf(blob) + "!", "pw").status), int(Status::Unreadable));
    }

    // Either form is a ciphertext only in full; "~" never starts a legacy body.
    void shapeOfBothForms() {
        const QString body = StrongForm::encrypt("", "pw", kQuick).text.sliced(4); // 91 characters
        QCOMPARE(body.size(), 91);
        QVERIFY(modCofra::IsEncryptedText("737~" + body) && modCofra::IsEncryptedText("737~" + body + "A"));
        for (const QString& no : QStringList{
                 "737~" + body.chopped(1), "737~" + body + "AB",
                 "737~" + body + "==", "737~" + QString(body).replace(40, 1, "+"), "737~" + body + " ",
                 "737~" + body + "\n", "737~" + body + "\u00c0", "737" + body, "737~", QString("737~ABCD")})
            QVERIFY2(!modCofra::IsEncryptedText(no), qPrintable(no));
    }
};

QTEST_GUILESS_MAIN(StrongFormTest)
#include "tst_strongform.moc"
