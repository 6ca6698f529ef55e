#pragma once
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
    void EncryptText(const QString& key);
    void DecryptText(const QString& key);
    void ShowEncryptionState();
    // "Aw Shucks!": a text that should now be encrypted is not.
    void warnNotEncrypted();

    // False, after saying which character it is and selecting it in the
    // editor, when the text holds a character that an entry cannot carry.
    bool acceptsCharacters(const QString& text);

    // The ciphertext this program last put into the editor, by opening an
    // entry or by encrypting. Only a text equal to it counts as encrypted by
    // the program: another text of that shape may be a note that merely looks so.
    void rememberCiphertext(const QString& cipher) { m_ownCiphertext = cipher; }
    bool isOwnCiphertext(const QString& text) const { return !text.isEmpty() && text == m_ownCiphertext; }

    // The two pictures of the toggle button.
    const QIcon& imgEncrypted() const { return m_imgEncrypted; }
    const QIcon& imgDecrypted() const { return m_imgDecrypted; }

private:
    void warnWrongKey();
    void finish();

    QWidget* m_owner;
    EntryEditor* m_txtMain;
    QAbstractButton* m_toggle;
    DocumentState& m_doc;
    std::function<void()> m_applyFormat;
    QIcon m_imgEncrypted;
    QIcon m_imgDecrypted;
    QString m_ownCiphertext;
};
