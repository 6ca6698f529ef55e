#include "app/editor/EntryEditor.h"
#include "crypto/TextCipher.h"
#include "dialogs/frmOpenSave.h"
#include "platform/AppPath.h"
#include "platform/BusyCursor.h"
#include "flows/StoreErrorBox.h"
#include "tests/app/AppFixture.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/ModalDriver.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// The entry database, the entry chooser that lists it, and the open and save
// flows driven through the main window as a user does.
class tst_EntryStore : public QObject {
    Q_OBJECT

    ModalDriver keyDialog;
    using enum platform::MsgIcon;
    using enum QMessageBox::StandardButton;

    // A message box in one line: title, text, icon, buttons and default button.
    static QString boxLine(const QString& title, const QString& text, platform::MsgIcon icon,
                           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def = {}) {
        return QString("%1|%2|%3|%4|%5").arg(title, text).arg(int(icon)).arg(buttons.toInt()).arg(def);
    }
    static QStringList boxLines(const ScriptedMessages& boxes) {
        QStringList lines;
        for (const platform::MessageBoxSpec& box : boxes.shown())
            lines << boxLine(box.title, box.text, box.icon, box.buttons, box.defaultButton);
        return lines;
    }
    static QString errorBox(const QString& text) {
        return boxLine("An Error Occured!", text, Exclamation, Abort | Retry | Ignore, Retry);
    }
    // Forgets the boxes shown so far and queues the answers to the next ones.
    static void queue(ScriptedMessages& boxes, const QList<QMessageBox::StandardButton>& answers) {
        boxes.clear();
        for (QMessageBox::StandardButton answer : answers)
            boxes.queue(answer);
    }
    // The error text, then the name, hint and text that LoadEntry leaves in fields that held "old".
    static QStringList load(qint32 id) {
        QString name = "old", hint = "old", text = "old";
        const QString error = modCofra::LoadEntry(id, name, hint, text);
        return {error, name, hint, text};
    }
    // The names in the program folder, and the database file's bytes.
    static QByteArray snapshot() {
        QFile file(store::databasePath());
        return QDir(modCofra::strAppPath).entryList(QDir::AllEntries | QDir::Hidden).join('/').toUtf8() +
               (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }

    static QListWidget* lstNames() { return frmOpenSave::loaded()->findChild<QListWidget*>("lstNames"); }
    static QLineEdit* txtName() { return frmOpenSave::loaded()->findChild<QLineEdit*>("txtName"); }
    static QPushButton* button(const char* n) { return frmOpenSave::loaded()->findChild<QPushButton*>(n); }
    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    static QStringList names() {
        QStringList texts;
        for (int row = 0; row < lstNames()->count(); ++row)
            texts << lstNames()->item(row)->text();
        return texts;
    }
    // Shows a fresh chooser, filled as the main window does it; gives the row it selects.
    static int showChooser(bool save, const QString& name = {}, qint32 id = 0) {
        frmOpenSave::unload();
        frmOpenSave::shared(nullptr)->show();
        frmOpenSave::loaded()->DoSaveOpen(save, name, id);
        return lstNames()->currentRow();
    }
    static QPoint rowAt(int row) { return lstNames()->visualItemRect(lstNames()->item(row)).center(); }
    static void clickRow(int row) {
        QTest::mouseClick(lstNames()->viewport(), Qt::LeftButton, {}, rowAt(row));
    }

    // Answers the next key dialog with a key (and in SET mode a hint) and OK, or with Cancel for no key.
    void answerKey(const QString& key, const QString& hint = {}) {
        keyDialog.onNextModal([key, hint](QWidget* dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit*>("txtPhiVer"), key);
            QTest::keyClicks(dialog->findChild<QLineEdit*>("txtHint"), hint);
            click(dialog->findChild<QPushButton*>(key.isEmpty() ? "cmdCancel" : "cmdOK"));
        });
    }
    // Save Entry, a name typed over the proposed one, and the chooser's Save.
    static void saveAs(AppFixture& app, const QString& name) {
        click(app.toolButton(2));
        txtName()->clear();
        QTest::keyClicks(txtName(), name);
        click(button("cmdOpen"));
    }
    static QStringList rows() { return sql("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra"); }

private slots:
    void initTestCase() { store::installErrorBox(); }
    void cleanup() {
        frmOpenSave::unload();
        const bool busy = QGuiApplication::overrideCursor() != nullptr;
        modCofra::SetBusyCursor(false);
        QVERIFY2(!busy && QSqlDatabase::connectionNames().isEmpty(), "a busy pointer or a connection stayed");
    }

