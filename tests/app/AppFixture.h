#pragma once
#include "app/frmCofra.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedMessages.h"

#include <QTemporaryDir>
#include <QUrl>
#include <memory>

class QAbstractButton;
class QAction;

// A main window started as the program starts it, on a fixed screen, with a
// fixed font list, a private settings file and a throw-away program folder.
// Message boxes are answered by `messages`; shell opens are recorded in `opened`.
struct AppFixture {
    explicit AppFixture(int folderContent = ProgramFolder::WithDatabase, bool start = true);
    ~AppFixture();

    static QStringList fonts() { return {"Alpha Sans", "Beta Serif", "Gamma Mono", "Delta Script"}; }
    QString settingsFile() const { return m_settingsDir.filePath(QStringLiteral("settings.ini")); }
    QString setting(const QString& key) const;
    void setSetting(const QString& key, const QString& value) const;

    QAbstractButton* toolButton(int index) const;
    QAction* action(const QString& objectName) const;
    void typeText(const QString& text) const;

    QTemporaryDir m_settingsDir;
    ProgramFolder folder;
    ScriptedMessages messages;
    QList<QUrl> opened;
    std::unique_ptr<frmCofra> window;
};
