// The encryption toggle of the main window, toolbar button 0, driven as a user.
#include "app/editor/EntryEditor.h"
#include "crypto/EncryptionState.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmDecrypt.h"
#include "tests/app/AppFixture.h"
#include "tests/crypto/KeyAnswer.h"

#include <QAbstractButton>
#include <QTest>

class ToggleMainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { frmDecrypt::unloadShared(); }
    void encryptDecryptAndNew();
};

void ToggleMainWindowTest::encryptDecryptAndNew() {
    AppFixture app;
    QAbstractButton* toggle = app.toolButton(0);
    auto* state = app.window->findChild<EncryptionState*>();
    QVERIFY(toggle && state);
    QCOMPARE(toggle->icon().cacheKey(), state->imgDecrypted().cacheKey());

    app.typeText(QStringLiteral("737-555-0199 plumber"));
    QVERIFY(pressAndAnswerKey(toggle, QStringLiteral("Sesame"), QStringLiteral("cave")));
    const QString cipher = app.window->editor()->Text();
    QVERIFY(modCofra::IsEncryptedText(cipher));
    QCOMPARE(toggle->icon().cacheKey(), state->imgEncrypted().cacheKey());
    QCOMPARE(app.window->documentState().strEntryHint, QStringLiteral("cave"));

    QVERIFY(pressAndAnswerKey(toggle, QStringLiteral("Sesame")));
    QCOMPARE(app.window->editor()->Text(), QStringLiteral("737-555-0199 plumber"));
    QCOMPARE(toggle->icon().cacheKey(), state->imgDecrypted().cacheKey());

    // New empties the editor without a word to the toggle; the picture follows anyway.
    QVERIFY(pressAndAnswerKey(toggle, QStringLiteral("Sesame")));
    app.messages.queue(QMessageBox::No);
    QTest::mouseClick(app.toolButton(3), Qt::LeftButton);
    QCOMPARE(app.window->editor()->Text(), QString());
    QCOMPARE(toggle->icon().cacheKey(), state->imgDecrypted().cacheKey());
}

QTEST_MAIN(ToggleMainWindowTest)
#include "tst_toggle_mainwindow.moc"
