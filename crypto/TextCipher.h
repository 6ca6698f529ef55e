#pragma once
#include <QString>
#include <functional>

// The legacy stored form of an entry: "737" followed by two upper-case
// hexadecimal digits per RC4 cipher byte. Characters become bytes through
// Windows-1252. (The strong form is crypto/StrongForm.h.)
namespace modCofra {

// Encrypts a plain text, or decrypts one that IsEncryptedText recognises.
// Returns the empty text for an empty key or when there is nothing to transform.
QString RC4Transform(const QString& text, const QString& key);

// True exactly when the text is a ciphertext of either stored form: "737"
// followed by one or more hexadecimal digits (0-9, A-F, a-f) and nothing else,
// or "737~" followed by base64url characters enough for a strong header and
// tag (see CipherShape.h).
bool IsEncryptedText(const QString& text);

} // namespace modCofra

namespace crypto {

// The cipher is pure Qt Core; the program hands it the busy pointer and the
// one pass of pending window events that it runs during an encryption.
struct CipherHooks {
    std::function<void(bool)> busyCursor; // true: busy pointer on; false: off
    std::function<void()> pendingEvents;  // let queued window events run once
};
void setCipherHooks(CipherHooks hooks);

// The encrypting direction of RC4Transform, taken whatever the text looks
// like: a key-prefixed text made only of "737" and hexadecimal digits must
// still be encrypted, not decoded.
QString encrypt(const QString& text, const QString& key);

} // namespace crypto
