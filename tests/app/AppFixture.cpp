#include "tests/app/AppFixture.h"

#include "platform/FontList.h"
#include "platform/Screen.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

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
