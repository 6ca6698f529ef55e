// The code page of stored entries on any text: every byte comes back from its
// character, a character outside the code page becomes "?" and nothing else
// changes. Input: a flag byte (bit 0: UTF-16LE, otherwise UTF-8), then the text.
#include "crypto/Windows1252.h"
#include "tests/fuzz/FuzzInput.h"

#include <QSet>

using namespace crypto::Windows1252;

namespace {

// The characters of the code page, gathered from the byte-to-character table alone.
const QSet<char16_t>& codePage() {
    static const QSet<char16_t> chars = [] {
        QSet<char16_t> set;
        for (const char16_t c : toUnicode)
            set.insert(c);
        return set;
    }();
    return chars;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FUZZ_CHECK(codePage().size() == 256);
    for (std::size_t k = 0; k < size; ++k)
        FUZZ_CHECK(fromUnicode[toUnicode[data[k]]] == data[k]);

    fuzz::Input input(data, size);
    const bool utf16 = input.byte() & 1;
    const QString text = input.text(utf16);
    const QString back = roundTrip(text);
    FUZZ_CHECK(back.size() == text.size());
    bool inside = true;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const char16_t c = text[k].unicode();
        const bool known = codePage().contains(c);
        inside = inside && known;
        FUZZ_CHECK(back[k].unicode() == (known ? c : u'?'));
        FUZZ_CHECK(toUnicode[fromUnicode[c]] == (known ? c : u'?'));
    }
    FUZZ_CHECK(represents(text) == inside);
    FUZZ_CHECK(represents(back) && roundTrip(back) == back);
    return 0;
}
