// The main window driven as a user drives it: commands, questions, caption,
// layout and closing.
#include "tests/app/AppFixture.h"

#include "app/editor/EntryEditor.h"
#include "platform/AppPath.h"
#include "platform/Screen.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using platform::MsgIcon;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startsWithNoEntryOpen();
    void layoutFollowsTheDesign();
    void menusOfferTheirItems();
    void newWithEmptyEditorAsksNothing();
    void newWithTextAnsweredCancelOrNo();
    void summaryCountsCharacters();
    void exitCancelledKeepsWindowAndSettings();
    void quitAnsweredNoThenYes();
    void toolbarIndexOutsideRangeDoesNothing();
    void editorFollowsTheWindowSize();
    void helpContentsOpensThePageOrNothing();
    void programFolderEndsInOneSeparator();
};

void TestMainWindow::startsWithNoEntryOpen() {
    AppFixture app;
    QCOMPARE(app.window->windowTitle(), QStringLiteral("Qor Cofra"));
    const DocumentState& doc = app.window->documentState();
    QCOMPARE(doc.lngEntryID, 0);
    QVERIFY(doc.strEntryName.isEmpty() && doc.strEntryHint.isEmpty() && doc.strEntryText.isEmpty());
    QVERIFY(app.window->editor()->Text().isEmpty());
    QCOMPARE(app.messages.shown().size(), 0);
}

void TestMainWindow::layoutFollowsTheDesign() {
    AppFixture app;
    using platform::Screen;
    // Twips at 96 DPI: 15 to the pixel.
    const struct {
        int index;
        int left;
        const char* tooltip;
    } buttons[] = {{3, 0, "New Entry"},
                   {1, 720, "Open Entry"},
                   {2, 1440, "Save Entry"},
                   {0, 2400, "Toggle Entry Encryption State"}};
    for (const auto& b : buttons) {
        QAbstractButton* button = app.toolButton(b.index);
        QVERIFY(button);
        QCOMPARE(button->geometry(), Screen::rectFromTwips(b.left, 0, 735, 615));
        QCOMPARE(button->toolTip(), QString::fromLatin1(b.tooltip));
        QVERIFY(!button->icon().isNull());
    }
    auto* list = app.window->findChild<QListWidget*>(QStringLiteral("lstFont"));
    QCOMPARE(list->geometry(), Screen::rectFromTwips(3240, 0, 2775, 645));
    QCOMPARE(list->toolTip(), QStringLiteral("Change Font"));
    EntryEditor* editor = app.window->editor();
    QCOMPARE(editor->pos(), QPoint(0, 48));
}

void TestMainWindow::menusOfferTheirItems() {
    AppFixture app;
    const struct {
        const char* name;
        const char* caption;
        const char* shortcut;
    } items[] = {
        {"mnuFile_0", "&New", "Ctrl+N"},
        {"mnuFile_1", "&Open", "Ctrl+O"},
        {"mnuFile_2", "&Save As...", "Ctrl+S"},
        {"mnuFile_4", "S&ummary...", "Ctrl+I"},
        {"mnuFile_8", "E&xit", ""},
        {"mnuEdit_1", "Select &All", ""},
        {"mnuEdit_3", "&Find", "Ctrl+F"},
        {"mnuEdit_4", "Find &Next", "F3"},
        {"MnuFormat_1", "Next F&ont", "F9"},
        {"MnuFormat_2", "Hide Text", "F4"},
        {"MnuHelpFile", "&Contents", "F1"},
        {"MnuHelp", "&About", ""},
    };
    for (const auto& item : items) {
        QAction* action = app.action(QString::fromLatin1(item.name));
        QVERIFY2(action, item.name);
        QCOMPARE(action->text(), QString::fromLatin1(item.caption));
        QCOMPARE(action->shortcut().toString(), QString::fromLatin1(item.shortcut));
        QVERIFY(action->isVisible() && action->isEnabled());
    }
    for (const char* hidden : {"mnuFile_6", "mnuFile_7", "mnuEdit_5"}) {
        QAction* action = app.action(QString::fromLatin1(hidden));
        QVERIFY2(action && !action->isVisible() && !action->isEnabled(), hidden);
    }
    QStringList menus;
    for (QAction* menu : app.window->menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, QStringList({"&File", "&Edit", "F&ormat", "&Help"}));
}

void TestMainWindow::newWithEmptyEditorAsksNothing() {
    AppFixture app;
    app.window->setWindowTitle(QStringLiteral("Qor Cofra - Old"));
    app.action(QStringLiteral("mnuFile_0"))->trigger();
    QCOMPARE(app.messages.shown().size(), 0);
    QCOMPARE(app.window->windowTitle(), QStringLiteral("Qor Cofra"));
    QCOMPARE(app.window->documentState().lngEntryID, 0);
}

