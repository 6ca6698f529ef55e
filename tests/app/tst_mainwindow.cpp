// The main window driven as a user drives it: commands, questions, caption,
// layout and closing.
#include "tests/app/AppFixture.h"
#include "tests/flows/Driving.h"

#include "platform/AppPath.h"
#include "platform/ProcessGuard.h"
#include "platform/Screen.h"
#include "platform/Shell.h"

#include <QTimer>
#include <sys/prctl.h>
#include <sys/resource.h>

using platform::MsgIcon;
using platform::Screen;
using B = QMessageBox;

class TestMainWindow : public QObject, Driving {
    Q_OBJECT
private slots:
    void newAndExitAskSaveChanges_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        for (const char* command : {"mnuFile_0", "cmdToolBar_3", "mnuFile_8"})
            for (const char* answer : {"Cancel", "No", "Yes, chooser closed", "Yes, stored"})
                QTest::addRow("%s, %s", command, answer) << QString(command) << QString(answer);
    }
    // New (the menu item or the button) and Exit ask "Save Changes?" about a text,
    // and go on after No, or after Yes once the chooser has stored the entry; Exit
    // then asks "Quit?". What a save that does not store leaves is for tst_entryflows.
    void newAndExitAskSaveChanges() {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        AppFixture app;
        const bool exit = command == "mnuFile_8", stored = answer == "Yes, stored",
                   goesOn = answer == "No" || stored;
        app.window->setWindowTitle("Qor Cofra - Old");
        app.action("mnuFile_0")->trigger();
        // An empty editor is nothing to save.
        QVERIFY(app.messages.shown().isEmpty() && app.window->windowTitle() == "Qor Cofra");

        app.typeText("737AB"); // of a ciphertext's shape: stored as it is, when asked
        const auto first = answer == "Cancel" ? B::Cancel : answer == "No" ? B::No : B::Yes;
        for (const auto button : {first, B::Yes, B::Yes}) // then Already Encrypted? and Quit?
            app.messages.queue(button);
        if (answer.startsWith("Yes"))
            QTimer::singleShot(100, this,
                               [&] { stored ? saveUnder("Fresh") : click(chooser(), "cmdClose"); });
        command.startsWith("cmd") ? app.toolButton(3)->click() : app.action(command)->trigger();
        QCOMPARE(app.window->isVisible(), !(exit && goesOn));
        QCOMPARE(app.setting("Top").isEmpty(), !(exit && goesOn)); // written at the close
        QCOMPARE(app.window->editor()->Text().isEmpty(), goesOn && !exit);
        const platform::MessageBoxSpec box = app.messages.shown().value(0);
        QCOMPARE(box.title + '|' + box.text,
                 "Save Changes?|Would you like to              \r\n\r\nSave Changes?");
        QVERIFY(box.icon == MsgIcon::Question && box.buttons == (B::Yes | B::No | B::Cancel) &&
                app.messages.unexpected() == 0);
    }

    // Text Summary counts the characters. Closing asks only "Quit?", whatever the text, and
    // the settings are written before the question.
    void summaryAndClose() {
        AppFixture app;
        for (const QString& text : {QString(), QString(1233, 'x') + '\n'}) {
            app.window->editor()->setText(text);
            app.action("mnuFile_4")->trigger();
        }
        const QList<platform::MessageBoxSpec>& shown = app.messages.shown();
        QVERIFY(shown.value(0).title == "Text Summary" && shown[0].icon == MsgIcon::Information);
        QCOMPARE(shown[0].text, " # of Characters = "); // no digits for 0
        QCOMPARE(shown.value(1).text, " # of Characters = 1" + QLocale().groupSeparator() + "234");
        app.typeText("unsaved");
        app.messages.queue(B::No);
        QVERIFY(!app.window->close() && app.window->isVisible());
        const platform::MessageBoxSpec quit = shown.value(2);
        QCOMPARE(quit.title + '|' + quit.text, "QorCofra|Quit?");
        QVERIFY(quit.icon == MsgIcon::None && quit.buttons == (B::Yes | B::No));
        QCOMPARE(app.setting("FontSize"), "10");
        app.messages.queue(B::Yes);
        QVERIFY(app.window->close() && !app.window->isVisible() && shown.size() == 4); // no other box
    }

    // The Strong encryption preference is read at the start and written at the close.
    void strongPreferenceIsKept() {
        for (const QString value : {"True", "False"}) {
            AppFixture app(ProgramFolder::WithDatabase, false);
            app.setSetting("StrongEncryption", value);
            app.window->Form_Load();
            QCOMPARE(app.window->documentState().ynStrongEncryption, value == "True");
            app.setSetting("StrongEncryption", QString());
            app.window->SaveWinSettings();
            QCOMPARE(app.setting("StrongEncryption"), value);
        }
    }

    // The toolbar shows its pictures and Find Next has F3. The items not offered are hidden and
    // disabled; they, the separators and indexes outside the arrays do nothing.
    void itemsNotOfferedDoNothing() {
        AppFixture app;
        for (int i = 0; i < 4; ++i)
            QVERIFY(!app.toolButton(i)->icon().isNull());
        for (const char* hidden : {"mnuFile_6", "mnuFile_7", "mnuEdit_5"})
            QVERIFY2(!app.action(hidden)->isVisible() && !app.action(hidden)->isEnabled(), hidden);
        QCOMPARE(app.action("mnuEdit_4")->shortcut(), QKeySequence(Qt::Key_F3));
        app.typeText("text");
        for (int index : {-1, 4, 32767})
            app.window->cmdToolBar_Click(index);
        for (int index : {-1, 3, 5, 6, 7, 9})
            app.window->mnuFile_Click(index);
        for (int index : {0, 2, 5, 6})
            app.window->mnuEdit_Click(index);
        for (int index : {0, 3})
            app.window->MnuFormat_Click(index);
        QVERIFY(app.messages.shown().isEmpty());
        QCOMPARE(app.window->editor()->Text(), "text");
    }

    void editorFollowsTheWindowSize() {
        AppFixture app;
        EntryEditor* editor = app.window->editor();
        QWidget* client = app.window->centralWidget();
        app.window->resize(600, 450);
        QTRY_COMPARE(editor->width(), client->width() - Screen::toPixelsX(25));
        const int height = editor->height();
        QCOMPARE(height, client->height() - Screen::toPixelsY(720 + 25));
        // Below the margins the height stays while the width still follows.
        app.window->resize(400, app.window->height() - client->height() + 40);
        QTRY_COMPARE(client->width(), 400);
        QCOMPARE(QSize(editor->size()), QSize(400 - Screen::toPixelsX(25), height));
    }

    // Without its page in the program folder Help Contents opens nothing and says nothing; an empty
    // target is the program's home page.
    void helpContentsOpensThePageOrNothing() {
        for (const auto content : {ProgramFolder::Empty, ProgramFolder::WithHelp}) {
            AppFixture app(content);
            app.action("MnuHelpFile")->trigger();
            QString empty;
            QVERIFY(modCofra::OpenWithShell(empty) > 32 && app.messages.shown().isEmpty());
            const QUrl page = QUrl::fromLocalFile(app.folder.file("QorCofra.html")),
                       site("https://qorcofra.example.org/");
            QCOMPARE(app.opened, (content == ProgramFolder::Empty ? QList{site} : QList{page, site}));
        }
        QCOMPARE(platform::withOneTrailingSeparator("/opt/q//"), "/opt/q/");
        QCOMPARE(platform::withOneTrailingSeparator("/"), "/");
    }

    // What the program does first: no core file, and no reading of its memory by others.
    void memoryIsKeptPrivate() {
        QCOMPARE(platform::ProcessGuard::keepMemoryPrivate(), QString());
        rlimit core{};
        QVERIFY(getrlimit(RLIMIT_CORE, &core) == 0 && core.rlim_cur == 0 && core.rlim_max == 0);
        QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
