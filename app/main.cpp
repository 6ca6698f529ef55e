#include "app/frmCofra.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(appinfo::AppTitle));
    QApplication::setOrganizationName(QString::fromLatin1(appinfo::AppTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(appinfo::VersionMajor).arg(appinfo::VersionMinor));
    QApplication::setDesktopFileName(QStringLiteral("qorcofra"));
    QApplication::setWindowIcon(QIcon(QString::fromLatin1(appinfo::IconResource)));

    frmCofra window;
    window.Form_Load();
    return app.exec();
}
