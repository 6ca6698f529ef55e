#include "flows/EntryFlows.h"

#include "app/editor/DocumentState.h"
#include "app/editor/EntryEditor.h"
#include "flows/EncryptionState.h"
#include "crypto/TextCipher.h"
#include "crypto/Windows1252.h"
#include "dialogs/frmDecrypt.h"
#include "dialogs/frmOpenSave.h"
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

} // namespace

EntryFlows::EntryFlows(QWidget* mainWindow, EntryEditor* txtMain, DocumentState& doc,
                       EncryptionState& encryption, std::function<void()> applyFormat, QObject* parent)
    : QObject(parent), m_main(mainWindow), m_txtMain(txtMain), m_doc(doc), m_encryption(encryption),
      m_applyFormat(std::move(applyFormat)) {}

void EntryFlows::ShowOpenDialog() {
    showChooser(false);
}

void EntryFlows::ShowSaveDialog() {
    showChooser(true);
}

void EntryFlows::showChooser(bool ynIsSave) {
    frmOpenSave* chooser = frmOpenSave::shared(m_main);
    if (chooser != m_chooser) {
        m_chooser = chooser;
        connect(chooser, &frmOpenSave::openChosen, this, &EntryFlows::MainOpen);
        connect(chooser, &frmOpenSave::saveChosen, this, &EntryFlows::MainSave);
    }
    platform::bringToFront(chooser);
    chooser->DoSaveOpen(ynIsSave, m_doc.strEntryName, m_doc.lngEntryID);
}

void EntryFlows::MainOpen(qint32 lngKID) {
    QString name;
    QString hint;
    QString text;
    modCofra::LoadEntry(lngKID, name, hint, text);
    if (!name.isEmpty()) {
        m_main->setWindowTitle(entryCaption(name));
        m_doc.strEntryName = name;
        m_doc.strEntryHint = hint;
        m_doc.lngEntryID = lngKID;
        m_txtMain->setText(text);
        m_doc.strEntryText = text;
    }
    frmOpenSave::unload();
    if (m_applyFormat)
        m_applyFormat();
    modCofra::SetBusyCursor(false);
    m_encryption.ToggleEncryption();
}

void EntryFlows::MainSave(QString strName) {
    modCofra::SetBusyCursor(true);
    const qint32 id = modCofra::FindEntryID(strName);
    modCofra::SetBusyCursor(false);
    if (id != 0) {
        platform::MessageBoxSpec question;
        question.title = QStringLiteral("Replace Entry?");
        question.text = QStringLiteral("There is already an Entry with that name.\r\n\r\n"
                                       "Would you like to Replace the entry?");
        question.icon = platform::MsgIcon::Question;
        question.buttons = QMessageBox::Yes | QMessageBox::No;
        if (platform::MessageBoxes::show(m_main, question) != QMessageBox::Yes)
            return;
    }
    modCofra::SetBusyCursor(true);
    frmOpenSave::unload();

    QString entry = m_txtMain->Text();
    const bool encryptNow = !modCofra::IsEncryptedText(entry);
    if (encryptNow) {
        modCofra::SetBusyCursor(false);
        const frmDecrypt::Answer answer = frmDecrypt::ask(m_main, false, m_doc.strEntryHint);
        m_doc.strEntryHint = answer.hint;
        frmDecrypt::unloadShared();
        if (answer.key.isEmpty())
            return;
        const QString plain = entry;
        m_encryption.EncryptText(answer.key);
        entry = m_txtMain->Text();
        // Only a ciphertext that gives back exactly the key and the text is stored
        // (the key as the code page carries it, which is what decryption checks).
        if (!modCofra::IsEncryptedText(entry) ||
            modCofra::RC4Transform(entry, answer.key) != crypto::Windows1252::roundTrip(answer.key) + plain) {
            reportFailedEncryption(plain);
            return;
        }
    }

    modCofra::StoreEntry(id, strName, m_doc.strEntryHint, entry);
    if (!strName.isEmpty())
        m_main->setWindowTitle(entryCaption(strName));
    m_doc.strEntryName = strName;
    m_doc.lngEntryID = modCofra::FindEntryID(strName);
    // The encryption has just put the format on the new text; on a long text a
    // second pass would cost as much again for nothing.
    if (m_applyFormat && !encryptNow)
        m_applyFormat();
    modCofra::SetBusyCursor(false);
}

void EntryFlows::reportFailedEncryption(const QString& plain) {
    m_txtMain->setText(plain);
    if (m_applyFormat)
        m_applyFormat();
    modCofra::SetBusyCursor(false);
    m_encryption.warnNotEncrypted();
}

void EntryFlows::waitUntilChooserClosed() {
    frmOpenSave* chooser = frmOpenSave::loaded();
    if (!chooser || !chooser->isVisible())
        return;
    QEventLoop loop;
    connect(chooser, &frmOpenSave::unloaded, &loop, &QEventLoop::quit);
    connect(chooser, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}
