// The open and save flows driven through the main window as a user does:
// saving from New and Exit, what a save stores, and what it leaves when it cannot.
#include "app/editor/EntryEditor.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmOpenSave.h"
#include "platform/BusyCursor.h"
#include "store/EntryStore.h"
#include "tests/app/AppFixture.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Typing.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using enum QMessageBox::StandardButton;

namespace {

QLineEdit* txtName() { return frmOpenSave::loaded()->findChild<QLineEdit*>("txtName"); }
void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
void chooserButton(const char* name) { click(frmOpenSave::loaded()->findChild<QPushButton*>(name)); }
QStringList rows() { return sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra ORDER BY lngID"); }
// "737" and hex of RC4 over key and text, as every stored entry is.
QString cipherOf(const QString& text, const QString& key) { return crypto::encrypt(key + text, key); }

struct Window : AppFixture {
    ModalDriver keyDialog;
    EntryEditor* editor = window->editor();

    // Answers the next key dialog with a key (and in SET mode a hint) and OK, or Cancel for no key.
    void answerKey(const QString& key, const QString& hint = "a hint") {
        keyDialog.onNextModal([key, hint](QWidget* dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit*>("txtPhiVer"), key);
            if (auto* box = dialog->findChild<QLineEdit*>("txtHint"); box->isVisible())
                QTest::keyClicks(box, hint);
            click(dialog->findChild<QPushButton*>(key.isEmpty() ? "cmdCancel" : "cmdOK"));
        });
    }
    // In the chooser that is up: a name typed over the proposed one, and Save.
    static void saveUnder(const QString& name) {
        txtName()->clear();
        typeCharacters(txtName(), name);
        chooserButton("cmdOpen");
    }
    void saveAs(const QString& name) {
        click(toolButton(2));
        saveUnder(name);
    }
    // Opens the listed entry of that name, answering the key dialog with the key.
    void open(const QString& name, const QString& key) {
        click(toolButton(1));
        auto* list = frmOpenSave::loaded()->findChild<QListWidget*>("lstNames");
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
        answerKey(key);
        chooserButton("cmdOpen");
    }
    // Types at the end of the text, as a keyboard does.
    void typeAtEnd(const QString& text) const {
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
        typeCharacters(editor, text);
    }
    // Text, caption and open entry in one line.
    QString state() const {
        const DocumentState& doc = window->documentState();
        return QStringList({editor->Text(), window->windowTitle(), QString::number(doc.lngEntryID), doc.strEntryName})
            .join('|');
    }
    QStringList titles() const {
        QStringList all;
        for (const platform::MessageBoxSpec& box : messages.shown())
            all << box.title;
        return all;
    }
};

} // namespace

class tst_EntryFlows : public QObject {
    Q_OBJECT
private slots:
    void init() { store::setBusyTimeout(100); }
    void cleanup() {
        frmOpenSave::unload();
        const bool busy = QGuiApplication::overrideCursor() != nullptr;
        modCofra::SetBusyCursor(false);
        QVERIFY2(!busy && QSqlDatabase::connectionNames().isEmpty(), "a busy pointer or a connection stayed");
    }

