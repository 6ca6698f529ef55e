#include "app/editor/DocumentState.h"
#include "app/editor/EntryEditor.h"
#include "crypto/EncryptionState.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmDecrypt.h"
#include "platform/BusyCursor.h"
#include "platform/PendingEvents.h"
#include "tests/crypto/KeyAnswer.h"
#include "tests/support/ScriptedMessages.h"

#include <QSet>
#include <QTest>
#include <QToolButton>

// The editor and the toggle button, wired as the main window wires them.
struct Window {
    QWidget widget;
    EntryEditor* txtMain = new EntryEditor(&widget);
    QToolButton* toggle = new QToolButton(&widget);
    DocumentState doc;
    int formats = 0;
    EncryptionState state{&widget, txtMain, toggle, doc, [this] { ++formats; }};
    ScriptedMessages messages;

    Window() {
        QObject::connect(toggle, &QToolButton::clicked, &state, &EncryptionState::ToggleEncryption);
        widget.show();
    }
    bool toggleWith(const QString& key, const QString& hint = QStringLiteral("a hint")) {
        return pressAndAnswerKey(toggle, key, hint);
    }
    bool showsEncrypted() const { return toggle->icon().cacheKey() == state.imgEncrypted().cacheKey(); }
    bool showsDecrypted() const { return toggle->icon().cacheKey() == state.imgDecrypted().cacheKey(); }
};

class EncryptionStateTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { crypto::setCipherHooks({modCofra::SetBusyCursor, platform::PendingEvents::run}); }
    void cleanup() { frmDecrypt::unloadShared(); }

    void emptyEditorAsksNothing() {
        Window window;
        QVERIFY(!window.toggleWith(QStringLiteral("key")));
        QCOMPARE(window.txtMain->Text(), QString());
    }

    void rightKeyRestoresExactText() {
        Window window;
        const QString plain = QStringLiteral("Dear diary,\n\ttoday \u20ac12 for caf\u00e9 \u2013 \"ok\"\n");
        window.txtMain->setText(plain);
        QVERIFY(window.toggleWith(QStringLiteral("Key 1"), QStringLiteral("the usual")));
        QCOMPARE(window.txtMain->Text(), modCofra::RC4Transform("Key 1" + plain, QStringLiteral("Key 1")));
        QVERIFY(window.showsEncrypted());
        QCOMPARE(window.doc.strEntryHint, QStringLiteral("the usual"));
        QCOMPARE(window.doc.strEntryText, plain);

        QVERIFY(window.toggleWith(QStringLiteral("Key 1")));
        QCOMPARE(window.txtMain->Text(), plain);
        QVERIFY(window.showsDecrypted());
        QCOMPARE(window.formats, 2);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(window.messages.shown().size(), 0);
    }

    void cancelInBothDirections() {
        Window window;
        window.txtMain->setText(QStringLiteral("plain"));
        QVERIFY(window.toggleWith(QString(), QStringLiteral("typed hint")));
        QCOMPARE(window.txtMain->Text(), QStringLiteral("plain"));
        QCOMPARE(window.doc.strEntryHint, QStringLiteral("typed hint")); // kept for the entry all the same

        window.txtMain->setText(QStringLiteral("737B2396305F"));
        QVERIFY(window.toggleWith(QString()));
        QCOMPARE(window.txtMain->Text(), QStringLiteral("737B2396305F"));
        QVERIFY(window.showsEncrypted());
    }

    void wrongKeyWarnsOneToThreeTimesAndKeepsCiphertext() {
        Window window;
        window.txtMain->setText(QStringLiteral("the secret"));
        QVERIFY(window.toggleWith(QStringLiteral("Key")));
        const QString cipher = window.txtMain->Text();
        const QStringList titles = {"Password is Incorrect", "Password Entered Incorrectly",
                                    "The Entered password is incorrect"};
        QSet<int> counts;
        for (int attempt = 0; attempt < 40; ++attempt) {
            window.messages.clear();
            QVERIFY(window.toggleWith(attempt % 2 ? QStringLiteral("key") : QStringLiteral("KEY")));
            const int shown = static_cast<int>(window.messages.shown().size());
            QVERIFY2(shown >= 1 && shown <= 3, qPrintable(QString::number(shown)));
            counts << shown;
            for (int n = 0; n < shown; ++n) {
                const platform::MessageBoxSpec& box = window.messages.shown()[n];
                QCOMPARE(box.title, titles[n]);
                QCOMPARE(box.text, QStringLiteral("Password is Incorrect"));
                QCOMPARE(box.icon, platform::MsgIcon::Exclamation);
                QCOMPARE(box.buttons, QMessageBox::Ok);
            }
            // Never the plain text that was encrypted, though it is still kept for the save flow.
            QCOMPARE(window.txtMain->Text(), cipher);
        }
        QCOMPARE(window.doc.strEntryText, QStringLiteral("the secret"));
        QVERIFY(counts.size() > 1);
    }

    // Texts that begin with "737", keys and texts made of digits, keys outside the code page.
    void unusualTextsAndKeysRoundTrip() {
        Window window;
        const QList<QPair<QString, QString>> cases = {
            {"7370", "1234"}, {"pw", "737-555-0199 plumber"}, {"\u043a\u043b\u044e\u0447", "note"}};
        for (const auto& [key, text] : cases) {
            window.txtMain->setText(text);
            QVERIFY(window.showsDecrypted());
            QVERIFY(window.toggleWith(key));
            QVERIFY(modCofra::IsEncryptedText(window.txtMain->Text()));
            QVERIFY(window.toggleWith(key));
            QCOMPARE(window.txtMain->Text(), text);
        }
        QCOMPARE(window.messages.shown().size(), 0);
    }

    // Characters outside the code page would not come back: the text stays plain, and says so.
    void textOutsideCodePageStaysPlain() {
        Window window;
        window.txtMain->setText(QStringLiteral("\u65e5\u672c \u043a\u043b\u044e\u0447"));
        QVERIFY(window.toggleWith(QStringLiteral("key")));
        QCOMPARE(window.txtMain->Text(), QStringLiteral("\u65e5\u672c \u043a\u043b\u044e\u0447"));
        QCOMPARE(window.messages.shown().size(), 1);
        QCOMPARE(window.messages.shown()[0].title, QStringLiteral("Aw Shucks!"));
        QCOMPARE(window.messages.shown()[0].text, QStringLiteral("An Error occured while Encrypting"));
    }

    void pictureFollowsTheText() {
        Window window;
        QVERIFY(!window.toggle->icon().pixmap(16).isNull());
        QTest::keyClicks(window.txtMain, QStringLiteral("737AB"));
        QVERIFY(window.showsEncrypted());
        QVERIFY(!window.toggle->icon().pixmap(16).isNull());
        QTest::keyClicks(window.txtMain, QStringLiteral("!"));
        QVERIFY(window.showsDecrypted());
    }
};

QTEST_MAIN(EncryptionStateTest)
#include "tst_encryptionstate.moc"
