#pragma once
#include <QStringView>

// What makes a text a ciphertext, in either stored form: "737" and
// hexadecimal digits (the legacy form), or "737~" and base64url characters
// long enough for a header and a tag (the strong form). The rule is told in
// three parts, so that an editor can follow it through small changes: the form
// that the text's first characters announce, whether the characters after
// them belong to that form's alphabet, and whether the length fits the form.
namespace crypto::CipherShape {

enum class Form { None, Legacy, Strong };

// The number of characters at the start of a text that decide its form.
inline constexpr qsizetype Deciding = 4;

// The form announced by the first Deciding characters of a text (all of a shorter text).
Form announced(QStringView start);
// Where the part of the text in the form's alphabet begins: after "737" or "737~".
qsizetype bodyStart(Form form);
// Whether every character of the part belongs to the form's alphabet.
bool inAlphabet(Form form, QStringView part);
// Whether a text of the form with this many characters, all of its body in
// the alphabet, is a ciphertext.
bool fitsLength(Form form, qsizetype length);

// All three for a whole text: the form it is a ciphertext of, or None.
Form formOf(QStringView text);

} // namespace crypto::CipherShape
