#include "platform/AppPath.h"

#include <QCoreApplication>

namespace modCofra {
QString strAppPath;
}

namespace platform {

QString withOneTrailingSeparator(const QString& folder) {
    QString path = folder;
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path + QLatin1Char('/');
}

void initAppPath() {
    modCofra::strAppPath = withOneTrailingSeparator(QCoreApplication::applicationDirPath());
}

} // namespace platform
