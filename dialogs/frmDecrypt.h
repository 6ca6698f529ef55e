#pragma once
#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The key dialog: asks for the key of an encrypted text (GET mode, with the
// stored hint behind a picture) or for a new key and its hint (SET mode).
// The answer travels through its boxes: an empty key means cancelled.
class frmDecrypt : public QDialog {
    Q_OBJECT
public:
    struct Answer {
        QString key; // empty: cancelled
        QString hint;
        bool strong = false; // SET mode: the Strong encryption box was ticked
    };
    // What SET mode needs besides the hint: how the Strong encryption box
    // starts, and a check of the text that the legacy form must pass (it says
    // why it refuses, owned by the dialog, which then stays up).
    struct NewKey {
        bool strong = false;
        std::function<bool(QWidget* dialog)> legacyAccepts;
    };

    // The one instance, loaded on first use.
    static frmDecrypt* shared(QWidget* owner);
    // The loaded instance, or null.
    static frmDecrypt* loaded();
    // Unloads the instance (the next use loads a fresh one).
    static void unloadShared();

    // The calling protocol in one place: load when needed, hide, empty the key
    // box, SetMode, show modally owned by `owner`, then read the key (emptying
    // the key box so that the key does not stay behind) and the hint.
    static Answer ask(QWidget* owner, bool yGETnSET, const QString& strHint, const NewKey& newKey);
    static Answer ask(QWidget* owner, bool yGETnSET, const QString& strHint);

    void SetMode(bool yGETnSET, const QString& strHint);

    // Cancel, Escape and the window's close button: the key box is emptied first.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmDecrypt(QWidget* owner);
    void buildControls();
    void emptyKeyBox();
    void applyMask(bool masked);
    void showHint(bool shown);
    void revealHint();
    void confirm();
    // Shows why the input cannot be taken (OK and Help) and keeps the dialog up.
    void refuse(const QString& title, const QString& text, QWidget* field);

    QLabel* Label2 = nullptr;
    QLabel* lblLabels = nullptr;
    QLineEdit* txtPhiVer = nullptr;
    QLabel* lblHint = nullptr;
    QLineEdit* txtHint = nullptr;
    QCheckBox* chkStrong = nullptr;
    QLabel* lblStrong = nullptr;
    QCheckBox* chkMask = nullptr;
    QToolButton* imgHint = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    bool m_ynGetMode = true;
    std::function<bool(QWidget*)> m_legacyAccepts;
};
