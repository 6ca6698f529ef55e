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
        QTest::keyClicks(txtName(), name);
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
    // Types at the end of the text, as a keyboard does, including characters no key of a US layout carries.
    void typeAtEnd(const QString& text) {
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
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
};

QTEST_MAIN(tst_EntryFlows)
#include "tst_entryflows.moc"
