#include "flows/EncryptionState.h"

#include "crypto/CipherShape.h"
#include "crypto/StrongForm.h"
#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"
#include "editor/EntryEditor.h"
#include "flows/DocumentState.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"
#include "resources/Icons.h"

#include <QAbstractButton>
#include <QRandomGenerator>

namespace {

const char* const kWrongKeyText = "Password is Incorrect";
// One title per box, in the order the boxes come up.
const char* const kWrongKeyTitles[] = {"Password is Incorrect", "Password Entered Incorrectly",
                                       "The Entered password is incorrect"};

const char* const kFailedTitle = "Aw Shucks!";
const char* const kNotEncryptedText = "An Error occured while Encrypting";
const char* const kNotDecryptedText = "An Error occured while Decrypting";

const char* const kUnreadableTitle = "Entry Cannot Be Opened";
const char* const kUnreadableText = "This entry was saved by a newer version of Qor Cofra or is damaged";

const char* const kNoMemoryTitle = "Not Enough Memory";
const char* const kNoMemoryText =
    "Working out the key needs %1 MB of memory, which the system could not give.\r\n\r\n"
    "Close other programs, then try again.";

const char* const kUnsupportedTitle = "Character Not Supported";
const char* const kUnsupportedText =
    "The character %1 on line %2, column %3 cannot be encrypted.\r\n\r\n"
    "Entries hold only the characters of the Western European set (Windows-1252). "
    "Replace or delete the selected character, or tick Strong encryption, then try again.";

bool isStrong(const QString& text) {
    using namespace crypto::CipherShape;
    return announced(QStringView(text).first(qMin(text.size(), Deciding))) == Form::Strong;
}

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
    const frmDecrypt::Answer answer = askNewKey(text);
    if (!answer.hint.isEmpty())
        m_doc.strEntryHint = answer.hint;
    EncryptText(answer.key, answer.strong);
}

frmDecrypt::Answer EncryptionState::askNewKey(const QString& text) {
    frmDecrypt::NewKey newKey;
    newKey.strong = m_doc.ynStrongEncryption || m_strongOrigin;
    newKey.legacyAccepts = [this, text](QWidget* dialog) { return acceptsCharacters(text, dialog); };
    frmDecrypt::Answer answer = frmDecrypt::ask(m_owner, false, m_doc.strEntryHint, newKey);
    // A box ticked for a strong entry says nothing of the user's wish; unticking it does.
    if (!answer.key.isEmpty() && (!m_strongOrigin || !answer.strong))
        m_doc.ynStrongEncryption = answer.strong;
    return answer;
}

void EncryptionState::rememberCiphertext(const QString& cipher) {
    m_ownCiphertext = cipher;
    m_strongOrigin = isStrong(cipher);
}

bool EncryptionState::EncryptText(const QString& key, bool strong) {
    const QString plain = m_txtMain->Text();
    const bool encrypted = !key.isEmpty() && (strong ? encryptStrong(plain, key) : encryptLegacy(plain, key));
    finish();
    return encrypted;
}

bool EncryptionState::encryptLegacy(const QString& plain, const QString& key) {
    // One byte per character: a text with characters outside the code page
    // would come back with "?" in their place.
    if (!acceptsCharacters(plain, m_owner))
        return false;
    // The key goes in front of the text so that decryption can recognise it.
    // Encrypted outright: a key and text of "737" and hexadecimal digits only
    // would otherwise read as a ciphertext and be decoded instead.
    const QString cipher = crypto::encrypt(key + plain, key);
    // Only a ciphertext that gives back exactly the key and the text is kept.
    if (!modCofra::IsEncryptedText(cipher) || modCofra::RC4Transform(cipher, key) != key + plain) {
        warn(kFailedTitle, QString::fromLatin1(kNotEncryptedText), false);
        return false;
    }
    m_txtMain->setText(cipher);
    m_doc.strEntryText = plain;
    rememberCiphertext(cipher);
    return true;
}

bool EncryptionState::encryptStrong(const QString& plain, const QString& key) {
    // The key derivation takes a good part of a second by design.
    const crypto::StrongForm::Result sealed = [&] {
        const modCofra::BusyCursorScope busy;
        return crypto::StrongForm::encrypt(plain, key);
    }();
    if (sealed.status != crypto::StrongForm::Status::Done) {
        if (sealed.status == crypto::StrongForm::Status::OutOfMemory)
            warnNoMemory(sealed.memoryKiB);
        else
            warn(kFailedTitle, QString::fromLatin1(kNotEncryptedText), false);
        return false;
    }
    m_txtMain->setText(sealed.text);
    m_doc.strEntryText = plain;
    rememberCiphertext(sealed.text);
    return true;
}

void EncryptionState::DecryptText(const QString& key) {
    const QString cipher = m_txtMain->Text();
    // Without a key or a ciphertext there is nothing to open; going on would
    // empty the editor or mangle a plain text.
    if (key.isEmpty() || !modCofra::IsEncryptedText(cipher)) {
        finish();
        return;
    }
    if (isStrong(cipher)) {
        decryptStrong(cipher, key);
    } else {
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

void EncryptionState::decryptStrong(const QString& cipher, const QString& key) {
    using crypto::StrongForm::Status;
    const crypto::StrongForm::Result opened = [&] {
        const modCofra::BusyCursorScope busy;
        return crypto::StrongForm::decrypt(cipher, key);
    }();
    switch (opened.status) {
    case Status::Done:
        m_txtMain->setText(opened.text);
        m_strongOrigin = true;
        break;
    // An altered text fails its check exactly as a wrong key does, and is told so.
    case Status::WrongKey:
        warnWrongKey();
        break;
    case Status::Unreadable:
        warn(kUnreadableTitle, QString::fromLatin1(kUnreadableText));
        break;
    case Status::OutOfMemory:
        warnNoMemory(opened.memoryKiB);
        break;
    case Status::Failed:
        warn(kFailedTitle, QString::fromLatin1(kNotDecryptedText), false);
        break;
    }
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
    for (int shown = 0; shown < boxes; ++shown)
        warn(kWrongKeyTitles[shown], QString::fromLatin1(kWrongKeyText));
}

void EncryptionState::warn(const char* title, const QString& text, bool exclamation) {
    platform::MessageBoxSpec box;
    box.title = QString::fromLatin1(title);
    box.text = text;
    if (exclamation)
        box.icon = platform::MsgIcon::Exclamation;
    box.buttons = QMessageBox::Ok;
    platform::MessageBoxes::show(m_owner, box);
}

void EncryptionState::warnNoMemory(quint32 memoryKiB) {
    warn(kNoMemoryTitle, QString::fromLatin1(kNoMemoryText).arg(qMax<quint32>(1, memoryKiB / 1024)));
}

bool EncryptionState::acceptsCharacters(const QString& text, QWidget* owner) {
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
    platform::MessageBoxes::show(owner, box);
    return false;
}

void EncryptionState::finish() {
    ShowEncryptionState();
    if (m_applyFormat)
        m_applyFormat();
}
