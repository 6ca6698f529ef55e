// The open and save flows driven as a user drives them: what a save stores,
// what it leaves when it does not, and another copy's changes meanwhile.
#include "tests/flows/FlowsFixture.h"

#include <QtTest>

class tst_EntryFlows : public QObject, Driving {
    Q_OBJECT
private slots:
    void saveThatDoesNotStoreLeavesAll_data() {
        QTest::addColumn<QString>("way");
        for (const char* way : {"stored", "chooser closed", "key cancelled", "replace no",
                                "character refused", "lookup failed", "store failed"})
            QTest::newRow(way) << QString(way);
    }
    // A save through the chooser, as "Save Changes?" Yes starts one, says whether
    // it stored; one that did not leaves the text, caption and open entry as they were.
    void saveThatDoesNotStoreLeavesAll() {
        QFETCH(QString, way);
        Flows w;
        const QString taken = legacyEntry("k", "old text"), fresh = legacyEntry("k2", "old text more");
        modCofra::StoreEntry(0, "Taken", "h", taken);
        w.open("Taken", "k");
        w.typeAtEnd(way == "character refused" ? " \u2192" : " more");
        const QString before = w.state();
        QFile file(w.folder.databasePath()); // read-only: a write version the engine does not write
        QVERIFY(way != "store failed" || (file.open(QFile::ReadWrite) && file.seek(18) && file.putChar(3)));
        file.close();
        const bool stopsInChooser = way == "replace no" || way == "lookup failed", stored = way == "stored";
        QTimer::singleShot(100, this, [&] {
            { // Another program holds the file past the timeout while the name is looked up.
                QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
                locker.setDatabaseName(file.fileName());
                QVERIFY(way != "lookup failed" ||
                        (locker.open() && QSqlQuery(locker).exec("BEGIN EXCLUSIVE")));
                if (way != "chooser closed") {
                    w.messages.queue(way == "replace no" ? No : way == "character refused" ? Ok : Abort);
                    if (!stopsInChooser)
                        w.onKeyDialog(way == "key cancelled" ? Act() : w.answer("k2", "h2"));
                    saveUnder(stopsInChooser ? "taken" : "Fresh");
                    QCOMPARE(chooser() != nullptr, stopsInChooser);
                }
            }
            QSqlDatabase::removeDatabase("locker");
            if (chooser())
                click(chooser(), "cmdClose");
        });
        QCOMPARE(w.flows.saveThroughChooser(), stored);
        QCOMPARE(w.state(), stored ? fresh + "|Qor Cofra - Fresh|2|Fresh" : before);
        // The key dialog proposes the open entry's hint, and "h2" is typed after it.
        QCOMPARE(Flows::rows(), QStringList{"1|Taken|h|" + taken} +
                                    (stored ? QStringList{"2|Fresh|hh2|" + fresh} : QStringList()));
    }

    // A text of a ciphertext's shape is stored without a key only when the
    // program put it there and it was not edited since; any other is asked
    // about: No (the default) encrypts it, Yes keeps it, Cancel stores nothing.
    // An open or a save meets its own row, also for an id beyond 32 bits and a
    // name that differs only in the case of a non-ASCII letter.
    void ciphertextShapedTexts() {
        Flows w;
        for (const QString note : {"7375551234", "737ABC", "7370"}) {
            for (const auto button : {Cancel, No}) {
                w.editor->setText(note);
                QCOMPARE(w.save(note, {button}, button == No ? w.answer("k") : Act()),
                         QStringList{"Already Encrypted?"});
            }
            QCOMPARE(w.messages.shown()[0].defaultButton, No);
            // Cancel stored nothing, or No would have met a Replace Entry?.
            QCOMPARE(modCofra::RC4Transform(Flows::rows().last().section('|', 3), "k"), "k" + note);
        }
        w.editor->setText("737F00D");
        w.save("As typed", {Yes});
        QCOMPARE(Flows::rows().last().section('|', 1), "As typed|h|737F00D");
        sql("UPDATE tblCofra SET lngID = 4294967297, strName = '\u00c4PFEL' WHERE strName = '7370'");
        w.open("\u00c4PFEL", "");
        QCOMPARE(w.state().section('|', 1), "Qor Cofra - \u00c4PFEL|4294967297|\u00c4PFEL");
        QCOMPARE(w.save("\u00e4pfel", {Yes}), QStringList{"Replace Entry?"});
        QCOMPARE(Flows::rows().last(), "4294967297|\u00e4pfel|h|" + w.editor->Text());
        w.typeAtEnd("0");
        QCOMPARE(w.save("\u00e4pfel", {Yes, Cancel}), (QStringList{"Replace Entry?", "Already Encrypted?"}));
        w.open("7375551234", "k");
        QCOMPARE(w.state(), "7375551234|Qor Cofra - 7375551234|1|7375551234");
    }

