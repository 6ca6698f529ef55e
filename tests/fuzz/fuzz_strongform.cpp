// The strong form's decoder over any "737~" text and key: it never crashes
// and never opens a text it did not make. What it makes opens to the text,
// and refuses the same text with any one character changed.
// Input: a flag byte (bit 0: UTF-16LE, otherwise UTF-8), a byte choosing the
// character to change, then the key, a line break, and the text.
#include "crypto/StrongForm.h"
#include "crypto/TextCipher.h"

#include <QList>
#include <cstdio>
#include <cstdlib>

// A property that does not hold. The abort makes libFuzzer keep the input,
// as it does for a sanitizer report.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "property violated: %s (line %d)\n", #condition, __LINE__);                 \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace {

using crypto::StrongForm::Status;

// Each run must be quick: stored texts may ask for 64 KiB and 2 passes at most,
// and what the target makes asks for the least there is.
const crypto::StrongForm::Limits kFuzzLimits{2, 8, 64};
constexpr crypto::StrongForm::Parameters kCheap{1, 8};

const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_");

// The strong form's shape written out the obvious way: "737~" and base64url
// characters enough for 68 bytes, in a length base64 can have.
bool looksStrong(const QString& text) {
    if (!text.startsWith(QLatin1String("737~")))
        return false;
    for (qsizetype k = 4; k < text.size(); ++k)
        if (!kAlphabet.contains(text[k]))
            return false;
    const qsizetype body = text.size() - 4;
    return body * 6 / 8 >= 68 && body % 4 != 1;
}

// The bytes as text: UTF-8 (readable seeds, invalid sequences included), or
// little-endian UTF-16 units, which reach every unit, lone surrogates too.
QString textOf(const std::uint8_t* data, std::size_t size, bool utf16) {
    if (!utf16)
        return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (qsizetype k = 0; k < text.size(); ++k)
        text[k] = QChar(char16_t(data[2 * k] | (data[2 * k + 1] << 8)));
    return text;
}

// The text as UTF-8 can carry it: a surrogate without its partner becomes U+FFFD.
QString carried(const QString& text) {
    const QList<uint> points = text.toUcs4();
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const bool utf16 = data[0] & 1;
    const std::uint8_t where = data[1];
    const QString all = textOf(data + 2, size - 2, utf16);
    const qsizetype lineEnd = all.indexOf(QLatin1Char('\n'));
    const QString key = lineEnd < 0 ? all : all.left(lineEnd);
    const QString text = lineEnd < 0 ? QString() : all.mid(lineEnd + 1);

    // Made by the fuzzer: refused, whatever it is.
    const QString forged = QLatin1String("737~") + text;
    FUZZ_CHECK(modCofra::IsEncryptedText(forged) == looksStrong(forged));
    const crypto::StrongForm::Result opened = crypto::StrongForm::decrypt(forged, key, kFuzzLimits);
    FUZZ_CHECK(opened.status != Status::Done && opened.text.isEmpty());

    // Made here: opens to the text as UTF-8 carries it, and not once changed.
    const crypto::StrongForm::Result made = crypto::StrongForm::encrypt(text, key, kCheap);
    FUZZ_CHECK(made.status == Status::Done && modCofra::IsEncryptedText(made.text));
    const QString back = crypto::StrongForm::decrypt(made.text, key, kFuzzLimits).text;
    FUZZ_CHECK(back == carried(text));
    QString changed = made.text;
    const qsizetype at = 4 + where % (changed.size() - 4);
    changed[at] = kAlphabet[(kAlphabet.indexOf(changed[at]) + 1 + where / 64) % 64];
    FUZZ_CHECK(crypto::StrongForm::decrypt(changed, key, kFuzzLimits).status != Status::Done);
    return 0;
}
