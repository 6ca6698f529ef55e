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
#include <QVBoxLayout>
#include <memory>

namespace {

// A window with the editor and the toggle button, wired as the main window wires them.
struct Window {
    QWidget widget;
    EntryEditor* txtMain = new EntryEditor(&widget);
    QToolButton* toggle = new QToolButton(&widget);
    DocumentState doc;
    int formats = 0;
    EncryptionState state{&widget, txtMain, toggle, doc, [this] { ++formats; }};

    Window() {
        new QVBoxLayout(&widget);
        widget.layout()->addWidget(toggle);
        widget.layout()->addWidget(txtMain);
        QObject::connect(toggle, &QToolButton::clicked, &state, &EncryptionState::ToggleEncryption);
        widget.show();
    }
    bool showsEncrypted() const { return toggle->icon().cacheKey() == state.imgEncrypted().cacheKey(); }
    bool showsDecrypted() const { return toggle->icon().cacheKey() == state.imgDecrypted().cacheKey(); }
};

bool toggleWith(Window& window, const QString& key, const QString& hint = QStringLiteral("a hint")) {
    return pressAndAnswerKey(window.toggle, key, hint);
}

} // namespace

class EncryptionStateTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { crypto::setCipherHooks({modCofra::SetBusyCursor, platform::PendingEvents::run}); }
    void cleanup() { frmDecrypt::unloadShared(); }
    void emptyEditorAsksNothing();
    void rightKeyRestoresExactText();
    void cancelInBothDirections();
    void wrongKeyWarnsOneToThreeTimesAndKeepsCiphertext();
    void textsThatLookEncryptedCanBeEncrypted();
    void keyOutsideCodePageOpensItsText();
    void pictureFollowsTheText();
};

void EncryptionStateTest::emptyEditorAsksNothing() {
    Window window;
    ScriptedMessages messages;
    QVERIFY(!toggleWith(window, QStringLiteral("key")));
    QCOMPARE(window.txtMain->Text(), QString());
    QCOMPARE(messages.shown().size(), 0);
}

void EncryptionStateTest::rightKeyRestoresExactText() {
    Window window;
    const QString plain = QStringLiteral("Dear diary,\n\ttoday \u20ac12 for caf\u00e9 \u2013 \"ok\"\n");
    window.txtMain->setText(plain);
    QVERIFY(toggleWith(window, QStringLiteral("Key 1"), QStringLiteral("the usual")));
    QCOMPARE(window.txtMain->Text(),
             modCofra::RC4Transform(QStringLiteral("Key 1") + plain, QStringLiteral("Key 1")));
    QVERIFY(window.showsEncrypted());
    QCOMPARE(window.doc.strEntryHint, QStringLiteral("the usual"));
    QCOMPARE(window.doc.strEntryText, plain);
    QCOMPARE(window.formats, 1);

    QVERIFY(toggleWith(window, QStringLiteral("Key 1")));
    QCOMPARE(window.txtMain->Text(), plain);
    QVERIFY(window.showsDecrypted());
    QCOMPARE(window.formats, 2);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void EncryptionStateTest::cancelInBothDirections() {
    Window window;
    window.txtMain->setText(QStringLiteral("plain"));
    QVERIFY(toggleWith(window, QString(), QStringLiteral("typed hint")));
    QCOMPARE(window.txtMain->Text(), QStringLiteral("plain"));
    // The hint typed before cancelling is kept for the entry.
    QCOMPARE(window.doc.strEntryHint, QStringLiteral("typed hint"));

    window.txtMain->setText(QStringLiteral("737B2396305F"));
    QVERIFY(toggleWith(window, QString()));
    QCOMPARE(window.txtMain->Text(), QStringLiteral("737B2396305F"));
    QVERIFY(window.showsEncrypted());
}

void EncryptionStateTest::wrongKeyWarnsOneToThreeTimesAndKeepsCiphertext() {
    Window window;
    window.txtMain->setText(QStringLiteral("the secret"));
    QVERIFY(toggleWith(window, QStringLiteral("Key")));
    const QString cipher = window.txtMain->Text();
    const QStringList titles = {"Password is Incorrect", "Password Entered Incorrectly",
                                "The Entered password is incorrect"};
    QSet<int> counts;
    for (int attempt = 0; attempt < 40; ++attempt) {
        ScriptedMessages messages;
        QVERIFY(toggleWith(window, attempt % 2 ? QStringLiteral("key") : QStringLiteral("KEY")));
        const int shown = static_cast<int>(messages.shown().size());
        QVERIFY2(shown >= 1 && shown <= 3, qPrintable(QString::number(shown)));
        counts << shown;
        for (int box = 0; box < shown; ++box) {
            QCOMPARE(messages.shown()[box].title, titles[box]);
            QCOMPARE(messages.shown()[box].text, QStringLiteral("Password is Incorrect"));
            QCOMPARE(messages.shown()[box].icon, platform::MsgIcon::Exclamation);
            QCOMPARE(messages.shown()[box].buttons, QMessageBox::Ok);
        }
        // Never the plain text that was encrypted, though it is still kept for the save flow.
        QCOMPARE(window.txtMain->Text(), cipher);
    }
    QCOMPARE(window.doc.strEntryText, QStringLiteral("the secret"));
    QVERIFY(counts.size() > 1);
}

void EncryptionStateTest::textsThatLookEncryptedCanBeEncrypted() {
    Window window;
    // A key and text of digits only, and a note that begins with "737".
    const QList<QPair<QString, QString>> cases = {{"7370", "1234"}, {"pw", "737-555-0199 plumber"}};
    for (const auto& [key, text] : cases) {
        window.txtMain->setText(text);
        QVERIFY(window.showsDecrypted());
        QVERIFY(toggleWith(window, key));
        QVERIFY(modCofra::IsEncryptedText(window.txtMain->Text()));
        QVERIFY(toggleWith(window, key));
        QCOMPARE(window.txtMain->Text(), text);
    }
}

void EncryptionStateTest::keyOutsideCodePageOpensItsText() {
    Window window;
    ScriptedMessages messages;
    window.txtMain->setText(QStringLiteral("note"));
    QVERIFY(toggleWith(window, QStringLiteral("\u043a\u043b\u044e\u0447")));
    QVERIFY(toggleWith(window, QStringLiteral("\u043a\u043b\u044e\u0447")));
    QCOMPARE(window.txtMain->Text(), QStringLiteral("note"));
    QCOMPARE(messages.shown().size(), 0);
}

void EncryptionStateTest::pictureFollowsTheText() {
    Window window;
    QVERIFY(window.showsDecrypted());
    QTest::keyClicks(window.txtMain, QStringLiteral("737AB"));
    QVERIFY(window.showsEncrypted());
    QTest::keyClicks(window.txtMain, QStringLiteral("!"));
    QVERIFY(window.showsDecrypted());
    window.txtMain->setText(QStringLiteral("737C0FFEE"));
    QVERIFY(window.showsEncrypted());
    window.txtMain->setText(QString());
    QVERIFY(window.showsDecrypted());
}

QTEST_MAIN(EncryptionStateTest)
#include "tst_encryptionstate.moc"
