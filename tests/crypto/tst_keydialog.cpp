#include "dialogs/frmDecrypt.h"
#include "platform/Shell.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

template <typename T = QWidget> T* control(QWidget* dialog, const char* name) {
    T* widget = dialog->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

void click(QWidget* dialog, const char* name) {
    QTest::mouseClick(control(dialog, name), Qt::LeftButton);
}
void type(QWidget* dialog, const char* name, const QString& text) {
    QTest::keyClicks(control(dialog, name), text);
}
QLineEdit* keyBox(QWidget* dialog) {
    return control<QLineEdit>(dialog, "txtPhiVer");
}
QLineEdit* hintBox(QWidget* dialog) {
    return control<QLineEdit>(dialog, "txtHint");
}

// Asks for a key while `act` works the dialog as a user; a dialog that `act`
// leaves open is cancelled so that the test goes on.
frmDecrypt::Answer ask(bool getMode, const QString& hint, const std::function<void(QWidget*)>& act) {
    ModalDriver driver;
    driver.onNextModal([&](QWidget* dialog) {
        if (!QTest::qWaitForWindowActive(dialog))
            qFatal("the key dialog did not become active");
        act(dialog);
        if (dialog->isVisible())
            click(dialog, "cmdCancel");
    });
    const frmDecrypt::Answer answer = frmDecrypt::ask(nullptr, getMode, hint);
    if (!driver.fired())
        qFatal("the key dialog did not come up");
    // The key never stays behind in the dialog, not even in its undo history.
    if (QWidget* dialog = frmDecrypt::loaded();
        dialog && (!keyBox(dialog)->text().isEmpty() || keyBox(dialog)->isUndoAvailable()))
        qFatal("the key box still holds the key");
    return answer;
}

} // namespace

class KeyDialogTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { frmDecrypt::unloadShared(); }
    void controlsTextsAndTabOrder();
    void getModeHidesHintUntilPictureClicked();
    void maskShowsAndHidesTheKey();
    void setModeRequiresKeyThenHint();
    void getModeNeedsNoHint();
    void everyWayOutButOkIsCancel();
    void setModeHintFreshOrKept();
    void helpButtonOpensKeysTopic();
};

void KeyDialogTest::controlsTextsAndTabOrder() {
    QWidget* dialog = frmDecrypt::shared(nullptr);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Enter Encryption Key"));
    QCOMPARE(
        control<QLabel>(dialog, "Label2")->text(),
        QStringLiteral("Enter Encryption Key Below.  If you forget your key, you will never get your message "
                       "decrypted.  Use the Key Hint to help you remember the Key, without giving it away."));
    QCOMPARE(control<QLabel>(dialog, "lblLabels")->text(), QStringLiteral("&Enter Encryption Key:"));
    QCOMPARE(control<QLabel>(dialog, "lblLabels")->buddy(), keyBox(dialog));
    QCOMPARE(control<QLabel>(dialog, "lblHint")->text(), QStringLiteral("Key Hint:"));
    QCOMPARE(control<QCheckBox>(dialog, "chkMask")->text(), QStringLiteral("Mask"));
    QVERIFY(control<QCheckBox>(dialog, "chkMask")->isChecked());
    QCOMPARE(control(dialog, "imgHint")->toolTip(),
             QStringLiteral("Click here if you Forgot your password."));
    QVERIFY(!control<QToolButton>(dialog, "imgHint")->icon().isNull());
    QCOMPARE(control<QPushButton>(dialog, "cmdOK")->text(), QStringLiteral("OK"));
    QVERIFY(control<QPushButton>(dialog, "cmdOK")->isDefault());
    QCOMPARE(control<QPushButton>(dialog, "cmdCancel")->text(), QStringLiteral("Cancel"));

    QStringList order;
    QWidget* widget = keyBox(dialog);
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != keyBox(dialog));
    QCOMPARE(order, QStringList({"txtPhiVer", "txtHint", "chkMask", "cmdOK", "cmdCancel"}));
}

void KeyDialogTest::getModeHidesHintUntilPictureClicked() {
    ScriptedMessages messages;
    const auto answer = ask(true, QStringLiteral("our first dog"), [](QWidget* dialog) {
        QVERIFY(control(dialog, "imgHint")->isVisible());
        QVERIFY(!hintBox(dialog)->isVisible());
        QVERIFY(!control(dialog, "lblHint")->isVisible());
        QVERIFY(keyBox(dialog)->hasFocus());
        click(dialog, "imgHint");
        QVERIFY(!control(dialog, "imgHint")->isVisible());
        QVERIFY(control(dialog, "lblHint")->isVisible());
        QVERIFY(hintBox(dialog)->hasFocus());
        QCOMPARE(hintBox(dialog)->displayText(), QStringLiteral("our first dog"));
        click(dialog, "txtPhiVer");
        type(dialog, "txtPhiVer", QStringLiteral("Rex1998"));
        // Away from its box the hint is masked again.
        QCOMPARE(hintBox(dialog)->displayText(), QStringLiteral("*************"));
        QTest::keyClick(keyBox(dialog), Qt::Key_Return);
    });
    QCOMPARE(answer.key, QStringLiteral("Rex1998"));
    QCOMPARE(messages.shown().size(), 0);
}

