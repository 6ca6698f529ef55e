#pragma once
// Brings what the tests of the main window use: the window, its editor, its
// actions and buttons, Qt Test, and the scripted message boxes.
#include "app/frmCofra.h"
#include "editor/EntryEditor.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QAbstractButton>
#include <QAction>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

// A main window started as the program starts it, on a fixed screen, with a
// fixed font list, a private settings file and a throw-away program folder.
// Message boxes are answered by `messages`; shell opens are recorded in `opened`.
struct AppFixture {
    explicit AppFixture(int folderContent = ProgramFolder::WithDatabase, bool start = true);
    ~AppFixture();

    static QStringList fonts() { return {"Alpha Sans", "Beta Serif", "Gamma Mono", "Delta Script"}; }
    QString settingsFile() const { return m_settingsDir.filePath(QStringLiteral("settings.ini")); }
    // A value of the window's settings group, as the file holds it.
    QString setting(const QString& key) const {
        return QSettings(settingsFile(), QSettings::IniFormat).value("Window/" + key).toString();
    }
    void setSetting(const QString& key, const QString& value) const {
        QSettings(settingsFile(), QSettings::IniFormat).setValue("Window/" + key, value);
    }

    QAbstractButton* toolButton(int index) const {
        return window->findChild<QAbstractButton*>(QStringLiteral("cmdToolBar_%1").arg(index));
    }
    QAction* action(const QString& objectName) const { return window->findChild<QAction*>(objectName); }
    void typeText(const QString& text) const {
        window->editor()->setFocus();
        QTest::keyClicks(window->editor(), text);
    }

    QTemporaryDir m_settingsDir;
    ProgramFolder folder;
    ScriptedMessages messages;
    QList<QUrl> opened;
    std::unique_ptr<frmCofra> window;
};
