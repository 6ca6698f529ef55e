#include "tests/app/AppFixture.h"

#include "editor/EntryEditor.h"
#include "platform/FontList.h"
#include "platform/Screen.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QSettings>
#include <QTest>

AppFixture::AppFixture(int folderContent, bool start) : folder(folderContent) {
    platform::Screen::setOverride(QSize(1280, 800), 96.0);
    platform::FontList::setSource([] { return fonts(); });
    platform::SettingsStore::useFile(settingsFile());
    platform::Shell::setOpener([this](const QUrl& url) {
        opened.append(url);
        return true;
    });
    window = std::make_unique<frmCofra>();
    if (start) {
        window->Form_Load();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
}

AppFixture::~AppFixture() {
    window.reset();
    platform::Shell::setOpener({});
    platform::SettingsStore::useFile(QString());
    platform::FontList::setSource({});
    platform::Screen::setOverride(QSize());
}

QString AppFixture::setting(const QString& key) const {
    QSettings settings(settingsFile(), QSettings::IniFormat);
    return settings.value(QStringLiteral("Window/") + key).toString();
}

void AppFixture::setSetting(const QString& key, const QString& value) const {
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Window/") + key, value);
}

QAbstractButton* AppFixture::toolButton(int index) const {
    return window->findChild<QAbstractButton*>(QStringLiteral("cmdToolBar_%1").arg(index));
}

QAction* AppFixture::action(const QString& objectName) const {
    return window->findChild<QAction*>(objectName);
}

void AppFixture::typeText(const QString& text) const {
    EntryEditor* editor = window->editor();
    editor->setFocus();
    QTest::keyClicks(editor, text);
}