void KeyDialogTest::maskShowsAndHidesTheKey() {
    ask(true, QString(), [](QWidget* dialog) {
        type(dialog, "txtPhiVer", QStringLiteral("s3cret"));
        QCOMPARE(keyBox(dialog)->displayText(), QStringLiteral("******"));
        click(dialog, "chkMask");
        QCOMPARE(keyBox(dialog)->displayText(), QStringLiteral("s3cret"));
        click(dialog, "chkMask");
        QCOMPARE(keyBox(dialog)->displayText(), QStringLiteral("******"));
        // Left unmasked, where an undo history would show the key.
        click(dialog, "chkMask");
        click(dialog, "cmdOK");
    });
}

void KeyDialogTest::setModeRequiresKeyThenHint() {
    ScriptedMessages messages;
    const auto answer = ask(false, QString(), [&](QWidget* dialog) {
        click(dialog, "cmdOK");
        type(dialog, "txtPhiVer", QStringLiteral("k"));
        click(dialog, "cmdOK");
        QVERIFY(dialog->isVisible());
        type(dialog, "txtHint", QStringLiteral("h"));
        click(dialog, "cmdOK");
    });
    QCOMPARE(answer.key, QStringLiteral("k"));
    QCOMPARE(answer.hint, QStringLiteral("h"));
    QCOMPARE(messages.shown().size(), 2);
    QCOMPARE(
        messages.shown()[0].text,
        QStringLiteral("Please enter a password\r\n\r\nFor more information on\r\n passwords see help."));
    QCOMPARE(messages.shown()[1].text,
             QStringLiteral("Please enter a Hint\r\n\r\nFor more information on\r\n Hints see help."));
    for (const platform::MessageBoxSpec& box : messages.shown()) {
        QCOMPARE(box.title, QStringLiteral("No Password Entered"));
        QCOMPARE(box.icon, platform::MsgIcon::Exclamation);
        QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Help);
        QCOMPARE(box.helpAnchor, QStringLiteral("topic50"));
    }
}

void KeyDialogTest::getModeNeedsNoHint() {
    ScriptedMessages messages;
    const auto answer = ask(true, QString(), [](QWidget* dialog) {
        type(dialog, "txtPhiVer", QStringLiteral("key"));
        click(dialog, "cmdOK");
    });
    QCOMPARE(answer.key, QStringLiteral("key"));
    QCOMPARE(messages.shown().size(), 0);
}

void KeyDialogTest::everyWayOutButOkIsCancel() {
    const std::function<void(QWidget*)> ways[] = {
        [](QWidget* dialog) { click(dialog, "cmdCancel"); },
        [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); },
        [](QWidget* dialog) { dialog->close(); },
        [](QWidget*) { frmDecrypt::unloadShared(); },
    };
    for (const auto& leave : ways) {
        const auto answer = ask(true, QStringLiteral("hint"), [&](QWidget* dialog) {
            type(dialog, "txtPhiVer", QStringLiteral("typed"));
            leave(dialog);
        });
        QCOMPARE(answer.key, QString());
    }
}

void KeyDialogTest::setModeHintFreshOrKept() {
    const auto first = ask(false, QStringLiteral("stored hint"), [](QWidget* dialog) {
        QCOMPARE(hintBox(dialog)->text(), QString());
        type(dialog, "txtHint", QStringLiteral("new hint"));
        type(dialog, "txtPhiVer", QStringLiteral("key"));
        click(dialog, "cmdOK");
    });
    QCOMPARE(first.hint, QStringLiteral("new hint"));
    ask(false, QStringLiteral("stored hint"),
        [](QWidget* dialog) { QCOMPARE(hintBox(dialog)->text(), QStringLiteral("new hint")); });
    ask(true, QStringLiteral("stored hint"),
        [](QWidget* dialog) { QCOMPARE(hintBox(dialog)->text(), QStringLiteral("stored hint")); });
}

void KeyDialogTest::helpButtonOpensKeysTopic() {
    ProgramFolder folder(ProgramFolder::WithHelp);
    QList<QUrl> opened;
    platform::Shell::setOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    ScriptedMessages messages;
    messages.queue(QMessageBox::Help);
    messages.queue(QMessageBox::Ok);
    ask(true, QString(), [](QWidget* dialog) { click(dialog, "cmdOK"); });
    platform::Shell::setOpener({});
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened[0].fragment(), QStringLiteral("topic50"));
    QCOMPARE(messages.shown().size(), 2);
}

QTEST_MAIN(KeyDialogTest)
#include "tst_keydialog.moc"
