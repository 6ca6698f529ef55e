#pragma once
#include "flows/DocumentState.h"

#include <QMainWindow>
#include <QVector>
#include <functional>
#include <memory>
#include <span>

class ColourSwatch;
class EncryptionState;
class EntryEditor;
class EntryFlows;
class FormatController;
class QAction;
class QMenu;
class QToolButton;
class WinSettings;

// The main window: the editor, the row of controls above it, the four menus,
// the document state and every command. Commands are dispatched by the index
// of their menu item or toolbar button; the work of formatting, settings,
// encryption and the entry store is done by the helpers it owns.
class frmCofra : public QMainWindow {
    Q_OBJECT
public:
    explicit frmCofra(QWidget* parent = nullptr);
    ~frmCofra() override;

    // Start-up: placement and format from the settings, show, format, font list, size "10".
    void Form_Load();

    // Operations the dialogs call.
    void MainOpen(qint64 lngKID);
    void MainSave(const QString& strName);
    void SaveWinSettings();
    void LoadWinSettings();
    void FindNextFromCursor();

    // Command arrays: an index outside an array's items does nothing.
    void cmdToolBar_Click(int index);
    void mnuFile_Click(int index);
    void mnuEdit_Click(int index);
    void MnuFormat_Click(int index);
    void MnuHelpFile_Click();
    void MnuHelp_Click();

    const DocumentState& documentState() const { return m_doc; }
    EntryEditor* editor() const { return txtMain; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class MenuArray { File, Edit, Format };
    struct MenuItem {
        int index = 0;
        const char* caption = "";
        const char* shortcut = "";
        void (frmCofra::*command)() = nullptr;
        bool offered = true;
    };
    // The items of a menu array, in menu order.
    static std::span<const MenuItem> menuItems(MenuArray array);
    void runMenuItem(MenuArray array, int index);
    void showOpenDialog();
    void showSaveDialog();
    void findNext();
    void nextFont();
    void hideText();

    void buildToolBar(QWidget* row);
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& objectName, const QString& caption,
                     const QKeySequence& shortcut, std::function<void()> action);
    // The "Save Changes?" question. False when the command must stop: the user
    // cancelled, or chose to save and the text was not stored.
    bool askSaveChanges();
    void NewEntry();
    void Summary();
    void SelectAll();
    void Exit();
    void ApplyFormat();
    void showFind();
    void Form_Resize();
    void fitUsableSize();
    QSize smallestUsableSize() const;

    DocumentState m_doc;
    QWidget* m_client = nullptr;
    EntryEditor* txtMain = nullptr;
    QVector<QToolButton*> cmdToolBar;
    FormatController* m_format = nullptr;
    EncryptionState* m_encryption = nullptr;
    EntryFlows* m_flows = nullptr;
    std::unique_ptr<WinSettings> m_settings;
};
