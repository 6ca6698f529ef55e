#include "crypto/CipherShape.h"

#include "crypto/HexCodec.h"

#include <algorithm>

namespace crypto::CipherShape {
namespace {

// The strong form's header and tag take 68 bytes, so at least 91 characters of base64.
constexpr qsizetype kSmallestStrongBody = (68 * 4 + 2) / 3;

bool isBase64Url(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
           c == u'_';
}

} // namespace

Form announced(QStringView start) {
    if (start.size() < 3 || start[0] != u'7' || start[1] != u'3' || start[2] != u'7')
        return Form::None;
    // "~" is no hexadecimal digit, so no legacy ciphertext has it in fourth place.
    return start.size() > 3 && start[3] == u'~' ? Form::Strong : Form::Legacy;
}

qsizetype bodyStart(Form form) {
    return form == Form::Strong ? 4 : 3;
}

bool inAlphabet(Form form, QStringView part) {
    const char16_t* begin = part.utf16();
    const char16_t* end = begin + part.size();
    switch (form) {
    case Form::Legacy:
        return std::all_of(begin, end, HexCodec::isHexDigit);
    case Form::Strong:
        return std::all_of(begin, end, isBase64Url);
    case Form::None:
        break;
    }
    return false;
}

bool fitsLength(Form form, qsizetype length) {
    const qsizetype body = length - bodyStart(form);
    switch (form) {
    case Form::Legacy:
        return body > 0;
    case Form::Strong:
        // One character more than a multiple of four encodes no whole byte.
        return body >= kSmallestStrongBody && body % 4 != 1;
    case Form::None:
        break;
    }
    return false;
}

Form formOf(QStringView text) {
    const Form form = announced(text.first(std::min(text.size(), Deciding)));
    if (form == Form::None || !fitsLength(form, text.size()) ||
        !inAlphabet(form, text.sliced(bodyStart(form))))
        return Form::None;
    return form;
}

} // namespace crypto::CipherShape
