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

const char* const kUnsupportedTitle = "Character Not Supported";
const char* const kUnsupportedText =
    "The character %1 on line %2, column %3 cannot be encrypted.\r\n\r\n"
    "Entries hold only the characters of the Western European set (Windows-1252). "
    "Replace or delete the selected character, then try again.";

// Line and column (from 1, a surrogate pair counting as one column) of the
// character at index of a text whose line breaks are "\n".
QPair<int, int> lineAndColumn(const QString& text, qsizetype index) {
    const QStringView before = QStringView(text).first(index);
    const qsizetype lineStart = before.lastIndexOf(QLatin1Char('\n')) + 1;
    int column = 1;
    for (const QChar c : before.sliced(lineStart))
        column += !c.isLowSurrogate();
    return {int(before.count(QLatin1Char('\n'))) + 1, column};
}

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
    if (!acceptsCharacters(text))
        return;
    const frmDecrypt::Answer answer = frmDecrypt::ask(m_owner, false, m_doc.strEntryHint);
    if (!answer.hint.isEmpty())
        m_doc.strEntryHint = answer.hint;
    EncryptText(answer.key);
    if (!answer.key.isEmpty() && !modCofra::IsEncryptedText(m_txtMain->Text()))
        warnNotEncrypted();
}

void EncryptionState::EncryptText(const QString& key) {
    const QString plain = m_txtMain->Text();
    // One byte per character: a text with characters outside the code page
    // would come back with "?" in their place, so it stays as it is (the
    // commands say why before they ask for a key).
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
        rememberCiphertext(cipher);
    }
    finish();
}

void EncryptionState::DecryptText(const QString& key) {
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
    const bool encrypted = m_txtMain->holdsCiphertext();
    const QIcon& wanted = encrypted ? m_imgEncrypted : m_imgDecrypted;
    // Set only on a change, so that typing does not repaint the button.
    if (m_toggle->icon().cacheKey() != wanted.cacheKey()) {
        m_toggle->setIcon(wanted);
        // The picture's meaning, for those who hear the button rather than see it.
        m_toggle->setAccessibleDescription(encrypted ? QStringLiteral("The text is encrypted")
                                                     : QStringLiteral("The text is not encrypted"));
    }
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

bool EncryptionState::acceptsCharacters(const QString& text) {
    const qsizetype index = crypto::Windows1252::firstUnrepresentable(text);
    if (index < 0)
        return true;
    m_txtMain->setSelStart(int(index));
    m_txtMain->setSelLength(int(crypto::Windows1252::characterLength(text, index)));
    const auto [line, column] = lineAndColumn(text, index);
    platform::MessageBoxSpec box;
    box.title = QString::fromLatin1(kUnsupportedTitle);
    box.text = QString::fromLatin1(kUnsupportedText)
                   .arg(crypto::Windows1252::describeCharacter(text, index), QString::number(line),
                        QString::number(column));
    box.icon = platform::MsgIcon::Exclamation;
    box.buttons = QMessageBox::Ok;
    platform::MessageBoxes::show(m_owner, box);
    return false;
}

void EncryptionState::finish() {
    ShowEncryptionState();
    if (m_applyFormat)
        m_applyFormat();
}
