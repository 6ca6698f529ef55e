#include "flows/EncryptionState.h"

#include "app/editor/DocumentState.h"
#include "app/editor/EntryEditor.h"
#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"
#include "dialogs/frmDecrypt.h"
#include "platform/MessageBoxes.h"
#include "resources/Icons.h"

#include <QAbstractButton>
#include <QRandomGenerator>

namespace {

const char* const kWrongKeyText = "Password is Incorrect";
// One title per box, in the order the boxes come up.
const char* const kWrongKeyTitles[] = {"Password is Incorrect", "Password Entered Incorrectly",
                                       "The Entered password is incorrect"};

const char* const kNotEncryptedTitle = "Aw Shucks!";
const char* const kNotEncryptedText = "An Error occured while Encrypting";

} // namespace

EncryptionState::EncryptionState(QWidget* owner, EntryEditor* txtMain, QAbstractButton* toggleButton,
                                 DocumentState& doc, std::function<void()> applyFormat, QObject* parent)
    : QObject(parent), m_owner(owner), m_txtMain(txtMain), m_toggle(toggleButton), m_doc(doc),
      m_applyFormat(std::move(applyFormat)), m_imgEncrypted(resources::icon(QStringLiteral("locked"))),
      m_imgDecrypted(resources::icon(QStringLiteral("unlocked"))) {
    // The picture follows the text whoever changes it, New included.
    connect(m_txtMain, &EntryEditor::textChanged, this, &EncryptionState::ShowEncryptionState);
    ShowEncryptionState();
}

void EncryptionState::ToggleEncryption() {
    const QString text = m_txtMain->Text();
    if (text.isEmpty())
        return;
    if (modCofra::IsEncryptedText(text)) {
        const frmDecrypt::Answer answer = frmDecrypt::ask(m_owner, true, m_doc.strEntryHint);
        if (answer.key.isEmpty())
            return;
        DecryptText(answer.key);
        return;
    }
    const frmDecrypt::Answer answer = frmDecrypt::ask(m_owner, false, m_doc.strEntryHint);
    if (!answer.hint.isEmpty())
        m_doc.strEntryHint = answer.hint;
    EncryptText(answer.key);
    if (!answer.key.isEmpty() && !modCofra::IsEncryptedText(m_txtMain->Text()))
        warnNotEncrypted();
}

void EncryptionState::EncryptText(QString key) {
    const QString plain = m_txtMain->Text();
    // One byte per character: a text with characters outside the code page
    // would come back with "?" in their place, so it stays as it is.
    if (!crypto::Windows1252::represents(plain)) {
        finish();
        return;
    }
    // The key goes in front of the text so that decryption can recognise it.
    // Encrypted outright: a key and text of "737" and hexadecimal digits only
    // would otherwise read as a ciphertext and be decoded instead.
    const QString cipher = crypto::encrypt(key + plain, key);
    if (modCofra::IsEncryptedText(cipher)) {
        m_txtMain->setText(cipher);
        m_doc.strEntryText = plain;
    }
    finish();
}

void EncryptionState::DecryptText(QString key) {
    const QString cipher = m_txtMain->Text();
    // Without a key or a ciphertext there is nothing to open; going on would
    // empty the editor or mangle a plain text.
    if (!key.isEmpty() && modCofra::IsEncryptedText(cipher)) {
        const QString plain = modCofra::RC4Transform(cipher, key);
        // The key went into the cipher through the code page, and that is the
        // form the text begins with: a key with characters outside the code
        // page still opens what it encrypted.
        if (plain.startsWith(crypto::Windows1252::roundTrip(key), Qt::CaseSensitive))
            m_txtMain->setText(plain.sliced(key.size()));
        else
            // The editor keeps the text it held, so a wrong key never uncovers
            // a plain text that was encrypted earlier.
            warnWrongKey();
    }
    finish();
}

// Runs on every keystroke, so the editor decides without copying the text out.
void EncryptionState::ShowEncryptionState() {
    const QIcon& wanted = m_txtMain->holdsCiphertext() ? m_imgEncrypted : m_imgDecrypted;
    // Set only on a change, so that typing does not repaint the button.
    if (m_toggle->icon().cacheKey() != wanted.cacheKey())
        m_toggle->setIcon(wanted);
}

void EncryptionState::warnWrongKey() {
    const int boxes = QRandomGenerator::global()->bounded(1, 4);
    for (int shown = 0; shown < boxes; ++shown) {
        platform::MessageBoxSpec box;
        box.title = QString::fromLatin1(kWrongKeyTitles[shown]);
        box.text = QString::fromLatin1(kWrongKeyText);
        box.icon = platform::MsgIcon::Exclamation;
        box.buttons = QMessageBox::Ok;
        platform::MessageBoxes::show(m_owner, box);
    }
}

void EncryptionState::warnNotEncrypted() {
    platform::MessageBoxSpec box;
    box.title = QString::fromLatin1(kNotEncryptedTitle);
    box.text = QString::fromLatin1(kNotEncryptedText);
    box.buttons = QMessageBox::Ok;
    platform::MessageBoxes::show(m_owner, box);
}

void EncryptionState::finish() {
    ShowEncryptionState();
    if (m_applyFormat)
        m_applyFormat();
}
