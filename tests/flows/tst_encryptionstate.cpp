// The encryption toggle and the key dialog it brings up, driven as a user.
#include "tests/flows/FlowsFixture.h"

#include <QtTest>
#include <sys/resource.h>

class EncryptionStateTest : public QObject, Driving {
    Q_OBJECT
private slots:
    // The text stays as it is until a key opens or encrypts it. A strong text this version cannot read,
    // or whose key derivation cannot have its memory, says so; neither is a wrong key.
    void textStaysUntilAKeyOpensIt() {
        Flows w;
        QVERIFY(!w.press("key")); // an empty editor asks for nothing
        // Typed or set, the text decides the picture; Cancel and the close button drop a typed key.
        w.typeAtEnd("737AB");
        for (const QString text : {"737AB", "plain"}) {
            QCOMPARE(w.locked(), text == "737AB");
            for (const Act& leave : {Act([](QWidget* d) { click(d, "cmdCancel"); }), Act(&QWidget::close)})
                QVERIFY(w.press([&](QWidget* d) { type(d, "txtPhiVer", "typed"), leave(d); }));
            QCOMPARE(w.editor->Text(), text);
            w.editor->setText("plain");
        }
        // Characters outside the code page would not come back in the legacy
        // form: OK names, places and selects the first one and keeps the dialog
        // up. Strong encryption takes them, and the key brings them back.
        for (const QString wide : {"ok\n\U0001F600 \u2192", "ok\nab\u2192"}) {
            w.editor->setText(wide);
            const bool emoji = wide[3].isHighSurrogate();
            QString selection;
            QVERIFY(w.press([&](QWidget* d) {
                w.answer("key")(d);
                selection = QString("%1,%2 ").arg(w.editor->SelStart()).arg(w.editor->SelLength());
                QVERIFY(d->isVisible() && in<QCheckBox>(d, "chkStrong")->hasFocus());
                QTest::keyClick(in<QCheckBox>(d, "chkStrong"), Qt::Key_Space);
                click(d, "cmdOK");
            }));
            // Ticked by the user the first time, the box starts so the second.
            QVERIFY(w.strongShown == !emoji && w.titles() == QStringList{"Character Not Supported"});
            QCOMPARE(
                selection + w.messages.shown()[0].text.section("\r\n", 0, 0),
                emoji ? "3,2 The character \"\U0001F600\" (U+1F600) on line 2, column 1 cannot be encrypted."
                      : "5,1 The character \"\u2192\" (U+2192) on line 2, column 3 cannot be encrypted.");
            QVERIFY(w.editor->Text().startsWith("737~") && w.locked() && w.press("key"));
            QCOMPARE(w.editor->Text(), wide);
            w.messages.clear();
        }
        // To open a stored text the hint waits behind its picture, and Mask shows and hides the key.
        w.editor->setText(legacyEntry("Rex1998", "walkies"));
        w.doc.strEntryHint = "our first dog";
        QVERIFY(w.press([](QWidget* d) {
            const auto up = [d](const char* name) { return in<QWidget>(d, name)->isVisible(); };
            // A stored text brings its own form.
            QVERIFY(up("imgHint") && !up("txtHint") && !up("chkStrong") && !up("lblStrong"));
            click(d, "imgHint");
            QCOMPARE(in(d, "txtHint")->displayText(), "our first dog");
            click(d, "txtPhiVer");
            type(d, "txtPhiVer", "Rex1998");
            // Away from its box the hint is masked again.
            QCOMPARE(in(d, "txtHint")->displayText(), "*************");
            // Left unmasked, where an undo history would show the key.
            for (const char* shown : {"*******", "Rex1998", "*******"}) {
                QCOMPARE(in(d, "txtPhiVer")->displayText(), shown);
                click(d, "chkMask");
            }
            QTest::keyClick(in(d, "txtPhiVer"), Qt::Key_Return);
        }));
        QCOMPARE(w.editor->Text(), "walkies");
        // Entries stored with a key outside the code page, which reached the cipher as "x????", still
        // open as they did.
        w.editor->setText(legacyEntry("x\u043a\u043b\u044e\u0447", "note"));
        QVERIFY(w.press("x\u043a\u043b\u044e\u0447"));
        QCOMPARE(w.editor->Text() + w.titles().join(""), "note");
        // In base64 the header starts "AQEB" (version, derivation, cipher), and "AAAIAAAA" holds
        // 8 KiB of memory: version 2 is "AgEB", 1 GiB "AAAAABAA".
        const QString made = crypto::StrongForm::encrypt("text", "pw", {1, 8}).text;
        const QString newer = "737~AgEB" + made.sliced(8),
                      costly = made.first(12) + "AAAAABAA" + made.sliced(20);
        rlimit before{};
        QFile statm("/proc/self/statm");
        QVERIFY(getrlimit(RLIMIT_AS, &before) == 0 && statm.open(QIODevice::ReadOnly));
        // Little more address space than the program has now: a gibibyte cannot be had.
        const rlimit tight{statm.readAll().split(' ')[0].toULongLong() * 4096 + (rlim_t{256} << 20),
                           before.rlim_max};
        for (const QString& stored : {newer, costly}) {
            w.editor->setText(stored);
            QVERIFY(setrlimit(RLIMIT_AS, &tight) == 0);
            const bool pressed = w.press("pw");
            QVERIFY(setrlimit(RLIMIT_AS, &before) == 0 && pressed);
            // One box each.
            QCOMPARE(
                w.titles(),
                QStringList({"Entry Cannot Be Opened", "Not Enough Memory"}).mid(0, 1 + (stored == costly)));
            QVERIFY(stored == newer || w.messages.shown().last().text.contains("needs 1024 MB of memory"));
            QVERIFY(w.editor->Text() == stored && w.locked());
        }
    }