    void anotherCopyMeanwhile_data() {
        QTest::addColumn<QString>("step");
        for (const char* step : {"list then open", "list then delete", "lookup then replace",
                                 "lookup then store, replace yes", "lookup then store, replace no"}) {
            QTest::addRow("%s, shipped table", step) << QString(step);
            QTest::addRow("%s, table without AUTOINCREMENT", step) << QString(step);
        }
    }
    // Another copy of the program, here the test's own connection, changes the
    // file between what this copy saw and what it does: deletes the entry and
    // saves a new one (which, on a table without AUTOINCREMENT, gets the
    // deleted id), or saves the very name being saved. Every write lands on
    // the row it was meant for or nowhere, and the user is told.
    void anotherCopyMeanwhile() {
        QFETCH(QString, step);
        const bool reusesIds = QByteArray(QTest::currentDataTag()).endsWith("AUTOINCREMENT");
        Flows w;
        QVERIFY(!reusesIds || (sql("DROP TABLE tblCofra").isEmpty() &&
                               sql("CREATE TABLE tblCofra (lngID INTEGER PRIMARY KEY, strName TEXT, "
                                   "strPassHint TEXT, strEntry TEXT)")
                                   .isEmpty()));
        const QString theirs = legacyEntry("b", "their text");
        const auto saveAsOther = [&](const QString& name) {
            sql(QString("INSERT INTO tblCofra (strName, strPassHint, strEntry) VALUES ('%1', 'hb', '%2')")
                    .arg(name, theirs));
        };
        saveAsOther("Alpha");
        saveAsOther("X");
        const bool open = step == "list then open", appears = step.startsWith("lookup then store"),
                   replaced = step.endsWith("replace yes");
        w.typeAtEnd("mine");
        // The names in the file at the end: the other copy deletes X (unless
        // the name being saved appears) and saves the last of them.
        const QStringList after = appears ? QStringList{"Alpha", "X", "Dup"} : QStringList{"Alpha", "Yankee"};
        const auto otherCopy = [&] {
            if (!appears)
                sql("DELETE FROM tblCofra WHERE strName = 'X'");
            saveAsOther(after.last());
        };
        if (step.startsWith("list")) {
            w.flows.ShowOpenDialog();
            select("X");
            otherCopy();
            for (const auto button : open ? QList{Ok} : QList{Yes, Ok}) // Delete X?, Entry Changed
                w.messages.queue(button);
            w.onKeyDialog(w.answer("b"));
            click(chooser(), open ? "cmdOpen" : "cmdDelete");
            QCOMPARE(w.titles().last() + ": " + w.messages.shown().last().text.section("\r\n", 2),
                     QString("Entry Changed: Nothing was %1. The list now shows the entries as they are.")
                         .arg(open ? "opened" : "deleted"));
        } else {
            // The other copy acts while this copy's key dialog is up. Replace
            // Entry?, for X or for the Dup that appeared; then Entry Changed.
            const QStringList shown = w.save(
                appears ? "Dup" : "X", appears ? QList{step.endsWith("no") ? No : Yes} : QList{Yes, Ok},
                [&](QWidget* dialog) { otherCopy(), w.answer("a", "ha")(dialog); });
            QCOMPARE(shown, appears ? QStringList{"Replace Entry?"}
                                    : (QStringList{"Replace Entry?", "Entry Changed"}));
        }
        const QString mine = legacyEntry("a", "mine");
        QCOMPARE(w.state(), replaced ? mine + "|Qor Cofra - Dup|3|Dup" : "mine|Qor Cofra|0|");
        QCOMPARE(w.messages.unexpected() + w.messages.pending(), 0);
        // One row per name; the other copy's rows as it left them, except a replace the user chose.
        QStringList rows;
        for (const QString& name : after)
            rows << name + '|' + (replaced && name == "Dup" ? mine : theirs);
        QCOMPARE(sql("SELECT strName, strEntry FROM tblCofra ORDER BY lngID"), rows);
        // Where the user was told, the chooser is up, listing the entries as they now are.
        QVERIFY(appears || (chooser() && chooser()->isVisible() && listed() == after));
    }

    // Strong encryption is the user's choice: its box starts unticked, then as
    // the user left it. A text from a strong entry is not quietly stored in
    // the legacy form; a strong ciphertext the program put there is stored as it is.
    void strongEntries() {
        Flows w;
        const QString text = "Gr\u00fc\u00dfe, \u4e16\u754c \U0001F30D", key = "\u043a\u043b\u044e\u0447";
        crypto::StrongForm::setNewEntryParameters(crypto::StrongForm::Defaults);
        w.typeAtEnd(text);
        w.save("Strong", {}, w.answer(key, "h", true));
        crypto::StrongForm::setNewEntryParameters({1, 8});
        QVERIFY(!w.strongShown && w.doc.ynStrongEncryption);
        // Every entry keeps the cost of its key, 3 passes over 256 MiB unless changed: the
        // header's version, derivation, cipher, flags, passes and memory are "AQEBAAMAAAAAAAQA".
        QVERIFY(Flows::rows()[0].section('|', 3).startsWith("737~AQEBAAMAAAAAAAQA"));
        // A new text, as after New, finds the box as the user left it.
        w.editor->setText("plain note");
        w.encryption.rememberCiphertext({});
        w.save("Plain", {}, w.answer("k"));
        QVERIFY(w.strongShown && !w.doc.ynStrongEncryption);
        QCOMPARE(modCofra::RC4Transform(Flows::rows()[1].section('|', 3), "k"), "kplain note");
        // Opened from a strong entry: ticked whatever the preference, which stays as it was.
        w.open("Strong", key);
        QCOMPARE(w.editor->Text(), text);
        w.typeAtEnd("!");
        w.save("Strong", {Yes}, w.answer(key, "h", true));
        QVERIFY(w.strongShown && !w.doc.ynStrongEncryption);
        const QString stored = Flows::rows()[0].section('|', 3);
        QCOMPARE(crypto::StrongForm::decrypt(stored, key).text, text + "!");
        // Stored again unedited: no key, no question, the same characters.
        QCOMPARE(w.save("Copy"), QStringList());
        QCOMPARE(Flows::rows()[2].section('|', 3), stored);
    }
};

QTEST_MAIN(tst_EntryFlows)
#include "tst_entryflows.moc"