    void saveChangesGoesOnOnlyOnceStored_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("way");
        for (const char* command : {"New", "Exit"})
            for (const char* way : {"stored", "chooser closed", "key cancelled", "replace no", "character refused",
                                    "lookup failed", "store failed"})
                QTest::addRow("%s, %s", command, way) << QString(command) << QString(way);
    }
    // "Save Changes?" Yes: New and Exit go on only when the entry was stored;
    // otherwise the text, caption and open entry stay as they were.
    void saveChangesGoesOnOnlyOnceStored() {
        QFETCH(QString, command);
        QFETCH(QString, way);
        Window w;
        modCofra::StoreEntry(0, "Taken", "h", cipherOf("old text", "k"));
        w.open("Taken", "k");
        w.typeAtEnd(way == "character refused" ? QString(" \u2192") : QString(" more"));
        const QString before = w.state();
        QCOMPARE(before.section('|', 1, 2), "Qor Cofra - Taken|1");
        if (way == "store failed") { // read-only: a write version the engine does not write
            QFile file(w.folder.databasePath());
            QVERIFY(file.open(QFile::ReadWrite) && file.seek(18) && file.putChar(3));
        }
        const bool stopsInChooser = way == "replace no" || way == "character refused" || way == "lookup failed";
        w.messages.clear();
        w.messages.queue(Yes); // Save Changes?
        QTimer::singleShot(100, this, [&] {
            // Another program holds the file past the timeout while the name is looked up.
            QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
            locker.setDatabaseName(w.folder.databasePath());
            QVERIFY(way != "lookup failed" || (locker.open() && QSqlQuery(locker).exec("BEGIN EXCLUSIVE")));
            if (way != "chooser closed") {
                w.messages.queue(way == "replace no" ? No : way == "character refused" ? Ok : Abort);
                if (way == "stored" || way == "key cancelled" || way == "store failed")
                    w.answerKey(way == "key cancelled" ? "" : "k2", "h2");
                Window::saveUnder(way == "replace no" || way == "lookup failed" ? "taken" : "Fresh");
                QCOMPARE(frmOpenSave::loaded() != nullptr, stopsInChooser);
            }
            locker.close();
            locker = QSqlDatabase();
            QSqlDatabase::removeDatabase("locker");
            if (frmOpenSave::loaded())
                chooserButton("cmdClose");
            w.messages.queue(No); // Quit?, after an Exit that goes on
        });
        if (command == "New")
            click(w.toolButton(3));
        else
            w.action("mnuFile_8")->trigger();

        if (way != "stored")
            QCOMPARE(w.state(), before);
        else if (command == "New")
            QCOMPARE(w.state(), "|Qor Cofra|0|");
        else
            QCOMPARE(w.state().section('|', 1), "Qor Cofra - Fresh|2|Fresh");
        QCOMPARE(w.titles().contains("QorCofra"), command == "Exit" && way == "stored"); // Quit?
        QVERIFY(w.window->isVisible());
        QCOMPARE(rows().size(), way == "stored" ? 2 : 1);
        if (way == "stored")
            QCOMPARE(modCofra::RC4Transform(rows().value(1).section('|', 3), "k2"), "k2old text more");
    }

    // A text of a ciphertext's shape is stored without a key only when the
    // program put it there and it was not edited since; any other is asked about.
    void ciphertextShapedTexts() {
        Window w;
        for (const QString& note : QStringList{"7375551234", "737ABC", "7370"}) {
            // No (the default) encrypts it like any plain text; Cancel stores nothing.
            for (const auto answer : {Cancel, No}) {
                w.editor->setText(note);
                w.messages.clear();
                w.messages.queue(answer);
                if (answer == No)
                    w.answerKey("k", "h");
                w.saveAs(note);
                QCOMPARE(w.titles(), QStringList{"Already Encrypted?"});
            }
            const platform::MessageBoxSpec box = w.messages.shown().value(0);
            QCOMPARE(box.text, "This text looks like an encrypted entry.\r\n\r\nStore it as it is?");
            QCOMPARE(box.buttons, Yes | No | Cancel);
            QCOMPARE(box.defaultButton, No);
            const QString stored = sql("SELECT strEntry FROM tblCofra WHERE strName = '" + note + "'").join('/');
            QCOMPARE(modCofra::RC4Transform(stored, "k"), "k" + note);
        }
        // Yes keeps it as it is, as asked.
        w.editor->setText("737F00D");
        w.messages.clear();
        w.messages.queue(Yes);
        w.saveAs("As typed");
        QCOMPARE(rows().last().section('|', 1), "As typed|h|737F00D");

        // Opened and left as it is: stored again without a key or a question; edited: asked about.
        w.open("7370", "");
        w.messages.clear();
        w.messages.queue(Yes); // Replace Entry?
        w.saveAs("7370 again");
        QCOMPARE(w.titles(), QStringList());
        QCOMPARE(rows().last().section('|', 3), rows()[2].section('|', 3));
        w.typeAtEnd("0");
        w.messages.queue(Cancel);
        w.saveAs("7370 again");
        QCOMPARE(w.titles(), (QStringList{"Replace Entry?", "Already Encrypted?"}));
    }

    // Shift+Enter is a line break like Enter; a character an entry cannot hold
    // is named and selected, and nothing is stored.
    void charactersOfTheText() {
        Window w;
        w.typeText("line one");
        QTest::keyClick(w.editor, Qt::Key_Return, Qt::ShiftModifier);
        w.typeText("line two");
        w.answerKey("k", "h");
        w.saveAs("Lines");
        QCOMPARE(modCofra::RC4Transform(rows().value(0).section('|', 3), "k"), "kline one\nline two");

        w.editor->setText("ab\ncd\u2192ef");
        w.messages.clear();
        w.saveAs("Arrow");
        QCOMPARE(w.titles(), QStringList{"Character Not Supported"});
        QVERIFY(w.messages.shown()[0].text.startsWith("The character \"\u2192\" (U+2192) on line 2, column 3 "));
        QCOMPARE(QString("%1+%2").arg(w.editor->SelStart()).arg(w.editor->SelLength()), "5+1");
        QCOMPARE(w.editor->Text() + "|" + QString::number(rows().size()), "ab\ncd\u2192ef|1");
    }

    // Ids beyond 32 bits, names that differ only in the case of a non-ASCII
    // letter, and an open whose row has gone.
    void whichRowASaveOrOpenMeets() {
        Window w;
        sql("INSERT INTO tblCofra VALUES (1, 'Low', 'h1', '" + cipherOf("low text", "k") + "'), (4294967297, "
            "'\u00c4PFEL', 'h2', '" + cipherOf("high text", "k") + "')");
        w.open("Low", "k");
        QCOMPARE(w.state(), "low text|Qor Cofra - Low|1|Low");
        w.open("\u00c4PFEL", "");
        QCOMPARE(w.state().section('|', 1), "Qor Cofra - \u00c4PFEL|4294967297|\u00c4PFEL");
        w.messages.clear();
        w.messages.queue(Yes);
        w.saveAs("\u00e4pfel");
        QCOMPARE(w.titles(), QStringList{"Replace Entry?"});
        QCOMPARE(w.messages.shown()[0].text,
                 "There is already an Entry with that name.\r\n\r\nWould you like to Replace the entry?");
        QCOMPARE(sql("SELECT lngID, strName FROM tblCofra"), (QStringList{"1|Low", "4294967297|\u00e4pfel"}));

        // The row goes between the listing and Open: the error box, and no key is asked for.
        click(w.toolButton(1));
        auto* list = frmOpenSave::loaded()->findChild<QListWidget*>("lstNames");
        list->setCurrentItem(list->findItems("Low", Qt::MatchExactly).value(0));
        sql("DELETE FROM tblCofra WHERE lngID = 1");
        const QString before = w.state();
        w.messages.clear();
        w.messages.queue(Abort);
        w.answerKey("k");
        chooserButton("cmdOpen");
        QCOMPARE(w.titles(), QStringList{"An Error Occured!"});
        QCOMPARE(w.state(), before);
        QTest::qWait(50);
        QVERIFY(!w.keyDialog.fired());
    }
};

QTEST_MAIN(tst_EntryFlows)
#include "tst_entryflows.moc"
