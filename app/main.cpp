#include "app/frmCofra.h"
#include "platform/AppInfo.h"
#include "resources/Icons.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(appinfo::AppTitle));
    QApplication::setOrganizationName(QString::fromLatin1(appinfo::AppTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(appinfo::VersionMajor).arg(appinfo::VersionMinor));
    QApplication::setDesktopFileName(QStringLiteral("qorcofra"));
    QApplication::setWindowIcon(resources::icon(QString::fromLatin1(appinfo::IconName)));

    frmCofra window;
    window.Form_Load();
    return QApplication::exec();
}
