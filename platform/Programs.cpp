#include "platform/Programs.h"

#include <QProcess>
#include <QStandardPaths>

namespace platform {
namespace {
std::function<bool(const QString&)>& starter() {
    static std::function<bool(const QString&)> s;
    return s;
}
} // namespace

QString Programs::findOnPath(const QStringList& names) {
    for (const QString& name : names) {
        QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

bool Programs::startDetached(const QString& program) {
    if (starter())
        return starter()(program);
    return QProcess::startDetached(program, {});
}

void Programs::setStarter(std::function<bool(const QString&)> s) {
    starter() = std::move(s);
}

} // namespace platform
