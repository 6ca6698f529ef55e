#pragma once
// The flows wired as the main window wires them, without the window: a plain
// host widget with the editor, the toggle button, the document state, the
// encryption toggle and the open and save flows; a throw-away program folder
// with a database and a help page, scripted boxes and recorded shell opens.
#include "crypto/StrongForm.h"
#include "editor/EntryEditor.h"
#include "flows/DocumentState.h"
#include "flows/EncryptionState.h"
#include "flows/EntryFlows.h"
#include "flows/StoreErrorBox.h"
#include "platform/BusyCursor.h"
#include "platform/Shell.h"
#include "tests/flows/Driving.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QCheckBox>
#include <QToolButton>

using Act = std::function<void(QWidget*)>;
using enum QMessageBox::StandardButton;

struct Flows : Driving {
    ProgramFolder folder{ProgramFolder::WithDatabase | ProgramFolder::WithHelp};
    ScriptedMessages messages;
    QList<QUrl> opened;
    DocumentState doc;
    QWidget window;
    EntryEditor* editor = new EntryEditor(&window);
    QToolButton* toggle = new QToolButton(&window);
    EncryptionState encryption{&window, editor, toggle, doc, {}};
    EntryFlows flows{&window, editor, doc, encryption, {}};
    ModalDriver keyDialog;
    bool strongShown = false; // how the Strong encryption box started in the last key dialog answered

    Flows() {
        store::installErrorBox();
        store::setBusyTimeout(100);
        crypto::StrongForm::setNewEntryParameters({1, 8}); // cheap keys, except where the cost is the point
        platform::Shell::setOpener([this](const QUrl& url) { return opened << url, true; });
        window.setWindowTitle("Qor Cofra");
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    ~Flows() {
        frmOpenSave::unload();
        platform::Shell::setOpener({});
        const bool busy = QGuiApplication::overrideCursor() != nullptr;
        modCofra::SetBusyCursor(false);
        QVERIFY2(!busy && QSqlDatabase::connectionNames().isEmpty(), "a busy pointer or a connection stayed");
    }

    // Every row, as id|name|hint|entry.
    static QStringList rows() { return sql("SELECT * FROM tblCofra ORDER BY 1"); }
    // Lets `act`, when there is one, work the next key dialog once it is active; a dialog left up is
    // cancelled.
    void onKeyDialog(const Act& act, int timeoutMs = 5000) {
        keyDialog.onNextModal(
            [act](QWidget* d) {
                if (QTest::qWaitForWindowActive(d) && act)
                    act(d);
                if (d->isVisible())
                    click(d, "cmdCancel");
            },
            timeoutMs);
    }
    // Answers with the key and, when the dialog asks for them, the hint and the form; then OK.
    Act answer(const QString& key, const QString& hint = "h", bool strong = false) {
        return [=, this](QWidget* d) {
            strongShown = in<QCheckBox>(d, "chkStrong")->isChecked();
            if (in(d, "txtHint")->isVisible()) {
                type(d, "txtHint", hint);
                if (strong != strongShown)
                    click(d, "chkStrong");
            }
            type(d, "txtPhiVer", key);
            click(d, "cmdOK");
        };
    }
    // The toggle, its key dialog worked by `act`; false when none came up.
    bool press(const Act& act) {
        onKeyDialog(act, 100);
        encryption.ToggleEncryption();
        if (!keyDialog.fired())
            QTest::qWait(200); // the driver runs out meanwhile
        // The key never stays behind in the dialog, not even in its undo history.
        if (QLineEdit* key = frmDecrypt::loaded() ? in(frmDecrypt::loaded(), "txtPhiVer") : nullptr;
            key && (!key->text().isEmpty() || key->isUndoAvailable()))
            QTest::qFail("the key stayed behind in the key dialog", __FILE__, __LINE__);
        return keyDialog.fired();
    }
    bool press(const QString& key) { return press(answer(key)); }
    // Save As under that name, the boxes answered in turn and the key dialog
    // worked by `key` when one is given; the titles of the boxes shown.
    QStringList save(const QString& name, const QList<QMessageBox::StandardButton>& boxes = {},
                     const Act& key = {}) {
        messages.clear();
        for (const auto button : boxes)
            messages.queue(button);
        if (key)
            onKeyDialog(key);
        flows.ShowSaveDialog();
        saveUnder(name);
        return titles();
    }
    // Opens the listed entry of that name, answering the key dialog with the key (an empty one cancels).
    void open(const QString& name, const QString& key) {
        flows.ShowOpenDialog();
        select(name);
        onKeyDialog(key.isEmpty() ? Act() : answer(key));
        click(chooser(), "cmdOpen");
    }
    void typeAtEnd(const QString& text) const {
        QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
        typeCharacters(editor, text);
    }
    // Text, caption and open entry in one line.
    QString state() const {
        return editor->Text() + '|' + window.windowTitle() + '|' + QString::number(doc.lngEntryID) + '|' +
               doc.strEntryName;
    }
    QStringList titles() const { return messages.titles(); }
    bool locked() const { return toggle->icon().cacheKey() == encryption.imgEncrypted().cacheKey(); }
};
