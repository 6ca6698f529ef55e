// The text cipher on any text and key: IsEncryptedText, RC4Transform in both
// directions (the text as given and "737" followed by it) and the key-prefixed
// form the program saves, all against a textbook RC4.
// Input: a flag byte (bit 0: UTF-16LE, otherwise UTF-8), then the key, a line
// break, and the text.
#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"
#include "tests/fuzz/FuzzInput.h"

#include <QByteArray>
#include <utility>

namespace {

using crypto::Windows1252::fromUnicode;
using crypto::Windows1252::toUnicode;

QByteArray bytesOf(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype k = 0; k < text.size(); ++k)
        bytes[k] = static_cast<char>(fromUnicode[text[k].unicode()]);
    return bytes;
}

QString charsOf(const QByteArray& bytes) {
    QString chars(bytes.size(), Qt::Uninitialized);
    for (qsizetype k = 0; k < bytes.size(); ++k)
        chars[k] = QChar(toUnicode[static_cast<std::uint8_t>(bytes[k])]);
    return chars;
}

// RC4 as it is usually written, one byte at a time.
QByteArray rc4(const QString& key, QByteArray data) {
    const QByteArray k = bytesOf(key);
    std::uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<std::uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<std::uint8_t>(k[i % k.size()])) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (qsizetype n = 0, i = 0, j = 0; n < data.size(); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[n] = static_cast<char>(data[n] ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return data;
}

bool isStoredForm(const QString& text) {
    if (text.size() < 4 || !text.startsWith(QLatin1String("737")))
        return false;
    for (qsizetype k = 3; k < text.size(); ++k) {
        if (fuzz::hexDigitValue(text[k].unicode()) < 0)
            return false;
    }
    return true;
}

// Digits in pairs; an odd last digit is a byte of its own.
QByteArray cipherBytes(QStringView digits) {
    QByteArray bytes;
    for (qsizetype k = 0; k < digits.size(); k += 2) {
        const int high = fuzz::hexDigitValue(digits[k].unicode());
        bytes += static_cast<char>(
            k + 1 < digits.size() ? high * 16 + fuzz::hexDigitValue(digits[k + 1].unicode()) : high);
    }
    return bytes;
}

void checkTransform(const QString& text, const QString& key) {
    FUZZ_CHECK(modCofra::IsEncryptedText(text) == (isStoredForm(text) || fuzz::looksStrong(text)));
    const QString out = modCofra::RC4Transform(text, key);
    if (key.isEmpty() || text.isEmpty()) {
        FUZZ_CHECK(out.isEmpty());
        return;
    }
    if (isStoredForm(text)) {
        const QStringView digits = QStringView(text).sliced(3);
        FUZZ_CHECK(out == charsOf(rc4(key, cipherBytes(digits))));
        // The stored form the program writes (upper-case pairs) comes back from its plain text.
        if (digits.size() % 2 == 0 && digits.toString() == digits.toString().toUpper())
            FUZZ_CHECK(crypto::encrypt(out, key) == text);
    } else {
        FUZZ_CHECK(out ==
                   QLatin1String("737") + QString::fromLatin1(rc4(key, bytesOf(text)).toHex().toUpper()));
        FUZZ_CHECK(modCofra::RC4Transform(out, key) == crypto::Windows1252::roundTrip(text));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const bool utf16 = input.byte() & 1;
    const QString all = input.text(utf16);
    const qsizetype lineEnd = all.indexOf(QLatin1Char('\n'));
    const QString key = lineEnd < 0 ? all : all.left(lineEnd);
    const QString text = lineEnd < 0 ? QString() : all.mid(lineEnd + 1);

    checkTransform(text, key);
    checkTransform(QLatin1String("737") + text, key);

    // Saving encrypts the key followed by the text; opening decrypts it back.
    if (!key.isEmpty()) {
        const QString stored = crypto::encrypt(key + text, key);
        FUZZ_CHECK(modCofra::IsEncryptedText(stored));
        const QString back = modCofra::RC4Transform(stored, key);
        FUZZ_CHECK(back == crypto::Windows1252::roundTrip(key + text));
        if (crypto::Windows1252::represents(key + text))
            FUZZ_CHECK(back == key + text);
    }
    return 0;
}
