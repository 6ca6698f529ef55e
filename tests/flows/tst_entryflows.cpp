// The open and save flows driven through the main window as a user does:
// saving from New and Exit, what a save stores, and what it leaves when it cannot.
#include "crypto/StrongForm.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmOpenSave.h"
#include "editor/EntryEditor.h"
#include "platform/BusyCursor.h"
#include "store/EntryStore.h"
#include "tests/app/AppFixture.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Typing.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using enum QMessageBox::StandardButton;

namespace {

QLineEdit* txtName() {
    return frmOpenSave::loaded()->findChild<QLineEdit*>("txtName");
}
void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}
void chooserButton(const char* name) {
    click(frmOpenSave::loaded()->findChild<QPushButton*>(name));
}
QStringList rows() {
    return sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra ORDER BY lngID");
}
// "737" and hex of RC4 over key and text, as every stored entry is.
QString cipherOf(const QString& text, const QString& key) {
    return crypto::encrypt(key + text, key);
}

struct Window : AppFixture {
    ModalDriver keyDialog;
    EntryEditor* editor = window->editor();
    bool strongShown = false; // how the Strong encryption box started in the last key dialog answered

    // Answers the next key dialog with a key (and in SET mode a hint, and the
    // form when one is given) and OK, or Cancel for no key; a dialog that
    // stays up after OK is cancelled.
    void answerKey(const QString& key, const QString& hint = "a hint", std::optional<bool> strong = {}) {
        keyDialog.onNextModal([this, key, hint, strong](QWidget* dialog) {
            typeCharacters(dialog->findChild<QLineEdit*>("txtPhiVer"), key);
            auto* box = dialog->findChild<QCheckBox*>("chkStrong");
            strongShown = box->isChecked();
            if (strong && *strong != strongShown)
                click(box);
            if (auto* hintBox = dialog->findChild<QLineEdit*>("txtHint"); hintBox->isVisible())
                QTest::keyClicks(hintBox, hint);
            click(dialog->findChild<QPushButton*>(key.isEmpty() ? "cmdCancel" : "cmdOK"));
            if (dialog->isVisible())
                click(dialog->findChild<QPushButton*>("cmdCancel"));
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
        return QStringList(
                   {editor->Text(), window->windowTitle(), QString::number(doc.lngEntryID), doc.strEntryName})
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
    void init() {
        store::setBusyTimeout(100);
        crypto::StrongForm::setNewEntryParameters({1, 8}); // cheap keys, except where the cost is the point
    }
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
            for (const char* way : {"stored", "chooser closed", "key cancelled", "replace no",
                                    "character refused", "lookup failed", "store failed"})
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
        const bool stopsInChooser = way == "replace no" || way == "lookup failed";
        w.messages.clear();
        w.messages.queue(Yes); // Save Changes?
        QTimer::singleShot(100, this, [&] {
            // Another program holds the file past the timeout while the name is looked up.
            QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
            locker.setDatabaseName(w.folder.databasePath());
            QVERIFY(way != "lookup failed" || (locker.open() && QSqlQuery(locker).exec("BEGIN EXCLUSIVE")));
            if (way != "chooser closed") {
                w.messages.queue(way == "replace no" ? No : way == "character refused" ? Ok : Abort);
                if (way == "stored" || way == "key cancelled" || way == "store failed" ||
                    way == "character refused")
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
            const QString stored =
                sql("SELECT strEntry FROM tblCofra WHERE strName = '" + note + "'").join('/');
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

    // Shift+Enter is a line break like Enter. (What the legacy form cannot
    // carry is refused in the key dialog: the toggle's tests and "character
    // refused" above.)
    void charactersOfTheText() {
        Window w;
        w.typeText("line one");
        QTest::keyClick(w.editor, Qt::Key_Return, Qt::ShiftModifier);
        w.typeText("line two");
        w.answerKey("k", "h");
        w.saveAs("Lines");
        QCOMPARE(modCofra::RC4Transform(rows().value(0).section('|', 3), "k"), "kline one\nline two");
    }

    // Ids beyond 32 bits, names that differ only in the case of a non-ASCII
    // letter, and an open whose row has gone.
    // A name pasted into the name box is stored on one line: its line breaks
    // and other control characters become spaces, so that the box can hold
    // the name again and a later save under it replaces the entry.
    void pastedNamesAreOneLine_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("stored");
        QTest::newRow("line break") << "line1\nline2"
                                    << "line1 line2";
        QTest::newRow("CR LF and a tab") << "a\r\n\tb"
                                         << "a b";
        QTest::newRow("at the ends") << "\r\nname\n"
                                     << "name";
        QTest::newRow("line separator") << "x\u2028y"
                                        << "x y";
    }
    void pastedNamesAreOneLine() {
        QFETCH(QString, pasted);
        QFETCH(QString, stored);
        Window w;
        w.typeAtEnd("text");
        for (const QString answer : {"first", "second"}) {
            click(w.toolButton(2));
            txtName()->clear();
            QGuiApplication::clipboard()->setText(pasted);
            QTest::keyClick(txtName(), Qt::Key_V, Qt::ControlModifier);
            if (answer == QLatin1String("second"))
                w.messages.queue(Yes);
            w.answerKey("k");
            chooserButton("cmdOpen");
            QCOMPARE(sql("SELECT strName FROM tblCofra"), QStringList{stored});
            QCOMPARE(w.window->windowTitle(), "Qor Cofra - " + stored);
        }
        QCOMPARE(w.titles(), QStringList{"Replace Entry?"});
    }

    // Escape in the question before a delete keeps the entry, as No does.
    void escapeKeepsTheEntry() {
        Window w;
        sql("INSERT INTO tblCofra VALUES (1, 'Kept', 'h', '" + cipherOf("text", "k") + "')");
        click(w.toolButton(1));
        auto* list = frmOpenSave::loaded()->findChild<QListWidget*>("lstNames");
        list->setCurrentItem(list->findItems("Kept", Qt::MatchExactly).value(0));
        w.messages.queue(QMessageBox::Escape);
        chooserButton("cmdDelete");
        QCOMPARE(w.titles(), QStringList{"Delete Kept?"});
        QCOMPARE(sql("SELECT strName FROM tblCofra"), QStringList{"Kept"});
    }

    void whichRowASaveOrOpenMeets() {
        Window w;
        sql("INSERT INTO tblCofra VALUES (1, 'Low', 'h1', '" + cipherOf("low text", "k") +
            "'), (4294967297, "
            "'\u00c4PFEL', 'h2', '" +
            cipherOf("high text", "k") + "')");
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
    }

    void anotherCopyMeanwhile_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("reusesIds");
        for (const char* step : {"list then open", "list then delete", "lookup then replace",
                                 "lookup then store, replace yes", "lookup then store, replace no"}) {
            QTest::addRow("%s, shipped table", step) << QString(step) << false;
            QTest::addRow("%s, table without AUTOINCREMENT", step) << QString(step) << true;
        }
    }
    // Another copy of the program, here the test's own connection, changes the
    // file between what this copy saw and what it does: deletes the entry and
    // saves a new one (which, on a table without AUTOINCREMENT, gets the
    // deleted id), or saves the very name being saved. Every write lands on
    // the row it was meant for or nowhere, and the user is told.
    void anotherCopyMeanwhile() {
        QFETCH(QString, step);
        QFETCH(bool, reusesIds);
        Window w;
        if (reusesIds) {
            sql("DROP TABLE tblCofra");
            sql("CREATE TABLE tblCofra (lngID INTEGER PRIMARY KEY, strName TEXT, strPassHint TEXT, strEntry "
                "TEXT)");
        }
        const QString theirs = cipherOf("their text", "b");
        sql("INSERT INTO tblCofra (strName, strPassHint, strEntry) VALUES ('Alpha', 'h', '" + theirs +
            "'), ('X', 'h', '" + theirs + "')");
        const QString replaceX = "DELETE FROM tblCofra WHERE strName = 'X'";
        const auto saveAsOther = [&](const QString& name) {
            sql("INSERT INTO tblCofra (strName, strPassHint, strEntry) VALUES ('" + name + "', 'hb', '" +
                theirs + "')");
        };
        const bool appears = step.startsWith("lookup then store");
        w.typeAtEnd("mine");
        const QString before = w.state();
        QString expected; // the last box's title
        QStringList rowsAfter;
        QStringList listed;

        if (step.startsWith("list then")) {
            const bool open = step == "list then open";
            click(w.toolButton(1));
            auto* list = frmOpenSave::loaded()->findChild<QListWidget*>("lstNames");
            list->setCurrentItem(list->findItems("X", Qt::MatchExactly).value(0));
            sql(replaceX);
            saveAsOther(open ? "Yankee" : "Zulu");
            if (!open)
                w.messages.queue(Yes); // Delete X?
            w.messages.queue(Ok);
            w.answerKey("b");
            chooserButton(open ? "cmdOpen" : "cmdDelete");
            rowsAfter = QStringList{"Alpha", open ? "Yankee" : "Zulu"};
            listed = rowsAfter;
            expected = "Entry Changed";
            QCOMPARE(
                w.messages.shown().value(w.messages.shown().size() - 1).text,
                QString("The entry \"X\" was changed by another copy of Qor Cofra that uses the same entry "
                        "database: it has been deleted or renamed there.\r\n\r\nNothing was %1. The list now "
                        "shows the entries as they are.")
                    .arg(open ? "opened" : "deleted"));
        } else {
            // The other copy acts while this copy's key dialog is up.
            w.keyDialog.onNextModal([&](QWidget* dialog) {
                if (!appears)
                    sql(replaceX);
                saveAsOther(appears ? "Dup" : "Yankee");
                typeCharacters(dialog->findChild<QLineEdit*>("txtPhiVer"), "a");
                QTest::keyClicks(dialog->findChild<QLineEdit*>("txtHint"), "ha");
                click(dialog->findChild<QPushButton*>("cmdOK"));
            });
            w.messages.clear();
            // Replace Entry?, for X, or for the Dup that appeared
            w.messages.queue(step.endsWith("replace no") ? No : Yes);
            if (!appears)
                w.messages.queue(Ok); // Entry Changed
            w.saveAs(appears ? "Dup" : "X");
            QVERIFY(w.keyDialog.fired());
            if (step.endsWith("replace yes")) {
                QCOMPARE(w.state().section('|', 1), "Qor Cofra - Dup|3|Dup");
                QCOMPARE(modCofra::RC4Transform(rows().value(2).section('|', 3), "a"),
                         "a" + before.section('|', 0, 0));
            } else {
                QCOMPARE(w.state(), before);
            }
            rowsAfter = appears ? QStringList{"Alpha", "X", "Dup"} : QStringList{"Alpha", "Yankee"};
            expected = appears ? "Replace Entry?" : "Entry Changed";
            QCOMPARE(w.titles(), (appears ? QStringList{expected} : QStringList{"Replace Entry?", expected}));
            if (!appears) { // the chooser is back, to save again
                QVERIFY(frmOpenSave::loaded() && frmOpenSave::loaded()->isVisible());
                listed = rowsAfter;
            }
        }
        if (!step.endsWith("replace yes"))
            QCOMPARE(w.state(), before);
        QCOMPARE(w.messages.shown().value(w.messages.shown().size() - 1).title, expected);
        QCOMPARE(w.messages.unexpected() + w.messages.pending(), 0);
        // One row per name; the other copy's rows as it left them, except a replace the user chose.
        QStringList names, texts;
        for (const QString& row : sql("SELECT strName, strEntry FROM tblCofra ORDER BY lngID"))
            names << row.section('|', 0, 0), texts << row.section('|', 1);
        QCOMPARE(names, rowsAfter);
        QCOMPARE(texts.count(theirs), rowsAfter.size() - step.endsWith("replace yes"));
        if (!listed.isEmpty()) {
            auto* list = frmOpenSave::loaded()->findChild<QListWidget*>("lstNames");
            QStringList shown;
            for (int row = 0; row < list->count(); ++row)
                shown << list->item(row)->text();
            QCOMPARE(shown, listed);
        }
    }

    // Strong encryption is the user's choice: its box starts unticked, then as
    // the user left it, also at the next start. A text from a strong entry is
    // not quietly stored in the legacy form; a strong ciphertext is stored as
    // it is only when the program put it there.
    void strongEntries() {
        Window w;
        const QString text = "Gr\u00fc\u00dfe, \u4e16\u754c \U0001F30D", key = "\u043a\u043b\u044e\u0447";
        crypto::StrongForm::setNewEntryParameters(crypto::StrongForm::Defaults);
        w.typeAtEnd(text);
        w.answerKey(key, "h", true);
        w.saveAs("Strong");
        crypto::StrongForm::setNewEntryParameters({1, 8});
        QVERIFY(!w.strongShown);
        // Every entry keeps the cost of its key, 3 passes over 256 MiB unless changed: the
        // header's version, derivation, cipher, flags, passes and memory are "AQEBAAMAAAAAAAQA".
        QVERIFY(rows().value(0).section('|', 3).startsWith("737~AQEBAAMAAAAAAAQA"));
        w.window->SaveWinSettings();
        QCOMPARE(w.setting("StrongEncryption"), "True");

        w.window.reset();
        w.window = std::make_unique<frmCofra>();
        w.window->Form_Load();
        w.editor = w.window->editor();
        w.typeAtEnd("plain note");
        w.answerKey("k", "h", false);
        w.saveAs("Plain");
        QVERIFY(w.strongShown);
        QCOMPARE(modCofra::RC4Transform(rows().value(1).section('|', 3), "k"), "kplain note");

        // Opened from a strong entry: ticked whatever the preference, which stays as it was.
        w.open("Strong", key);
        QCOMPARE(w.editor->Text(), text);
        w.typeAtEnd("!");
        w.messages.queue(Yes); // Replace Entry?
        w.answerKey(key, "h");
        w.saveAs("Strong");
        QVERIFY(w.strongShown);
        const QString stored = rows().value(0).section('|', 3);
        QCOMPARE(crypto::StrongForm::decrypt(stored, key).text, text + "!");
        w.window->SaveWinSettings();
        QCOMPARE(w.setting("StrongEncryption"), "False");

        // Stored again unedited: no key, no question, the same characters.
        w.messages.clear();
        w.saveAs("Copy");
        QCOMPARE(w.titles(), QStringList());
        QCOMPARE(rows().value(2).section('|', 3), stored);
        // One the program did not put there is asked about.
        w.editor->setText(crypto::StrongForm::encrypt("pasted", "p", {1, 8}).text);
        w.messages.queue(Yes);
        w.saveAs("Pasted");
        QCOMPARE(w.titles(), QStringList{"Already Encrypted?"});
        QCOMPARE(rows().value(3).section('|', 3), w.editor->Text());
    }
};

QTEST_MAIN(tst_EntryFlows)
#include "tst_entryflows.moc"
