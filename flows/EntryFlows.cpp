#include "flows/EntryFlows.h"

#include "crypto/TextCipher.h"
#include "dialogs/frmDecrypt.h"
#include "dialogs/frmOpenSave.h"
#include "editor/EntryEditor.h"
#include "flows/DocumentState.h"
#include "flows/EncryptionState.h"
#include "platform/AppInfo.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowFront.h"
#include "store/EntryStore.h"

#include <QEventLoop>

namespace {

QString entryCaption(const QString& name) {
    return QLatin1String(appinfo::ProductName) + QStringLiteral(" - ") + name;
}

bool askYesNo(QWidget* owner, const QString& title, const QString& text) {
    platform::MessageBoxSpec question;
    question.title = title;
    question.text = text;
    question.icon = platform::MsgIcon::Question;
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    return platform::MessageBoxes::show(owner, question) == QMessageBox::Yes;
}

} // namespace

EntryFlows::EntryFlows(QWidget* mainWindow, EntryEditor* txtMain, DocumentState& doc,
                       EncryptionState& encryption, std::function<void()> applyFormat, QObject* parent)
    : QObject(parent), m_main(mainWindow), m_txtMain(txtMain), m_doc(doc), m_encryption(encryption),
      m_applyFormat(std::move(applyFormat)) {}

void EntryFlows::ShowOpenDialog() {
    showChooser(false, m_doc.strEntryName, m_doc.lngEntryID);
}

void EntryFlows::ShowSaveDialog() {
    showChooser(true, m_doc.strEntryName, m_doc.lngEntryID);
}

void EntryFlows::showChooser(bool ynIsSave, const QString& strName, qint64 lngID) {
    frmOpenSave* chooser = frmOpenSave::shared(m_main);
    if (chooser != m_chooser) {
        m_chooser = chooser;
        connect(chooser, &frmOpenSave::openChosen, this, &EntryFlows::MainOpen);
        connect(chooser, &frmOpenSave::saveChosen, this, &EntryFlows::MainSave);
    }
    platform::bringToFront(chooser);
    chooser->DoSaveOpen(ynIsSave, strName, lngID);
}

void EntryFlows::MainOpen(qint64 lngKID, const QString& strName) {
    QString name;
    QString hint;
    QString text;
    const store::Outcome loaded = modCofra::LoadEntry(lngKID, name, hint, text, strName);
    if (loaded.changedElsewhere) {
        // The chooser stays, with the entries as they now are.
        modCofra::SetBusyCursor(false);
        frmOpenSave* chooser = frmOpenSave::loaded();
        frmOpenSave::tellChangedElsewhere(chooser ? static_cast<QWidget*>(chooser) : m_main, strName,
                                          frmOpenSave::Change::Open);
        if (chooser)
            chooser->RefreshNameList();
        return;
    }
    // A load that failed has been reported; there is nothing to open.
    if (!loaded) {
        frmOpenSave::unload();
        modCofra::SetBusyCursor(false);
        return;
    }
    if (!name.isEmpty()) {
        m_main->setWindowTitle(entryCaption(name));
        m_doc.strEntryName = name;
        m_doc.strEntryHint = hint;
        m_doc.lngEntryID = lngKID;
        m_txtMain->setText(text);
        m_doc.strEntryText = text;
        m_encryption.rememberCiphertext(text);
    }
    frmOpenSave::unload();
    if (m_applyFormat)
        m_applyFormat();
    modCofra::SetBusyCursor(false);
    m_encryption.ToggleEncryption();
}

