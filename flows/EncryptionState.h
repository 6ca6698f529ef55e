#pragma once
#include "dialogs/frmDecrypt.h"

#include <QIcon>
#include <QObject>
#include <functional>

class QAbstractButton;
class QWidget;
class EntryEditor;
struct DocumentState;

// The encryption commands of the main window: toggling the editor text between
// plain and encrypted form with a key from the key dialog, and the toggle
// button's picture that shows which form the text is in.
class EncryptionState : public QObject {
    Q_OBJECT
public:
    // applyFormat puts the window's format back on the whole text after the text is replaced.
    EncryptionState(QWidget* owner, EntryEditor* txtMain, QAbstractButton* toggleButton, DocumentState& doc,
                    std::function<void()> applyFormat, QObject* parent = nullptr);

    void ToggleEncryption();
    // Encrypts the editor text in the strong or the legacy form. True when the
    // editor now holds a ciphertext that gives back the text under the key;
    // otherwise the text stays, and why has been said (nothing, for no key).
    bool EncryptText(const QString& key, bool strong = false);
    void DecryptText(const QString& key);
    void ShowEncryptionState();

    // The key dialog in SET mode for the text. The Strong encryption box
    // starts as the user last left it, or ticked when the text came from a
    // strong entry, so that nothing is quietly stored in the weaker form.
    frmDecrypt::Answer askNewKey(const QString& text);

    // The ciphertext this program last put into the editor, by opening an
    // entry or by encrypting. Only a text equal to it counts as encrypted by
    // the program: another text of that shape may be a note that merely looks so.
    void rememberCiphertext(const QString& cipher);
    bool isOwnCiphertext(const QString& text) const { return !text.isEmpty() && text == m_ownCiphertext; }

    // The two pictures of the toggle button.
    const QIcon& imgEncrypted() const { return m_imgEncrypted; }
    const QIcon& imgDecrypted() const { return m_imgDecrypted; }

private:
    bool encryptLegacy(const QString& plain, const QString& key);
    bool encryptStrong(const QString& plain, const QString& key);
    void decryptStrong(const QString& cipher, const QString& key);
    // False, after saying which character it is (in a box owned by `owner`)
    // and selecting it in the editor, when the text holds a character that
    // the legacy form cannot carry.
    bool acceptsCharacters(const QString& text, QWidget* owner);
    void warnWrongKey();
    void warn(const char* title, const QString& text, bool exclamation = true);
    void warnNoMemory(quint32 memoryKiB);
    void finish();

    QWidget* m_owner;
    EntryEditor* m_txtMain;
    QAbstractButton* m_toggle;
    DocumentState& m_doc;
    std::function<void()> m_applyFormat;
    QIcon m_imgEncrypted;
    QIcon m_imgDecrypted;
    QString m_ownCiphertext;
    bool m_strongOrigin = false; // the text was opened or last encrypted in the strong form
};