    // Texts that begin with "737", keys and texts of digits, a key outside the
    // code page; and the strong form, where an altered text is a wrong key too.
    void rightKeyOpensWrongKeyWarns() {
        const QStringList keys = {"Key 1", "7370", "pw", "caf\u00e9", "\u043a\u043b\u044e\u0447 \U0001F511"};
        const QStringList texts = {"Dear diary,\n\t\u20ac12 caf\u00e9 \u2013 \"ok\"\n", "1234",
                                   "737-555-0199 plumber", "note", "\u65e5\u672c\u8a9e \U0001F30D\nzwei"};
        const QStringList warnings = {"Password is Incorrect", "Password Entered Incorrectly",
                                      "The Entered password is incorrect"};
        QSet<qsizetype> counts;
        for (qsizetype n = 0; n < keys.size(); ++n) {
            const QString &key = keys[n], &text = texts[n];
            const bool strong = n == 4;
            Flows w;
            w.editor->setText(text);
            QVERIFY(w.press(w.answer(key, "the usual", strong)));
            const QString cipher = w.editor->Text();
            // The key goes in front of the text, as in every legacy entry.
            QCOMPARE(strong ? crypto::StrongForm::decrypt(cipher, key).text : cipher,
                     strong ? text : legacyEntry(key, text));
            QVERIFY(w.locked() && w.doc.strEntryHint == "the usual");
            // A wrong key (differing only in case where it can) brings one to three
            // warnings, and never the plain text that was encrypted. From the sixth
            // on, one character of the strong ciphertext is changed and the key is right.
            for (int attempt = 0; attempt < 10; ++attempt) {
                QString shown = cipher;
                if (strong && attempt >= 5)
                    shown[60 + attempt] = shown[60 + attempt] == u'A' ? u'B' : u'A';
                w.editor->setText(shown);
                QVERIFY(w.press(shown != cipher ? key : key.toLower() != key ? key.toLower() : key + "x"));
                counts << w.titles().size();
                QCOMPARE(w.titles(), warnings.mid(0, qBound(1, int(w.titles().size()), 3)));
                QVERIFY(w.editor->Text() == shown && w.messages.shown()[0].text == "Password is Incorrect");
                w.messages.clear();
            }
            w.editor->setText(cipher);
            QVERIFY(w.press(key));
            QVERIFY(w.editor->Text() == text && !w.locked() && w.titles().isEmpty());
        }
        QVERIFY(counts.size() > 1);
    }

    // A new key wants a key and a hint; the key must reach the cipher
    // unchanged, and the hint must not hold it. Each refusal says why (its
    // Help button opens the keys topic and keeps the box up) and keeps the dialog up.
    void newKeyRefusals() {
        const QString badHint = "Hint Gives Away the Key: Please enter a Hint that does not contain the key";
        const QList<QStringList> cases = {
            {"", "h", "No Password Entered: Please enter a password"},
            {"Rex1998", "", "No Password Entered: Please enter a Hint"},
            {"x\u043a\u043b\u044e\u0447", "h",
             "Key Character Not Usable: Please enter a password without \"\u043a\" (U+043A)"},
            {"Rex1998", "named REX1998 at birth", badHint},
            {"pw", " PW ", badHint},
            // Keys of three characters or fewer turn up in hints by chance; four is a key.
            {"abc", "abc is short", ""},
            {"abcd", "xABCDx", badHint},
            {"Rex1998", "our first dog", ""},
            {"x\u043a\u043b\u044e\u0447", "h", "", "strong"}, // any character, in the strong form
            {"Rex1998", "named REX1998 at birth", badHint, "strong"},
        };
        for (const QStringList& c : cases) {
            Flows w;
            w.editor->setText("walkies");
            w.messages.queue(c[0].isEmpty() ? QMessageBox::Help : QMessageBox::Ok);
            bool stayed = false;
            QVERIFY(
                w.press([&](QWidget* d) { w.answer(c[0], c[1], c.size() > 3)(d), stayed = d->isVisible(); }));
            QStringList shown;
            for (const platform::MessageBoxSpec& box : w.messages.shown())
                shown << box.title + ": " + box.text.section("\r\n", 0, 0);
            QCOMPARE(shown, QStringList(c[2].isEmpty() ? 0 : c[0].isEmpty() ? 2 : 1, c[2]));
            QVERIFY(stayed == !c[2].isEmpty() && stayed != modCofra::IsEncryptedText(w.editor->Text()));
            QCOMPARE(QString::number(w.opened.size()) + w.opened.value(0).fragment(),
                     c[0].isEmpty() ? "1topic50" : "0");
        }
    }
};

QTEST_MAIN(EncryptionStateTest)
#include "tst_encryptionstate.moc"