void EntryFlows::MainSave(const QString& strName) {
    modCofra::SetBusyCursor(true);
    const std::optional<qint64> found = modCofra::FindEntryID(strName);
    modCofra::SetBusyCursor(false);
    // Without a lookup there is no telling whether the name is taken: a save
    // now could add a second entry of the same name.
    if (!found)
        return;
    qint64 id = *found;
    if (id != 0 && !askReplace())
        return;

    // What the text is decides the rest; the chooser stays up until the save goes ahead.
    const QString before = m_txtMain->Text();
    bool encryptNow = !modCofra::IsEncryptedText(before);
    if (!encryptNow && !m_encryption.isOwnCiphertext(before)) {
        const Shape shape = askAlreadyEncrypted();
        if (shape == Shape::Stop)
            return;
        encryptNow = shape == Shape::Encrypt;
    }

    modCofra::SetBusyCursor(true);
    frmOpenSave::unload();

    const QString hintBefore = m_doc.strEntryHint;
    const QString keptBefore = m_doc.strEntryText;
    QString entry = before;
    if (encryptNow) {
        modCofra::SetBusyCursor(false);
        const frmDecrypt::Answer answer = m_encryption.askNewKey(before);
        m_doc.strEntryHint = answer.hint;
        frmDecrypt::unloadShared();
        if (answer.key.isEmpty())
            return;
        // Only a ciphertext that gives back exactly the key and the text is stored.
        if (!m_encryption.EncryptText(answer.key, answer.strong))
            return;
        entry = m_txtMain->Text();
    }

    // The editor and the open entry go back to how the save found them.
    const auto putBack = [&] {
        if (encryptNow) {
            m_txtMain->setText(before);
            m_doc.strEntryHint = hintBefore;
            m_doc.strEntryText = keptBefore;
            if (m_applyFormat)
                m_applyFormat();
        }
        modCofra::SetBusyCursor(false);
    };
    qint64 storedId = 0;
    for (;;) {
        const store::Outcome stored = modCofra::StoreEntry(id, strName, m_doc.strEntryHint, entry, &storedId);
        if (stored)
            break;
        if (!stored.changedElsewhere) {
            putBack(); // reported by the store
            return;
        }
        modCofra::SetBusyCursor(false);
        if (stored.nameNowAt != 0) {
            // Another copy saved an entry of this name while the key was asked
            // for: the same question as if it had been there from the start.
            if (!askReplace()) {
                putBack();
                return;
            }
            id = stored.nameNowAt;
            modCofra::SetBusyCursor(true);
            continue;
        }
        // The entry to replace was deleted or renamed meanwhile: nothing is
        // written, and the chooser comes back with the entries as they now are.
        putBack();
        frmOpenSave::tellChangedElsewhere(m_main, strName, frmOpenSave::Change::Replace);
        showChooser(true, strName, 0);
        return;
    }
    if (!strName.isEmpty())
        m_main->setWindowTitle(entryCaption(strName));
    m_doc.strEntryName = strName;
    m_doc.lngEntryID = storedId;
    // What is stored is what the program put there, even when the user chose
    // to keep a text of that shape as it was.
    m_encryption.rememberCiphertext(entry);
    m_stored = true;
    // The encryption has just put the format on the new text; on a long text a
    // second pass would cost as much again for nothing.
    if (m_applyFormat && !encryptNow)
        m_applyFormat();
    modCofra::SetBusyCursor(false);
}

bool EntryFlows::askReplace() {
    return askYesNo(m_main, QStringLiteral("Replace Entry?"),
                    QStringLiteral("There is already an Entry with that name.\r\n\r\n"
                                   "Would you like to Replace the entry?"));
}

EntryFlows::Shape EntryFlows::askAlreadyEncrypted() {
    platform::MessageBoxSpec question;
    question.title = QStringLiteral("Already Encrypted?");
    question.text = QStringLiteral("This text looks like an encrypted entry.\r\n\r\nStore it as it is?");
    question.icon = platform::MsgIcon::Question;
    question.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    question.defaultButton = QMessageBox::No;
    switch (platform::MessageBoxes::show(m_main, question)) {
    case QMessageBox::Yes:
        return Shape::StoreAsItIs;
    case QMessageBox::No:
        return Shape::Encrypt;
    default:
        return Shape::Stop;
    }
}

bool EntryFlows::saveThroughChooser() {
    m_stored = false;
    ShowSaveDialog();
    frmOpenSave* chooser = frmOpenSave::loaded();
    if (chooser && chooser->isVisible()) {
        // The chooser closes inside the save it starts, so the loop ends only
        // once that save has run to its end.
        QEventLoop loop;
        connect(chooser, &frmOpenSave::unloaded, &loop, &QEventLoop::quit);
        connect(chooser, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_stored;
}
