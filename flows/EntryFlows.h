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
// which the chooser calls with the user's choice.
class EntryFlows : public QObject {
    Q_OBJECT
public:
    // mainWindow owns the chooser and the key dialog and carries the caption.
    EntryFlows(QWidget* mainWindow, EntryEditor* txtMain, DocumentState& doc, EncryptionState& encryption,
               std::function<void()> applyFormat, QObject* parent = nullptr);

    void ShowOpenDialog();
    void ShowSaveDialog();
    void MainOpen(qint32 lngKID);
    void MainSave(QString strName);

    // Runs window events until the entry chooser is closed (returns at once when it is not open).
    void waitUntilChooserClosed();

private:
    // Shows the chooser (loading it and listening to it when needed) in the given mode.
    void showChooser(bool ynIsSave);
    // Puts the plain text back after an encryption that did not give it back
    // under its key, and says so.
    void reportFailedEncryption(const QString& plain);

    QPointer<frmOpenSave> m_chooser;
    QWidget* m_main;
    EntryEditor* m_txtMain;
    DocumentState& m_doc;
    EncryptionState& m_encryption;
    std::function<void()> m_applyFormat;
};
