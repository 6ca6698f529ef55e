// The main window driven as a user drives it: commands, questions, caption,
// layout and closing.
#include "tests/app/AppFixture.h"

#include "dialogs/frmOpenSave.h"
#include "editor/EntryEditor.h"
#include "platform/AppPath.h"
#include "platform/ProcessGuard.h"
#include "platform/Screen.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sys/prctl.h>
#include <sys/resource.h>

using platform::MsgIcon;
using platform::Screen;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void toolbarAndHiddenMenuItems();
    void newAndExitAskSaveChanges_data();
    void newAndExitAskSaveChanges();
    void summaryCountsCharacters();
    void closeAsksOnlyQuit();
    void strongPreferenceIsKept();
    void indexesOutsideTheArraysDoNothing();
    void editorFollowsTheWindowSize();
    void helpContentsOpensThePageOrNothing();
    void memoryIsKeptPrivate();
};

void TestMainWindow::toolbarAndHiddenMenuItems() {
    AppFixture app;
    for (int i = 0; i < 4; ++i)
        QVERIFY(!app.toolButton(i)->icon().isNull());
    for (const char* hidden : {"mnuFile_6", "mnuFile_7", "mnuEdit_5"})
        QVERIFY2(!app.action(QString::fromLatin1(hidden))->isVisible() &&
                     !app.action(QString::fromLatin1(hidden))->isEnabled(),
                 hidden);
    QCOMPARE(app.action(QStringLiteral("mnuEdit_4"))->shortcut(), QKeySequence(Qt::Key_F3));

    // The menu bar's overflow button shows arrows drawn on a clear background.
    const auto* overflow = app.window->menuBar()->findChild<QToolButton*>();
    QVERIFY(overflow);
    const QImage arrows = overflow->icon().pixmap(16, 16).toImage();
    QCOMPARE(qAlpha(arrows.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(arrows.pixel(15, 15)), 0);
    QVERIFY(qAlpha(arrows.pixel(5, 5)) > 0); // on the first chevron's upper stroke
}

void TestMainWindow::newAndExitAskSaveChanges_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer");
    for (const char* command : {"mnuFile_0", "cmdToolBar_3", "mnuFile_8"})
        for (const char* answer : {"Cancel", "No", "Yes, chooser closed", "Yes, stored"})
            QTest::addRow("%s, %s", command, answer)
                << QString::fromLatin1(command) << QString::fromLatin1(answer);
}

// New (the menu item or the button) and Exit ask "Save Changes?" about a text,
// and go on after No, or after Yes once the chooser has stored the entry; Exit
// then asks "Quit?". What a save that does not store leaves is for tst_entryflows.
void TestMainWindow::newAndExitAskSaveChanges() {
    QFETCH(QString, command);
    QFETCH(QString, answer);
    using B = QMessageBox;
    AppFixture app;
    const bool exit = command == QLatin1String("mnuFile_8");
    const bool goesOn = answer == QLatin1String("No") || answer == QLatin1String("Yes, stored");
    app.window->setWindowTitle(QStringLiteral("Qor Cofra - Old"));
    app.action(QStringLiteral("mnuFile_0"))->trigger();
    // An empty editor is nothing to save.
    QVERIFY(app.messages.shown().isEmpty() && app.window->windowTitle() == QLatin1String("Qor Cofra"));

    app.window->setWindowTitle(QStringLiteral("Qor Cofra - Old"));
    app.typeText(QStringLiteral("737AB")); // of a ciphertext's shape: stored as it is, when asked
    for (const auto button : {answer == QLatin1String("Cancel") ? B::Cancel
                              : answer == QLatin1String("No")   ? B::No
                                                                : B::Yes,
                              B::Yes, B::Yes}) // then Already Encrypted? and Quit?
        app.messages.queue(button);
    if (answer.startsWith(QLatin1String("Yes")))
        QTimer::singleShot(100, this, [&] {
            frmOpenSave* chooser = frmOpenSave::loaded();
            QTest::keyClicks(chooser->findChild<QLineEdit*>(QStringLiteral("txtName")),
                             QStringLiteral("Fresh"));
            QTest::mouseClick(chooser->findChild<QPushButton*>(goesOn ? "cmdOpen" : "cmdClose"),
                              Qt::LeftButton);
        });
    if (command.startsWith(QLatin1String("cmd")))
        app.toolButton(3)->click();
    else
        app.action(command)->trigger();
    QCOMPARE(app.window->isVisible(), !(exit && goesOn));
    QCOMPARE(app.setting(QStringLiteral("Top")).isEmpty(), !(exit && goesOn)); // written at the close
    QCOMPARE(app.window->editor()->Text().isEmpty(), goesOn && !exit);
    const platform::MessageBoxSpec box = app.messages.shown().value(0);
    QCOMPARE(box.title + QLatin1Char('|') + box.text,
             QStringLiteral("Save Changes?|Would you like to              \r\n\r\nSave Changes?"));
    QVERIFY(box.icon == MsgIcon::Question && box.buttons == (B::Yes | B::No | B::Cancel));
    QCOMPARE(app.messages.unexpected(), 0);
}

