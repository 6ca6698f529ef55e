// The encryption toggle of the main window (toolbar button 0) and the key
// dialog it brings up, driven as a user.
#include "app/editor/EntryEditor.h"
#include "flows/EncryptionState.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmDecrypt.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ModalDriver.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QToolButton>

using Act = std::function<void(QWidget*)>;

template <typename T = QLineEdit> static T* in(QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(QLatin1String(name));
}
static void click(QWidget* dialog, const char* name) {
    QTest::mouseClick(in<QWidget>(dialog, name), Qt::LeftButton);
}
// Types as a keyboard does, including characters that no key of a US layout carries.
static void type(QWidget* dialog, const char* name, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, in(dialog, name), Qt::Key_unknown, QString(c), Qt::NoModifier);
}

struct Window : AppFixture {
    Window() : AppFixture(ProgramFolder::WithDatabase | ProgramFolder::WithHelp) {}
    QAbstractButton* toggle = toolButton(0);
    EncryptionState* state = window->findChild<EncryptionState*>();
    EntryEditor* editor = window->editor();

    // Presses the toggle and lets `act` work the key dialog; a dialog left up
    // is cancelled. False when no dialog came up.
    bool press(const Act& act) {
        const Act work = [&](QWidget* dialog) {
            if (QTest::qWaitForWindowActive(dialog))
                act(dialog);
            if (dialog->isVisible())
                click(dialog, "cmdCancel");
        };
        ModalDriver driver;
        driver.onNextModal(work, 100);
        QTest::mouseClick(toggle, Qt::LeftButton);
        if (!driver.fired())
            QTest::qWait(200); // the driver runs out before it goes out of scope
        // The key never stays behind in the dialog, not even in its undo history.
        if (QWidget* d = frmDecrypt::loaded();
            d && (!in(d, "txtPhiVer")->text().isEmpty() || in(d, "txtPhiVer")->isUndoAvailable()))
            QTest::qFail("the key stayed behind in the key dialog", __FILE__, __LINE__);
        return driver.fired();
    }
    // Answers with the key, and the hint when the dialog asks for one; an empty key cancels.
    bool press(const QString& key, const QString& hint = QStringLiteral("a hint")) {
        return press([&](QWidget* d) {
            if (in(d, "txtHint")->isVisible())
                type(d, "txtHint", hint);
            type(d, "txtPhiVer", key);
            click(d, key.isEmpty() ? "cmdCancel" : "cmdOK");
        });
    }
    bool locked() const { return toggle->icon().cacheKey() == state->imgEncrypted().cacheKey(); }
    // Every box shown as "title: text [icon, buttons]"; icon 2 is the exclamation
    // mark, buttons 400 are OK, 1000400 OK and Help.
    QStringList boxes() const {
        QStringList all;
        for (const platform::MessageBoxSpec& s : messages.shown())
            all << s.title + ": " + s.text + QString(" [%1, %2]").arg(int(s.icon)).arg(int(s.buttons), 0, 16);
        return all;
    }
};

class EncryptionStateTest : public QObject {
    Q_OBJECT
private slots:
    void textStaysWhenNothingIsDone() {
        Window w;
        QVERIFY(!w.press(QStringLiteral("key"))); // an empty editor asks for nothing
        QVERIFY(!w.state->imgEncrypted().pixmap(16).isNull() && !w.state->imgDecrypted().pixmap(16).isNull());
        // Typed or set, the text decides the picture; Cancel and the close button drop a typed key.
        w.typeText(QStringLiteral("737AB"));
        for (const QString& text : {QStringLiteral("737AB"), QStringLiteral("plain")}) {
            QCOMPARE(w.locked(), text == "737AB");
            for (const Act& leave : {Act([](QWidget* d) { click(d, "cmdCancel"); }), Act(&QWidget::close)})
                QVERIFY(w.press([&](QWidget* d) {
                    type(d, "txtPhiVer", QStringLiteral("typed"));
                    leave(d);
                }));
            QCOMPARE(w.editor->Text(), text);
            w.editor->setText(QStringLiteral("plain"));
        }
        // A ciphertext is one line: a second line makes the text plain, whatever the first holds.
        w.editor->setText(QStringLiteral("737AB\n12"));
        QVERIFY(!w.locked());
        w.editor->setText(QStringLiteral("737AB"));
        QVERIFY(w.locked());
        // Characters outside the code page would not come back: the text stays plain, and says so.
        const QString wide = QStringLiteral("\u65e5\u672c \u043a\u043b\u044e\u0447");
        w.editor->setText(wide);
        QVERIFY(w.press(QStringLiteral("key")));
        QCOMPARE(w.editor->Text(), wide);
        QCOMPARE(w.boxes(), QStringList({"Aw Shucks!: An Error occured while Encrypting [0, 400]"}));
    }

