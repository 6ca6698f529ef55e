#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The entry chooser: lists every entry name, sorted, each carrying its row id;
// opens the selected entry, saves under a typed name, or deletes the selected
// entry after a question. Modeless, owned by the main window, one instance.
// The choice goes to whoever listens to openChosen / saveChosen.
class frmOpenSave : public QDialog {
    Q_OBJECT
public:
    // The one instance, loaded on first use with `owner` as its owner.
    static frmOpenSave* shared(QWidget* owner);
    // The loaded instance, or null.
    static frmOpenSave* loaded();
    // Hides and unloads the instance; the next use loads a fresh one.
    static void unload();

    // Switches to save mode (ynIsSave) or open mode, remembers the name and id
    // to select (empty and 0 keep what was remembered) and refills the list.
    void DoSaveOpen(bool ynIsSave, const QString& strName, qint64 lngID);
    void RefreshNameList();

    // What was to be done to an entry that another copy of the program changed meanwhile.
    enum class Change { Open, Delete, Replace };
    // Tells the user that the entry was deleted or renamed by another copy of
    // the program and that nothing was done to it.
    static void tellChangedElsewhere(QWidget* owner, const QString& strName, Change change);

signals:
    // The main button in open mode, with the selected entry's id and name.
    void openChosen(qint64 lngKID, const QString& strName);
    // The main button in save mode, with the typed name.
    void saveChosen(const QString& strName);
    // The chooser was closed (by Close, or by the flow that used it).
    void unloaded();

protected:
    // Escape and the window's own close button act as Close.
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmOpenSave(QWidget* owner);

    void lstNames_Click(QListWidgetItem* item);
    void lstNames_DblClick(QListWidgetItem* item);
    void cmdOpen_Click();
    void cmdClose_Click();
    void cmdDelete_Click();
    // The item data of the selected entry, 0 when nothing is selected.
    qint64 selectedID() const;
    // The listed name of the selected entry.
    QString selectedName() const;

    QListWidget* lstNames;
    QLineEdit* txtName;
    QPushButton* cmdOpen;
    QPushButton* cmdClose;
    QPushButton* cmdDelete;

    QString strSelName;
    qint64 lngSelID = 0;
    bool ynSaveMode = false;
};
