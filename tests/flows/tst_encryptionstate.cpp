// The encryption toggle of the main window (toolbar button 0) and the key
// dialog it brings up, driven as a user.
#include "crypto/StrongForm.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmDecrypt.h"
#include "editor/EntryEditor.h"
#include "flows/EncryptionState.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Typing.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QToolButton>
#include <sys/resource.h>

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
    // New strong keys are derived cheaply here; the default cost is the store's tests' business.
    Window() : AppFixture(ProgramFolder::WithDatabase | ProgramFolder::WithHelp) {
        crypto::StrongForm::setNewEntryParameters({1, 8});
    }
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
    // Answers with the key, and the hint and the form when the dialog asks for
    // them; an empty key cancels.
    bool press(const QString& key, const QString& hint = QStringLiteral("a hint"),
               bool strong = false) const {
        return press([&](QWidget* d) {
            if (in(d, "txtHint")->isVisible()) {
                type(d, "txtHint", hint);
                if (in<QCheckBox>(d, "chkStrong")->isChecked() != strong)
                    click(d, "chkStrong");
            }
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
        // Characters outside the code page would not come back in the legacy
        // form: OK names, places and selects the first one and keeps the dialog
        // up. Strong encryption takes them, and the key brings them back.
        for (const QString& wide :
             {QStringLiteral("ok\n\U0001F600 \u2192"), QStringLiteral("ok\nab\u2192")}) {
            w.editor->setText(wide);
            w.messages.clear();
            const bool emoji = wide[3].isHighSurrogate();
            QString selection;
            QVERIFY(w.press([&](QWidget* d) {
                // Ticked by the user the first time, the box starts so the second.
                QCOMPARE(in<QCheckBox>(d, "chkStrong")->isChecked(), !emoji);
                if (!emoji)
                    click(d, "chkStrong");
                type(d, "txtHint", QStringLiteral("h"));
                type(d, "txtPhiVer", QStringLiteral("key"));
                click(d, "cmdOK");
                selection = QString("%1,%2").arg(w.editor->SelStart()).arg(w.editor->SelLength());
                QVERIFY(d->isVisible() && in<QCheckBox>(d, "chkStrong")->hasFocus());
                QTest::keyClick(in<QCheckBox>(d, "chkStrong"), Qt::Key_Space);
                click(d, "cmdOK");
            }));
            QCOMPARE(selection, emoji ? "3,2" : "5,1");
            QCOMPARE(
                w.boxes(),
                QStringList("Character Not Supported: The character " +
                            QString(emoji ? "\"\U0001F600\" (U+1F600) on line 2, column 1"
                                          : "\"\u2192\" (U+2192) on line 2, column 3") +
                            " cannot be encrypted.\r\n\r\nEntries hold only the characters of the Western "
                            "European set (Windows-1252). Replace or delete the selected character, or tick "
                            "Strong encryption, then try again. [2, 400]"));
            QVERIFY(w.editor->Text().startsWith("737~") && w.locked());
            QVERIFY(w.press(QStringLiteral("key")));
            QCOMPARE(w.editor->Text(), wide);
        }
    }

    // Texts that begin with "737", keys and texts of digits, a key outside the
    // code page; and the strong form, where an altered text is a wrong key too.
    void rightKeyOpensWrongKeyWarns() {
        const QStringList keys = {"Key 1", "7370", "pw", "caf\u00e9", "\u043a\u043b\u044e\u0447 \U0001F511"};
        const QStringList texts = {"Dear diary,\n\t\u20ac12 caf\u00e9 \u2013 \"ok\"\n", "1234",
                                   "737-555-0199 plumber", "note", "\u65e5\u672c\u8a9e \U0001F30D\nzwei"};
        QStringList warnings;
        for (const char* title :
             {"Password is Incorrect", "Password Entered Incorrectly", "The Entered password is incorrect"})
            warnings << title + QStringLiteral(": Password is Incorrect [2, 400]");
        QSet<qsizetype> counts;
        for (qsizetype n = 0; n < keys.size(); ++n) {
            const QString &key = keys[n], &text = texts[n];
            Window w;
            w.editor->setText(text);
            const bool strong = n == 4;
            QVERIFY(w.press(key, QStringLiteral("the usual"), strong));
            const QString cipher = w.editor->Text();
            // The key goes in front of the text, as in every legacy entry.
            QCOMPARE(strong ? crypto::StrongForm::decrypt(cipher, key).text : cipher,
                     strong ? text : crypto::encrypt(key + text, key));
            QVERIFY(w.locked());
            QCOMPARE(w.window->documentState().strEntryHint, QStringLiteral("the usual"));
            // A wrong key (differing only in case where it can) brings one to three
            // warnings, and never the plain text that was encrypted.
            for (int attempt = 0; attempt < 10; ++attempt) {
                // From the sixth on, one character of the strong ciphertext is changed and the key is right.
                const bool altered = strong && attempt >= 5;
                if (altered)
                    w.editor->setText(
                        QString(cipher).replace(60 + attempt, 1, cipher[60 + attempt] == u'A' ? "B" : "A"));
                const QString shown = w.editor->Text();
                QVERIFY(w.press(altered ? key : key.toLower() != key ? key.toLower() : key + "x"));
                counts << w.messages.shown().size();
                QCOMPARE(w.boxes(), warnings.mid(0, qBound(1, int(w.messages.shown().size()), 3)));
                QCOMPARE(w.editor->Text(), shown);
                w.messages.clear();
            }
            w.editor->setText(cipher);
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
            QVERIFY(in<QCheckBox>(d, "chkStrong")->isVisible() &&
                    !in<QCheckBox>(d, "chkStrong")->isChecked());
            QCOMPARE(in<QLabel>(d, "lblStrong")->text(),
                     "Earlier versions cannot open entries saved this way.");
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
            for (QWidget* at = in<QWidget>(d, "txtPhiVer"); order.size() < 6; at = at->nextInFocusChain())
                if (at->focusPolicy() & Qt::TabFocus)
                    order << at->objectName();
            QCOMPARE(order,
                     QStringList({"txtPhiVer", "txtHint", "chkStrong", "chkMask", "cmdOK", "cmdCancel"}));
            QVERIFY(!in<QToolButton>(d, "imgHint")->icon().pixmap(16).isNull());
            const auto up = [d](const char* name) { return in<QWidget>(d, name)->isVisible(); };
            QVERIFY(up("imgHint") && !up("lblHint") && !up("txtHint") && in(d, "txtPhiVer")->hasFocus());
            QVERIFY(!up("chkStrong") && !up("lblStrong")); // a stored text brings its own form
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
            "Keys can hold only the characters of the Western European set, or tick Strong encryption." +
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
            {"x\u043a\u043b\u044e\u0447", "h", "", "strong"}, // any character, in the strong form
            {"Rex1998", "named REX1998 at birth", badHint, "strong"},
        };
        for (const QStringList& c : cases) {
            Window w;
            w.editor->setText(QStringLiteral("walkies"));
            bool stayed = false;
            QVERIFY(w.press([&](QWidget* d) {
                type(d, "txtHint", c[1]);
                type(d, "txtPhiVer", c[0]);
                if (c.size() > 3)
                    click(d, "chkStrong");
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

    // A strong text this version cannot read, or whose key derivation cannot
    // have its memory, says so and is left as it is; neither is a wrong key.
    void strongTextsThatDoNotOpen() {
        Window w;
        // In base64 the header starts "AQEB" (version, derivation, cipher), and "AAAIAAAA" holds
        // 8 KiB of memory: version 2 is "AgEB", 1 GiB "AAAAABAA".
        const QString made = crypto::StrongForm::encrypt("text", "pw", {1, 8}).text;
        const QString newer = "737~AgEB" + made.sliced(8),
                      costly = made.first(12) + "AAAAABAA" + made.sliced(20);
        rlimit before{};
        QVERIFY(getrlimit(RLIMIT_AS, &before) == 0);
        for (const QString& stored : {newer, costly}) {
            w.editor->setText(stored);
            w.messages.clear();
            // Little more address space than the program has now: a gibibyte cannot be had.
            QFile statm("/proc/self/statm");
            QVERIFY(statm.open(QIODevice::ReadOnly));
            const rlimit tight{statm.readAll().split(' ')[0].toULongLong() * 4096 + (rlim_t{256} << 20),
                               before.rlim_max};
            QVERIFY(stored == newer || setrlimit(RLIMIT_AS, &tight) == 0);
            const bool pressed = w.press(QStringLiteral("pw"));
            QVERIFY(setrlimit(RLIMIT_AS, &before) == 0 && pressed);
            QCOMPARE(w.boxes(),
                     QStringList(stored == newer
                                     ? "Entry Cannot Be Opened: This entry was saved by a newer version of "
                                       "Qor Cofra or is damaged [2, 400]"
                                     : "Not Enough Memory: Working out the key needs 1024 MB of memory, "
                                       "which the system could not give.\r\n\r\nClose other programs, "
                                       "then try again. [2, 400]"));
            QVERIFY(w.editor->Text() == stored && w.locked());
        }
    }
};

QTEST_MAIN(EncryptionStateTest)
#include "tst_encryptionstate.moc"