void TestMainWindow::summaryCountsCharacters() {
    AppFixture app;
    app.action(QStringLiteral("mnuFile_4"))->trigger();
    app.window->editor()->setText(QString(1233, QLatin1Char('x')) + QLatin1Char('\n'));
    app.action(QStringLiteral("mnuFile_4"))->trigger();
    QCOMPARE(app.messages.shown().size(), 2);
    QCOMPARE(app.messages.shown()[0].title, QStringLiteral("Text Summary"));
    QCOMPARE(app.messages.shown()[0].icon, MsgIcon::Information);
    QCOMPARE(app.messages.shown()[0].text, QStringLiteral(" # of Characters = ")); // no digits for 0
    QCOMPARE(app.messages.shown()[1].text,
             QStringLiteral(" # of Characters = 1") + QLocale().groupSeparator() + QStringLiteral("234"));
}

void TestMainWindow::closeAsksOnlyQuit() {
    AppFixture app;
    app.typeText(QStringLiteral("unsaved"));
    app.messages.queue(QMessageBox::No);
    QVERIFY(!app.window->close());
    const platform::MessageBoxSpec quit = app.messages.shown().value(0);
    QCOMPARE(quit.title + QLatin1Char('|') + quit.text, QStringLiteral("QorCofra|Quit?"));
    QVERIFY(quit.icon == MsgIcon::None && quit.buttons == (QMessageBox::Yes | QMessageBox::No));
    QVERIFY(app.window->isVisible());
    QCOMPARE(app.setting(QStringLiteral("FontSize")), QStringLiteral("10")); // written before the question

    app.messages.queue(QMessageBox::Yes);
    QVERIFY(app.window->close());
    QCOMPARE(app.messages.shown().size(), 2);
    QVERIFY(!app.window->isVisible());
}

// The Strong encryption preference is read at the start and written at the close.
void TestMainWindow::strongPreferenceIsKept() {
    for (const char* value : {"True", "False"}) {
        AppFixture app(ProgramFolder::WithDatabase, false);
        app.setSetting(QStringLiteral("StrongEncryption"), QString::fromLatin1(value));
        app.window->Form_Load();
        QCOMPARE(app.window->documentState().ynStrongEncryption, value == QLatin1String("True"));
        app.setSetting(QStringLiteral("StrongEncryption"), QString());
        app.window->SaveWinSettings();
        QCOMPARE(app.setting(QStringLiteral("StrongEncryption")), QString::fromLatin1(value));
    }
}

void TestMainWindow::indexesOutsideTheArraysDoNothing() {
    AppFixture app;
    app.typeText(QStringLiteral("text"));
    for (int index : {-1, 4, 32767})
        app.window->cmdToolBar_Click(index);
    for (int index : {-1, 3, 5, 6, 7, 9}) // separators and the items not offered too
        app.window->mnuFile_Click(index);
    for (int index : {0, 2, 5, 6})
        app.window->mnuEdit_Click(index);
    for (int index : {0, 3})
        app.window->MnuFormat_Click(index);
    QCOMPARE(app.messages.shown().size(), 0);
    QCOMPARE(app.window->editor()->Text(), QStringLiteral("text"));
}

void TestMainWindow::editorFollowsTheWindowSize() {
    AppFixture app;
    EntryEditor* editor = app.window->editor();
    QWidget* client = app.window->centralWidget();
    app.window->resize(600, 450);
    QTRY_COMPARE(editor->width(), client->width() - Screen::toPixelsX(25));
    QCOMPARE(editor->height(), client->height() - Screen::toPixelsY(720 + 25));

    // Below the margins the height stays while the width still follows.
    const int heightBefore = editor->height();
    app.window->resize(400, app.window->height() - client->height() + 40);
    QTRY_COMPARE(client->width(), 400);
    QCOMPARE(editor->height(), heightBefore);
    QCOMPARE(editor->width(), 400 - Screen::toPixelsX(25));
}

void TestMainWindow::helpContentsOpensThePageOrNothing() {
    {
        AppFixture app(ProgramFolder::Empty);
        app.action(QStringLiteral("MnuHelpFile"))->trigger();
        QVERIFY(app.opened.isEmpty());
        QCOMPARE(app.messages.shown().size(), 0);
    }
    AppFixture app(ProgramFolder::WithHelp);
    app.action(QStringLiteral("MnuHelpFile"))->trigger();
    QCOMPARE(app.opened, QList<QUrl>{QUrl::fromLocalFile(app.folder.file(QStringLiteral("QorCofra.html")))});
    QString empty;
    QVERIFY(modCofra::OpenWithShell(empty) > 32);
    QCOMPARE(app.opened.last(), QUrl(QStringLiteral("https://qorcofra.example.org/")));
    QCOMPARE(platform::withOneTrailingSeparator(QStringLiteral("/opt/q//")), QStringLiteral("/opt/q/"));
    QCOMPARE(platform::withOneTrailingSeparator(QStringLiteral("/")), QStringLiteral("/"));
}

// What the program does first: no core file, and no reading of its memory by others.
void TestMainWindow::memoryIsKeptPrivate() {
    QCOMPARE(platform::ProcessGuard::keepMemoryPrivate(), QString());
    rlimit core{};
    QVERIFY(getrlimit(RLIMIT_CORE, &core) == 0 && core.rlim_cur == 0 && core.rlim_max == 0);
    QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