void TestMainWindow::newWithTextAnsweredCancelOrNo() {
    AppFixture app;
    app.typeText(QStringLiteral("dear diary"));

    app.messages.queue(QMessageBox::Cancel);
    app.toolButton(3)->click();
    QCOMPARE(app.messages.shown().size(), 1);
    const platform::MessageBoxSpec& box = app.messages.shown().first();
    QCOMPARE(box.title, QStringLiteral("Save Changes?"));
    QCOMPARE(box.text, QStringLiteral("Would you like to              \r\n\r\nSave Changes?"));
    QCOMPARE(box.icon, MsgIcon::Question);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(app.window->editor()->Text(), QStringLiteral("dear diary"));

    app.messages.queue(QMessageBox::No);
    app.action(QStringLiteral("mnuFile_0"))->trigger();
    QCOMPARE(app.messages.shown().size(), 2);
    QVERIFY(app.window->editor()->Text().isEmpty());
    QCOMPARE(app.window->windowTitle(), QStringLiteral("Qor Cofra"));
    QCOMPARE(app.messages.unexpected(), 0);
}

void TestMainWindow::summaryCountsCharacters() {
    AppFixture app;
    app.action(QStringLiteral("mnuFile_4"))->trigger();
    QCOMPARE(app.messages.shown().size(), 1);
    QCOMPARE(app.messages.shown()[0].title, QStringLiteral("Text Summary"));
    QCOMPARE(app.messages.shown()[0].text, QStringLiteral(" # of Characters = "));
    QCOMPARE(app.messages.shown()[0].icon, MsgIcon::Information);
    QCOMPARE(app.messages.shown()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    app.window->editor()->setText(QString(1233, QLatin1Char('x')) + QLatin1Char('\n'));
    app.action(QStringLiteral("mnuFile_4"))->trigger();
    QLocale locale;
    const QString grouped = QStringLiteral("1") + locale.groupSeparator() + QStringLiteral("234");
    QCOMPARE(app.messages.shown()[1].text, QStringLiteral(" # of Characters = ") + grouped);
}

void TestMainWindow::exitCancelledKeepsWindowAndSettings() {
    AppFixture app;
    app.typeText(QStringLiteral("unsaved"));
    app.messages.queue(QMessageBox::Cancel);
    app.action(QStringLiteral("mnuFile_8"))->trigger();
    QCOMPARE(app.messages.shown().size(), 1); // no "Quit?"
    QVERIFY(app.window->isVisible());
    QVERIFY(app.setting(QStringLiteral("Top")).isEmpty());
}

void TestMainWindow::quitAnsweredNoThenYes() {
    AppFixture app;
    app.messages.queue(QMessageBox::No);
    QVERIFY(!app.window->close());
    QCOMPARE(app.messages.shown().size(), 1);
    const platform::MessageBoxSpec& quit = app.messages.shown().first();
    QCOMPARE(quit.title, QStringLiteral("QorCofra"));
    QCOMPARE(quit.text, QStringLiteral("Quit?"));
    QCOMPARE(quit.icon, MsgIcon::None);
    QCOMPARE(quit.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(app.window->isVisible());
    // The settings were written before the question.
    QCOMPARE(app.setting(QStringLiteral("FontSize")), QStringLiteral("10"));

    app.messages.queue(QMessageBox::Yes);
    app.action(QStringLiteral("mnuFile_8"))->trigger(); // empty editor: straight to "Quit?"
    QCOMPARE(app.messages.shown().size(), 2);
    QVERIFY(!app.window->isVisible());
}

void TestMainWindow::toolbarIndexOutsideRangeDoesNothing() {
    AppFixture app;
    app.typeText(QStringLiteral("text"));
    for (int index : {-1, 4, 99, 32767})
        app.window->cmdToolBar_Click(index);
    // Separators and the items not offered do nothing either.
    for (int index : {-1, 3, 5, 6, 7, 9})
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
    using platform::Screen;
    EntryEditor* editor = app.window->editor();
    QWidget* client = app.window->centralWidget();
    app.window->resize(600, 450);
    QTRY_COMPARE(editor->width(), client->width() - Screen::toPixelsX(25));
    QCOMPARE(editor->height(), client->height() - Screen::toPixelsY(720) - Screen::toPixelsY(25));

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
    QCOMPARE(app.opened.size(), 1);
    QCOMPARE(app.opened[0], QUrl::fromLocalFile(app.folder.file(QStringLiteral("QorCofra.html"))));
    QString empty;
    QVERIFY(modCofra::OpenWithShell(empty) > 32);
    QCOMPARE(empty, QStringLiteral("https://qorcofra.example.org/"));
    QCOMPARE(app.opened.last(), QUrl(QStringLiteral("https://qorcofra.example.org/")));
}

void TestMainWindow::programFolderEndsInOneSeparator() {
    QCOMPARE(platform::withOneTrailingSeparator(QStringLiteral("/opt/qorcofra")),
             QStringLiteral("/opt/qorcofra/"));
    QCOMPARE(platform::withOneTrailingSeparator(QStringLiteral("/opt/qorcofra//")),
             QStringLiteral("/opt/qorcofra/"));
    QCOMPARE(platform::withOneTrailingSeparator(QStringLiteral("/")), QStringLiteral("/"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