    void storesFindsAndDeletes() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        const QString big = QString(1 << 20, QChar('7')) + QStringLiteral("\r\n\u00e9\u20ac");
        modCofra::StoreEntry(0, "O'Brien", "his hint", big);
        modCofra::StoreEntry(0, "Secret", "", "737" + QString(4000, QChar('C')) + "5EC2E7");
        sql("INSERT INTO tblCofra (strName) VALUES ('Bare')");
        QCOMPARE(modCofra::FindEntryID("o'brien"), 1);
        QCOMPARE(modCofra::FindEntryID("Bare"), 3);
        QCOMPARE(modCofra::FindEntryID("x' OR '1'='1"), 0);
        QCOMPARE(load(1), (QStringList{"", "O'Brien", "his hint", big}));
        QCOMPARE(load(3), (QStringList{"", "Bare", "", ""}));

        // A deleted entry leaves no ciphertext in the file.
        QVERIFY(snapshot().contains("5EC2E7"));
        modCofra::DeleteRecord("tblCofra", "lngID", 2);
        QVERIFY(!snapshot().contains("5EC2E7"));

        // Storing to the deleted row asks, writes nothing whatever the answer, and Retry tries again.
        const QString expected = "Error: 101 - There is no entry with the id 2\r\nFrom: tblCofra.";
        queue(boxes, {Retry, Abort, Ignore});
        QCOMPARE(modCofra::StoreEntry(2, "Secret", "h", "7370C"), expected);
        QCOMPARE(modCofra::StoreEntry(2, "Secret", "h", "7370C"), expected);
        QCOMPARE(boxLines(boxes), QStringList(3, errorBox(expected)));
        QCOMPARE(sql("SELECT lngID, strName FROM tblCofra ORDER BY 1"), (QStringList{"1|O'Brien", "3|Bare"}));
    }

    void listingStopsAtItsLimits() {
        ProgramFolder folder;
        const QString rows = "WITH RECURSIVE n(i) AS (VALUES(1) UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                             "INSERT INTO tblCofra (strName) SELECT %2 FROM n";
        // Empty names are never listed, and the listing ends at the 101st of them.
        sql("INSERT INTO tblCofra (strName) VALUES ('b'), ('a')");
        sql(rows.arg("100", "CASE i % 2 WHEN 0 THEN '' END"));
        sql("INSERT INTO tblCofra (strName) VALUES ('after100'), (NULL), ('after101')");
        QCOMPARE(showChooser(false), 2); // the entry with id 1
        QCOMPARE(names(), (QStringList{"a", "after100", "b"}));

        sql("DELETE FROM tblCofra");
        sql(rows.arg("10005", "printf('n%05d', i)"));
        showChooser(false);
        QCOMPARE(lstNames()->count(), 10000);
        QCOMPARE(lstNames()->item(9999)->text(), "n10000");
    }

    void chooserOpensSavesAndDeletes() {
        ProgramFolder folder;
        ScriptedMessages boxes;
        showChooser(false);
        QSignalSpy opened(frmOpenSave::loaded(), &frmOpenSave::openChosen);
        click(button("cmdOpen")); // nothing listed: nothing to open or delete
        click(button("cmdDelete"));
        QCOMPARE(opened.size() + boxes.shown().size(), 0);

        sql("INSERT INTO tblCofra (strName) VALUES ('First'),('beta'),('Same'),('Alpha'),('Same'),('gamma')");
        modCofra::DeleteRecord("tblCofra", "lngID", 1);
        QCOMPARE(showChooser(false), 0); // no row has id 1
        QCOMPARE(frmOpenSave::loaded()->windowTitle() + button("cmdOpen")->text(), "Open&Open");
        QCOMPARE(names(), (QStringList{"Alpha", "beta", "gamma", "Same", "Same"}));

        // Open, Enter and double-click hand over the selected row's own id, also for a repeated name.
        QSignalSpy chosen(frmOpenSave::loaded(), &frmOpenSave::openChosen);
        clickRow(3);
        QCOMPARE(txtName()->text(), "Same");
        click(button("cmdOpen"));
        clickRow(4);
        QTest::keyClick(lstNames(), Qt::Key_Return);
        clickRow(1);
        QTest::mouseDClick(lstNames()->viewport(), Qt::LeftButton, {}, rowAt(1));
        QCOMPARE(QList<QVariantList>(chosen), (QList<QVariantList>{{3}, {5}, {2}}));
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        modCofra::SetBusyCursor(false);

        // The entry remembered by id or by its exact name is selected, otherwise the first.
        QCOMPARE(showChooser(false, "", 6), 2);
        QCOMPARE(showChooser(false, "GAMMA"), 0);
        QCOMPARE(showChooser(false, "gamma"), 2);
        queue(boxes, {No, Yes});
        click(button("cmdDelete"));
        click(button("cmdDelete"));
        QCOMPARE(boxLines(boxes).value(1),
                 boxLine("Delete gamma?", "Delete gamma?\r\nAre you sure?", Exclamation, Yes | No));
        QCOMPARE(names(), (QStringList{"Alpha", "beta", "Same", "Same"}));
        QCOMPARE(txtName()->text(), "Alpha");

        showChooser(true, "beta");
        QSignalSpy saved(frmOpenSave::loaded(), &frmOpenSave::saveChosen);
        QCOMPARE(frmOpenSave::loaded()->windowTitle() + button("cmdOpen")->text(), "Save&Save");
        QTRY_COMPARE(txtName()->selectedText(), "beta");
        txtName()->clear();
        QTest::keyClick(txtName(), Qt::Key_Return); // no name, nothing to save
        QTest::keyClicks(txtName(), QString(60, QChar('x')));
        QTest::keyClick(txtName(), Qt::Key_Return);
        QCOMPARE(QList<QVariantList>(saved), QList<QVariantList>{{QString(50, QChar('x'))}});
        QTest::keyClick(txtName(), Qt::Key_Escape); // closes, and the pointer is no longer busy
        QVERIFY(!frmOpenSave::loaded());
    }

    void faultsLoseNothing_data() {
        QTest::addColumn<QString>("fault");
        for (const char* fault : {"missing", "unreadable", "read-only", "garbage"})
            QTest::newRow(fault) << QString(fault);
    }
    // A broken database file: lookups come back empty without a word, the guarded
    // procedures ask, and neither the file nor its folder changes.
    void faultsLoseNothing() {
        QFETCH(QString, fault);
        ProgramFolder folder;
        ScriptedMessages boxes;
        modCofra::StoreEntry(0, "Kept", "h", "7370A");
        // Unreadable is a folder in the file's place, read-only a file format write
        // version above 2, which the engine only reads: permissions would not stop root.
        const bool readable = fault == "read-only";
        QFile file(folder.databasePath());
        QVERIFY(readable ? file.open(QFile::ReadWrite) && file.seek(18) && file.putChar(3) : file.remove());
        QVERIFY(fault != "unreadable" || QDir().mkdir(file.fileName()));
        QVERIFY(fault != "garbage" || (file.open(QFile::WriteOnly) && file.write(QByteArray(9999, 'G')) > 0));
        file.close();
        const QByteArray before = snapshot();

        QCOMPARE(modCofra::FindEntryID("Kept"), readable ? 1 : 0);
        showChooser(false);
        QCOMPARE(names(), readable ? QStringList{"Kept"} : QStringList());
        QCOMPARE(boxes.shown().size(), 0);

        queue(boxes, {Abort});
        const QStringList loaded = load(1);
        QCOMPARE(boxLines(boxes), readable ? QStringList() : QStringList{errorBox(loaded[0])});
        QCOMPARE(loaded.mid(1), (readable ? QStringList{"Kept", "h", "7370A"} : QStringList(3, "old")));

        queue(boxes, {Retry, Abort});
        const QString stored = modCofra::StoreEntry(0, "New", "h", "7370B");
        QCOMPARE(boxLines(boxes), QStringList(2, errorBox(stored)));

        queue(boxes, {Ignore, Ignore, Ignore});
        modCofra::DeleteRecord("tblCofra", "lngID", 1);
        QCOMPARE(boxes.shown().size(), readable ? 1 : 2); // Ignore goes on to the next step
        QCOMPARE(snapshot(), before);
    }

    // New's "Save Changes?" Yes saves first and goes on once the chooser has closed.
    void saveFromNewThenOpenWithItsKey() {
        AppFixture app;
        app.typeText("Dear diary, 100% secret");
        const QString plain = app.window->editor()->Text();
        app.messages.queue(Yes);
        QTimer::singleShot(100, this, [this] {
            QTest::keyClicks(txtName(), "Diary");
            answerKey("k3y", "my hint");
            click(button("cmdOpen"));
        });
        click(app.toolButton(3));
        const QString stored = rows().value(0).section('|', 3);
        QCOMPARE(rows(), QStringList{"1|Diary|my hint|" + stored});
        QCOMPARE(modCofra::RC4Transform(stored, "k3y"), "k3y" + plain);
        QCOMPARE(app.window->editor()->Text() + app.window->windowTitle(), "Qor Cofra");

        click(app.toolButton(1));
        answerKey("k3y");
        click(button("cmdOpen"));
        QCOMPARE(app.window->editor()->Text(), plain);
        QCOMPARE(app.window->windowTitle() + "|" + app.window->documentState().strEntryHint,
                 "Qor Cofra - Diary|my hint");
        QCOMPARE(app.messages.shown().size(), 1);
    }

    void replaceAnExistingEntry() {
        AppFixture app;
        modCofra::StoreEntry(0, "One", "h1", "7371111");
        modCofra::StoreEntry(0, "Two", "h2", "7372222");
        app.typeText("new words");
        app.messages.queue(No);
        saveAs(app, "one");
        const QString question =
            "There is already an Entry with that name.\r\n\r\nWould you like to Replace the entry?";
        QCOMPARE(boxLines(app.messages),
                 QStringList{boxLine("Replace Entry?", question, Question, Yes | No)});
        QVERIFY(frmOpenSave::loaded() && frmOpenSave::loaded()->isVisible());
        QCOMPARE(rows(), (QStringList{"1|One|h1|7371111", "2|Two|h2|7372222"}));

        app.messages.queue(Yes);
        answerKey("k", "h");
        click(button("cmdOpen"));
        QCOMPARE(rows(), (QStringList{"1|one|h|" + app.window->editor()->Text(), "2|Two|h2|7372222"}));
        QCOMPARE(app.window->windowTitle(), "Qor Cofra - one");
        QVERIFY(!frmOpenSave::loaded());
    }

    // Whatever goes wrong, the user's text survives and nothing false is stored.
    void flowFailuresKeepTheText() {
        AppFixture app;
        modCofra::StoreEntry(0, "Gone", "h", "7370A");
        app.typeText("keep me");
        click(app.toolButton(1));
        sql("DELETE FROM tblCofra");
        app.messages.queue(Abort);
        answerKey(QString()); // the toggle that ends an open offers to encrypt the plain text
        click(button("cmdOpen"));
        QCOMPARE(app.messages.shown().value(0).title, "An Error Occured!");
        QCOMPARE(app.window->editor()->Text() + app.window->windowTitle(), "keep meQor Cofra");
        QVERIFY(!frmOpenSave::loaded());

        // Outside the code page: the ciphertext would not give this text back.
        QGuiApplication::clipboard()->setText("5\u20ac in \u65e5\u672c");
        QTest::keyClick(app.window->editor(), Qt::Key_V, Qt::ControlModifier);
        const QString plain = app.window->editor()->Text();
        answerKey("k", "h");
        saveAs(app, "Abroad");
        QCOMPARE(boxLines(app.messages).mid(1),
                 QStringList{boxLine("Aw Shucks!", "An Error occured while Encrypting", None, Ok)});
        QCOMPARE(app.window->editor()->Text() + app.window->windowTitle(), plain + "Qor Cofra");
        QCOMPARE(rows(), QStringList());

        QTest::keyClick(app.window->editor(), Qt::Key_A, Qt::ControlModifier);
        app.typeText("keep me");
        QVERIFY(QFile::remove(app.folder.databasePath()));
        app.messages.queue(Abort);
        answerKey("k", "h");
        saveAs(app, "Lost");
        QVERIFY(app.messages.shown().value(2).text.startsWith("Error: 14 - "));
        QCOMPARE(modCofra::RC4Transform(app.window->editor()->Text(), "k"), "kkeep me");
        QVERIFY(!QFile::exists(app.folder.databasePath()));
    }
};

QTEST_MAIN(tst_EntryStore)
#include "tst_entrystore.moc"
