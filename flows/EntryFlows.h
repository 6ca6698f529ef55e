#pragma once
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class EntryEditor;
class EncryptionState;
class frmOpenSave;
struct DocumentState;

// Moves entries between the main window's editor and the database: the open
// and save commands (which show the entry chooser) and MainOpen / MainSave,
// which the chooser calls with the user's choice. A save that does not store
// leaves the editor, the caption and the open entry as they were.
class EntryFlows : public QObject {
    Q_OBJECT
public:
    // mainWindow owns the chooser and the key dialog and carries the caption.
    EntryFlows(QWidget* mainWindow, EntryEditor* txtMain, DocumentState& doc, EncryptionState& encryption,
               std::function<void()> applyFormat, QObject* parent = nullptr);

    void ShowOpenDialog();
    void ShowSaveDialog();
    // Opens the entry of that id; with a name, only while the row still
    // carries it (the chooser's list may be older than another copy's changes).
    void MainOpen(qint64 lngKID, const QString& strName = QString());
    void MainSave(const QString& strName);

    // Shows the chooser in save mode and runs window events until it is
    // closed; true when a save stored the editor text meanwhile.
    bool saveThroughChooser();

private:
    // Shows the chooser (loading it and listening to it when needed) in the
    // given mode, with that name or id to select.
    void showChooser(bool ynIsSave, const QString& strName, qint64 lngID);
    // "Already Encrypted?" for a text of a ciphertext's shape that this program
    // did not put there: Yes stores it as it is, No encrypts it, Cancel stops.
    enum class Shape { StoreAsItIs, Encrypt, Stop };
    Shape askAlreadyEncrypted();
    bool askReplace();

    QPointer<frmOpenSave> m_chooser;
    QWidget* m_main;
    EntryEditor* m_txtMain;
    DocumentState& m_doc;
    EncryptionState& m_encryption;
    std::function<void()> m_applyFormat;
    bool m_stored = false; // set by every save that stored
};
