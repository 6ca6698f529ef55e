// The encryption toggle of the main window (toolbar button 0) and the key
// dialog it brings up, driven as a user.
#include "app/editor/EntryEditor.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmDecrypt.h"
#include "flows/EncryptionState.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Typing.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QLocale>
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
static void type(QWidget* dialog, const char* name, const QString& text) {
    typeCharacters(in(dialog, name), text);
}

struct Window : AppFixture {
    Window() : AppFixture(ProgramFolder::WithDatabase | ProgramFolder::WithHelp) {}
    QAbstractButton* toggle = toolButton(0);
    EncryptionState* state = window->findChild<EncryptionState*>();
    EntryEditor* editor = window->editor();

    // Presses the toggle and lets `act` work the key dialog; a dialog left up
    // is cancelled. False when no dialog came up.
    bool press(const Act& act) const {
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
    bool press(const QString& key, const QString& hint = QStringLiteral("a hint")) const {
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
        // Characters outside the code page would not come back: before any key is
        // asked for, the first one is named, placed and selected, and the text stays.
        for (const QString& wide :
             {QStringLiteral("ok\n\U0001F600 \u2192"), QStringLiteral("ok\nab\u2192")}) {
            w.editor->setText(wide);
            w.messages.clear();
            QVERIFY(!w.press(QStringLiteral("key")));
            QCOMPARE(w.editor->Text(), wide);
            const bool emoji = wide[3].isHighSurrogate();
            QCOMPARE(QString("%1,%2").arg(w.editor->SelStart()).arg(w.editor->SelLength()),
                     emoji ? "3,2" : "5,1");
            QCOMPARE(
                w.boxes(),
                QStringList("Character Not Supported: The character " +
                            QString(emoji ? "\"\U0001F600\" (U+1F600) on line 2, column 1"
                                          : "\"\u2192\" (U+2192) on line 2, column 3") +
                            " cannot be encrypted.\r\n\r\nEntries hold only the characters of the Western "
                            "European set (Windows-1252). Replace or delete the selected character, then "
                            "try again. [2, 400]"));
        }
    }

    // Texts that begin with "737", keys and texts of digits, a key outside the code page.
    void rightKeyOpensWrongKeyWarns() {
        const QStringList keys = {"Key 1", "7370", "pw", "caf\u00e9"};
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

    // A new key must reach the cipher unchanged, and its hint must not hold it:
    // each refusal says why and keeps the dialog up.
    void newKeyRefusals() {
        const QString more = "\r\nFor more information on\r\n %1 see help. [2, 1000400]";
        const QString badKey =
            "Key Character Not Usable: Please enter a password without \"\u043a\" (U+043A)\r\n\r\n"
            "Keys can hold only the characters of the Western European set." +
            more.arg("passwords");
        const QString badHint =
            "Hint Gives Away the Key: Please enter a Hint that does not contain the key\r\n\r\n"
            "The hint is stored unencrypted: choose one that reminds you of the key without "
            "giving it away." +
            more.arg("Hints");
        const QList<QStringList> cases = {
            {"x\u043a\u043b\u044e\u0447", "h", badKey},
            {"Rex1998", "named REX1998 at birth", badHint},
            {"pw", " PW ", badHint},
            {"pw", "pw is short", ""}, // a key this short turns up in hints by chance
            {"Rex1998", "our first dog", ""},
        };
        for (const QStringList& c : cases) {
            Window w;
            w.editor->setText(QStringLiteral("walkies"));
            bool stayed = false;
            QVERIFY(w.press([&](QWidget* d) {
                type(d, "txtHint", c[1]);
                type(d, "txtPhiVer", c[0]);
                click(d, "cmdOK");
                stayed = d->isVisible();
            }));
            QCOMPARE(w.boxes(), c[2].isEmpty() ? QStringList() : QStringList(c[2]));
            QCOMPARE(stayed, !c[2].isEmpty());
            QCOMPARE(modCofra::IsEncryptedText(w.editor->Text()), c[2].isEmpty());
        }
        // Entries stored with such a key, which reached the cipher as "x????", still open as they did.
        Window w;
        const QString key = "x\u043a\u043b\u044e\u0447";
        w.editor->setText(crypto::encrypt(key + "note", key));
        QVERIFY(w.press(key));
        QCOMPARE(w.editor->Text() + w.boxes().join(""), "note");
    }

    // A ciphertext of many display rows: the lock picture and the Summary's
    // count follow each keystroke in it, and it still opens with its key.
    void longCiphertextLockAndSummaryFollowTheText() {
        Window w;
        QString plain;
        while (plain.size() < qsizetype{3} * 4096)
            plain += QStringLiteral("line %1 of the diary\n").arg(plain.size());
        w.editor->setText(plain);
        QVERIFY(w.press(QStringLiteral("k"), QStringLiteral("h")));
        const QString cipher = w.editor->Text();
        QCOMPARE(cipher, crypto::encrypt("k" + plain, "k"));
        QLocale locale;
        locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
        const auto summary = [&]() {
            w.action(QStringLiteral("mnuFile_4"))->trigger();
            return w.messages.shown().last().text.section(QLatin1Char('='), 1).trimmed();
        };
        struct Step {
            int caret = -1; // -1: where the last step left it
            Qt::Key key = Qt::Key_unknown;
            Qt::KeyboardModifiers modifiers;
            int lengthChange = 0;
            bool locked = false;
        };
        const int middle = int(cipher.size()) / 2;
        const Step steps[] = {
            {middle, Qt::Key_Return, Qt::NoModifier, +1, false}, // a second line: a plain text
            {-1, Qt::Key_Z, Qt::ControlModifier, 0, true},
            {middle, Qt::Key_F, Qt::NoModifier, +1, true}, // one more digit
            {-1, Qt::Key_Backspace, Qt::NoModifier, 0, true},
        };
        w.editor->setFocus();
        QVERIFY(w.locked());
        QCOMPARE(summary(), locale.toString(cipher.size()));
        for (const Step& step : steps) {
            if (step.caret >= 0)
                w.editor->setSelStart(step.caret);
            QTest::keyClick(w.editor, step.key, step.modifiers);
            QCOMPARE(w.locked(), step.locked);
            QCOMPARE(summary(), locale.toString(cipher.size() + step.lengthChange));
        }
        QCOMPARE(w.editor->Text(), cipher);
        QVERIFY(w.press(QStringLiteral("k")));
        QCOMPARE(w.editor->Text(), plain);
        QVERIFY(!w.locked());
    }
};

QTEST_MAIN(EncryptionStateTest)
#include "tst_encryptionstate.moc"