    // Texts that begin with "737", keys and texts of digits, a key outside the code page.
    void rightKeyOpensWrongKeyWarns() {
        const QStringList keys = {"Key 1", "7370", "pw", "\u043a\u043b\u044e\u0447"};
        const QStringList texts = {"Dear diary,\n\t\u20ac12 caf\u00e9 \u2013 \"ok\"\n", "1234",
                                   "737-555-0199 plumber", "note"};
        QStringList warnings;
        for (const char* title :
             {"Password is Incorrect", "Password Entered Incorrectly", "The Entered password is incorrect"})
            warnings << title + QStringLiteral(": Password is Incorrect [2, 400]");
        QSet<qsizetype> counts;
        for (qsizetype n = 0; n < keys.size(); ++n) {
            const QString &key = keys[n], &text = texts[n];
            Window w;
            w.editor->setText(text);
            QVERIFY(w.press(key, QStringLiteral("the usual")));
            const QString cipher = w.editor->Text();
            // The key goes in front of the text, as in every stored entry.
            QCOMPARE(cipher, crypto::encrypt(key + text, key));
            QVERIFY(w.locked());
            QCOMPARE(w.window->documentState().strEntryHint, QStringLiteral("the usual"));
            // A wrong key (differing only in case where it can) brings one to three
            // warnings, and never the plain text that was encrypted.
            for (int attempt = 0; attempt < 10; ++attempt) {
                QVERIFY(w.press(key.toLower() != key ? key.toLower() : key + "x"));
                counts << w.messages.shown().size();
                QCOMPARE(w.boxes(), warnings.mid(0, qBound(1, int(w.messages.shown().size()), 3)));
                QCOMPARE(w.editor->Text(), cipher);
                w.messages.clear();
            }
            QVERIFY(w.press(key));
            QCOMPARE(w.editor->Text(), text);
            QCOMPARE(w.toggle->icon().cacheKey(), w.state->imgDecrypted().cacheKey());
            QCOMPARE(w.boxes(), QStringList());
        }
        QVERIFY(counts.size() > 1);
    }

    // A new key wants the key, then a hint (a box's Help button opens the keys
    // topic and keeps the box up); to open the text again the hint waits behind
    // its picture, and Mask shows and hides the key.
    void keyDialogModes() {
        Window w;
        w.editor->setText(QStringLiteral("walkies"));
        for (const auto answer : {QMessageBox::Help, QMessageBox::Ok, QMessageBox::Ok})
            w.messages.queue(answer);
        QVERIFY(w.press([](QWidget* d) {
            click(d, "cmdOK");
            type(d, "txtPhiVer", QStringLiteral("Rex1998"));
            click(d, "cmdOK");
            type(d, "txtHint", QStringLiteral("our first dog"));
            click(d, "cmdOK");
        }));
        QCOMPARE(w.opened.size(), 1);
        QCOMPARE(w.opened[0].fragment(), QStringLiteral("topic50"));
        const QString more = QStringLiteral("\r\n\r\nFor more information on\r\n %1 see help. [2, 1000400]");
        const QString noKey = "No Password Entered: Please enter a password" + more.arg("passwords");
        QCOMPARE(w.boxes(),
                 QStringList({noKey, noKey, "No Password Entered: Please enter a Hint" + more.arg("Hints")}));

        frmDecrypt::unloadShared(); // a fresh dialog knows the hint only from the entry
        QVERIFY(w.press([](QWidget* d) {
            QStringList order;
            for (QWidget* at = in<QWidget>(d, "txtPhiVer"); order.size() < 5; at = at->nextInFocusChain())
                if (at->focusPolicy() & Qt::TabFocus)
                    order << at->objectName();
            QCOMPARE(order, QStringList({"txtPhiVer", "txtHint", "chkMask", "cmdOK", "cmdCancel"}));
            QVERIFY(!in<QToolButton>(d, "imgHint")->icon().pixmap(16).isNull());
            const auto up = [d](const char* name) { return in<QWidget>(d, name)->isVisible(); };
            QVERIFY(up("imgHint") && !up("lblHint") && !up("txtHint") && in(d, "txtPhiVer")->hasFocus());
            click(d, "imgHint");
            QVERIFY(!up("imgHint") && up("lblHint") && in(d, "txtHint")->hasFocus());
            QCOMPARE(in(d, "txtHint")->displayText(), QStringLiteral("our first dog"));
            click(d, "txtPhiVer");
            type(d, "txtPhiVer", QStringLiteral("Rex1998"));
            // Away from its box the hint is masked again.
            QCOMPARE(in(d, "txtHint")->displayText(), QStringLiteral("*************"));
            // Left unmasked, where an undo history would show the key.
            for (const char* shown : {"*******", "Rex1998", "*******"}) {
                QCOMPARE(in(d, "txtPhiVer")->displayText(), QString::fromLatin1(shown));
                click(d, "chkMask");
            }
            QTest::keyClick(in(d, "txtPhiVer"), Qt::Key_Return);
        }));
        QCOMPARE(w.editor->Text(), QStringLiteral("walkies"));
        QCOMPARE(w.boxes().size(), 3); // no hint asked for this time
    }
};

QTEST_MAIN(EncryptionStateTest)
#include "tst_encryptionstate.moc"
