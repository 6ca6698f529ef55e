#include "dialogs/frmDecrypt.h"
#include "platform/Shell.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

static QWidget* control(QWidget* dialog, const char* name) {
    QWidget* widget = dialog->findChild<QWidget*>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}
static QLineEdit* box(QWidget* dialog, const char* name) {
    return qobject_cast<QLineEdit*>(control(dialog, name));
}
static void click(QWidget* dialog, const char* name) {
    QTest::mouseClick(control(dialog, name), Qt::LeftButton);
}
static void type(QWidget* dialog, const char* name, const char* text) {
    QTest::keyClicks(control(dialog, name), text);
}

// Asks for a key while `act` works the dialog as a user; a dialog that `act`
// leaves open is cancelled so that the test goes on.
static frmDecrypt::Answer ask(bool getMode, const QString& hint, const std::function<void(QWidget*)>& act) {
    ModalDriver driver;
    driver.onNextModal([&](QWidget* dialog) {
        if (!QTest::qWaitForWindowActive(dialog))
            qFatal("the key dialog did not become active");
        const QPointer<QWidget> stillThere(dialog);
        act(dialog);
        if (stillThere && dialog->isVisible())
            click(dialog, "cmdCancel");
    });
    const frmDecrypt::Answer answer = frmDecrypt::ask(nullptr, getMode, hint);
    if (!driver.fired())
        qFatal("the key dialog did not come up");
    // The key never stays behind in the dialog, not even in its undo history.
    if (QWidget* dialog = frmDecrypt::loaded(); dialog && (!box(dialog, "txtPhiVer")->text().isEmpty() ||
                                                           box(dialog, "txtPhiVer")->isUndoAvailable()))
        qFatal("the key box still holds the key");
    return answer;
}

class KeyDialogTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { frmDecrypt::unloadShared(); }

    void tabOrder() {
        QWidget* dialog = frmDecrypt::shared(nullptr);
        QStringList order;
        QWidget* widget = control(dialog, "txtPhiVer");
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != control(dialog, "txtPhiVer"));
        QCOMPARE(order, QStringList({"txtPhiVer", "txtHint", "chkMask", "cmdOK", "cmdCancel"}));
    }

    void getModeHidesHintUntilPictureClicked() {
        ScriptedMessages messages;
        const auto answer = ask(true, QStringLiteral("our first dog"), [](QWidget* dialog) {
            QVERIFY(control(dialog, "imgHint")->isVisible());
            QVERIFY(!qobject_cast<QToolButton*>(control(dialog, "imgHint"))->icon().pixmap(16).isNull());
            QVERIFY(!box(dialog, "txtHint")->isVisible() && !control(dialog, "lblHint")->isVisible());
            QVERIFY(box(dialog, "txtPhiVer")->hasFocus());
            click(dialog, "imgHint");
            QVERIFY(!control(dialog, "imgHint")->isVisible() && control(dialog, "lblHint")->isVisible());
            QVERIFY(box(dialog, "txtHint")->hasFocus());
            QCOMPARE(box(dialog, "txtHint")->displayText(), QStringLiteral("our first dog"));
            click(dialog, "txtPhiVer");
            type(dialog, "txtPhiVer", "Rex1998");
            // Away from its box the hint is masked again.
            QCOMPARE(box(dialog, "txtHint")->displayText(), QStringLiteral("*************"));
            QTest::keyClick(box(dialog, "txtPhiVer"), Qt::Key_Return);
        });
        QCOMPARE(answer.key, QStringLiteral("Rex1998"));
        QCOMPARE(messages.shown().size(), 0); // no hint needed in GET mode
    }

    void maskShowsAndHidesTheKey() {
        ask(true, QString(), [](QWidget* dialog) {
            type(dialog, "txtPhiVer", "s3cret");
            for (const char* shown : {"******", "s3cret", "******", "s3cret"}) {
                QCOMPARE(box(dialog, "txtPhiVer")->displayText(), QString::fromLatin1(shown));
                click(dialog, "chkMask");
            }
            click(dialog, "chkMask"); // left unmasked, where an undo history would show the key
            click(dialog, "cmdOK");
        });
    }

    // Key first, then hint; a box's Help button opens the keys topic and keeps the box up.
    void setModeRequiresKeyThenHint() {
        ProgramFolder folder(ProgramFolder::WithHelp);
        QList<QUrl> opened;
        platform::Shell::setOpener([&](const QUrl& url) { return opened << url, true; });
        ScriptedMessages messages;
        for (const auto answer : {QMessageBox::Help, QMessageBox::Ok, QMessageBox::Ok})
            messages.queue(answer);
        const auto answer = ask(false, QStringLiteral("stored hint"), [&](QWidget* dialog) {
            QCOMPARE(box(dialog, "txtHint")->text(), QString()); // a fresh dialog has no hint yet
            click(dialog, "cmdOK");
            type(dialog, "txtPhiVer", "k");
            click(dialog, "cmdOK");
            QVERIFY(dialog->isVisible());
            type(dialog, "txtHint", "h");
            click(dialog, "cmdOK");
        });
        platform::Shell::setOpener({});
        QCOMPARE(answer.key, QStringLiteral("k"));
        QCOMPARE(answer.hint, QStringLiteral("h"));
        // Left loaded, the dialog offers the hint of its last use again.
        ask(false, QString(),
            [](QWidget* dialog) { QCOMPARE(box(dialog, "txtHint")->text(), QStringLiteral("h")); });
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].fragment(), QStringLiteral("topic50"));
        QCOMPARE(messages.shown().size(), 3);
        QCOMPARE(
            messages.shown()[1].text,
            QStringLiteral("Please enter a password\r\n\r\nFor more information on\r\n passwords see help."));
        QCOMPARE(messages.shown()[2].text,
                 QStringLiteral("Please enter a Hint\r\n\r\nFor more information on\r\n Hints see help."));
        for (const platform::MessageBoxSpec& shown : messages.shown()) {
            QCOMPARE(shown.title, QStringLiteral("No Password Entered"));
            QCOMPARE(shown.icon, platform::MsgIcon::Exclamation);
            QCOMPARE(shown.buttons, QMessageBox::Ok | QMessageBox::Help);
        }
    }

    void everyWayOutButOkIsCancel() {
        using Leave = std::function<void(QWidget*)>;
        for (const Leave& leave :
             {Leave([](QWidget* d) { click(d, "cmdCancel"); }), Leave([](QWidget* d) { d->close(); }),
              Leave([](QWidget*) { frmDecrypt::unloadShared(); })}) {
            const auto answer = ask(true, QString(), [&](QWidget* dialog) {
                type(dialog, "txtPhiVer", "typed");
                leave(dialog);
            });
            QCOMPARE(answer.key, QString());
        }
    }
};

QTEST_MAIN(KeyDialogTest)
#include "tst_keydialog.moc"
