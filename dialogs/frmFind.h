#pragma once
#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find dialog: takes a text and two options, stores them as the last
// search and runs it. Modeless and owned by the main window; each opening
// starts empty, it does not show the stored search.
class frmFind : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog when it is not open, shows it and brings it forward.
    // findNext runs the stored search in the main window.
    static frmFind* showFor(QWidget* owner, std::function<void()> findNext);
    static frmFind* loaded();

private:
    frmFind(QWidget* owner, std::function<void()> findNext);
    void cmdFind_Click();
    void Command2_Click();

    std::function<void()> m_findNext;
    QLabel* Label1;
    QLineEdit* txtFind;
    QPushButton* cmdFind;
    QPushButton* Command2;
    QCheckBox* chkCase;
    QCheckBox* chkWord;
};
