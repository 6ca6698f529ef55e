#include "platform/Shell.h"

#include "platform/AppInfo.h"
#include "platform/AppPath.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace platform {
namespace {

std::function<bool(const QUrl&)>& opener() {
    static std::function<bool(const QUrl&)> o;
    return o;
}

} // namespace

static bool isWebAddress(const QString& target) {
    const QUrl url(target, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                             scheme == QLatin1String("mailto") || scheme == QLatin1String("file"));
}

// Files are looked up the way a shell would with the program folder as working folder.
static QString resolveFile(const QString& target) {
    if (QDir::isAbsolutePath(target))
        return target;
    return QDir(modCofra::strAppPath).filePath(target);
}

bool Shell::openUrl(const QUrl& url) {
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

bool Shell::openHelp(const QString& anchor) {
    const QString path = resolveFile(QString::fromLatin1(appinfo::HelpFile));
    if (!QFileInfo(path).isFile())
        return false;
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return openUrl(url);
}

void Shell::setOpener(std::function<bool(const QUrl&)> o) {
    opener() = std::move(o);
}

} // namespace platform

namespace modCofra {

int OpenWithShell(QString& target) {
    if (target.isEmpty())
        target = QString::fromLatin1(appinfo::WebAddress);
    QUrl url;
    if (platform::isWebAddress(target)) {
        url = QUrl(target);
    } else {
        const QString path = platform::resolveFile(target);
        if (!QFileInfo::exists(path))
            return 0;
        url = QUrl::fromLocalFile(path);
    }
    return platform::Shell::openUrl(url) ? platform::Shell::Success : 0;
}

} // namespace modCofra
