#include "app/editor/EntryEditor.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmOpenSave.h"
#include "store/StoreErrorBox.h"
#include "tests/app/AppFixture.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ModalDriver.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// The open and save flows driven through the main window, as a user does.
class tst_EntryFlows : public QObject {
    Q_OBJECT

    ModalDriver keyDialog;

    // Answers the next key dialog: a key (and in SET mode a hint) and OK, or Cancel for an empty key.
    void answerKey(const QString& key, const QString& hint = {}) {
        keyDialog.onNextModal([key, hint](QWidget* dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit*>("txtPhiVer"), key);
            if (!hint.isEmpty())
                QTest::keyClicks(dialog->findChild<QLineEdit*>("txtHint"), hint);
            QTest::mouseClick(dialog->findChild<QPushButton*>(key.isEmpty() ? "cmdCancel" : "cmdOK"),
                              Qt::LeftButton);
        });
    }
    static QWidget* chooserControl(const char* name) {
        return frmOpenSave::loaded()->findChild<QWidget*>(name);
    }
    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    // Save Entry, the name typed over the proposed one, and the chooser's Save.
    static void saveAs(AppFixture& app, const QString& name) {
        click(app.toolButton(2));
        auto* txtName = static_cast<QLineEdit*>(chooserControl("txtName"));
        txtName->clear();
        QTest::keyClicks(txtName, name);
        click(chooserControl("cmdOpen"));
    }
    static QStringList rows() { return sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra"); }

private slots:
    void initTestCase() { store::installErrorBox(); }
    void cleanup() {
        frmOpenSave::unload();
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // New's "Save Changes?" Yes saves first and goes on once the chooser has closed.
    void saveFromNewThenOpenWithItsKey() {
        AppFixture app;
        EntryEditor* txtMain = app.window->editor();
        app.typeText("Dear diary, 100% secret");
        const QString plain = txtMain->Text();
        app.messages.queue(QMessageBox::Yes);
        QTimer::singleShot(0, this, [this] {
            QTest::keyClicks(chooserControl("txtName"), "Diary");
            answerKey("k3y", "my hint");
            click(chooserControl("cmdOpen"));
        });
        click(app.toolButton(3));
        QVERIFY(keyDialog.fired());
        const QString stored = rows().value(0).section('|', 3);
        QCOMPARE(rows(), QStringList{"1|Diary|my hint|" + stored});
        QVERIFY(stored.startsWith("737"));
        QCOMPARE(modCofra::RC4Transform(stored, "k3y"), "k3y" + plain);
        QCOMPARE(txtMain->Text(), QString());
        QCOMPARE(app.window->windowTitle(), "Qor Cofra");

        click(app.toolButton(1));
        answerKey("k3y");
        click(chooserControl("cmdOpen"));
        QVERIFY(keyDialog.fired());
        QCOMPARE(txtMain->Text(), plain);
        QCOMPARE(app.window->windowTitle(), "Qor Cofra - Diary");
        QCOMPARE(app.window->documentState().strEntryHint, "my hint");
        QCOMPARE(app.messages.shown().size(), 1);
    }

    void replaceAndDeleteExistingEntries() {
        AppFixture app;
        modCofra::StoreEntry(0, "One", "h1", "7371111");
        modCofra::StoreEntry(0, "Two", "h2", "7372222");
        app.typeText("new words");
        app.messages.queue(QMessageBox::No);
        saveAs(app, "one");
        QCOMPARE(boxLines(app.messages),
                 QStringList{boxLine(
                     "Replace Entry?",
                     "There is already an Entry with that name.\r\n\r\nWould you like to Replace the entry?",
                     platform::MsgIcon::Question, QMessageBox::Yes | QMessageBox::No)});
        QVERIFY(frmOpenSave::loaded() && frmOpenSave::loaded()->isVisible());
        QCOMPARE(rows(), (QStringList{"1|One|h1|7371111", "2|Two|h2|7372222"}));

        app.messages.queue(QMessageBox::Yes);
        answerKey("k", "h");
        click(chooserControl("cmdOpen"));
        QCOMPARE(rows(), (QStringList{"1|one|h|" + app.window->editor()->Text(), "2|Two|h2|7372222"}));
        QCOMPARE(app.window->windowTitle(), "Qor Cofra - one");
        QCOMPARE(app.window->documentState().lngEntryID, 1);
        QVERIFY(!frmOpenSave::loaded());

        click(app.toolButton(1));
        auto* list = static_cast<QListWidget*>(chooserControl("lstNames"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        app.messages.queue(QMessageBox::Yes);
        click(chooserControl("cmdDelete"));
        QCOMPARE(app.messages.shown().last().title, "Delete Two?");
        QCOMPARE(rows().size(), 1);
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!frmOpenSave::loaded());
    }

    // A ciphertext that does not give the text back is never stored.
    void saveThatCannotEncryptFaithfullyStoresNothing() {
        AppFixture app;
        QGuiApplication::clipboard()->setText(QStringLiteral("5\u20ac in \u65e5\u672c"));
        QTest::keyClick(app.window->editor(), Qt::Key_V, Qt::ControlModifier);
        const QString plain = app.window->editor()->Text();
        answerKey("k", "h");
        saveAs(app, "Abroad");
        QCOMPARE(boxLines(app.messages),
                 QStringList{boxLine("Aw Shucks!", "An Error occured while Encrypting",
                                     platform::MsgIcon::None, QMessageBox::Ok)});
        QCOMPARE(app.window->editor()->Text(), plain);
        QCOMPARE(rows(), QStringList());
        QCOMPARE(app.window->windowTitle(), "Qor Cofra");
    }

    // Database failures during a flow: the error box, and the user's text survives.
    void failuresKeepTheText() {
        AppFixture app;
        modCofra::StoreEntry(0, "Gone", "h", "7370A");
        app.typeText("keep me");
        click(app.toolButton(1));
        sql("DELETE FROM tblCofra");
        app.messages.queue(QMessageBox::Abort);
        answerKey(QString()); // the toggle that ends an open offers to encrypt the plain text
        click(chooserControl("cmdOpen"));
        QCOMPARE(app.messages.shown().value(0).title, "An Error Occured!");
        QCOMPARE(app.window->editor()->Text(), "keep me");
        QCOMPARE(app.window->windowTitle(), "Qor Cofra");
        QVERIFY(!frmOpenSave::loaded());

        QVERIFY(QFile::remove(app.folder.databasePath()));
        app.messages.queue(QMessageBox::Abort);
        answerKey("k", "h");
        saveAs(app, "Lost");
        QCOMPARE(app.messages.shown().size(), 2);
        QVERIFY(app.messages.shown()[1].text.startsWith("Error: 14 - "));
        QCOMPARE(modCofra::RC4Transform(app.window->editor()->Text(), "k"), "kkeep me");
        QVERIFY(!QFile::exists(app.folder.databasePath()));
    }
};

QTEST_MAIN(tst_EntryFlows)
#include "tst_entryflows.moc"
