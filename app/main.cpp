#include "app/CommandLine.h"
#include "app/frmCofra.h"
#include "platform/AppInfo.h"
#include "platform/ProcessGuard.h"
#include "resources/Icons.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Before anything holds a key: a crash or a process of the same user must not read one out.
    if (const QString failed = platform::ProcessGuard::keepMemoryPrivate(); !failed.isEmpty())
        qWarning("Qor Cofra: %s A crash could leave keys or text in a file.", qUtf8Printable(failed));
    // Named before anything else: --version and --help tell the name. There is
    // no organisation name, so the user's data folder is ~/.local/share/QorCofra/
    // (the settings name their own file).
    QApplication::setApplicationName(QString::fromLatin1(appinfo::AppTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(appinfo::VersionMajor).arg(appinfo::VersionMinor));
    CommandLine::answerIfAsked(argc, argv);

    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("qorcofra"));
    QApplication::setWindowIcon(resources::icon(QString::fromLatin1(appinfo::IconName)));
    if (!CommandLine(QApplication::arguments()).chooseDatabase())
        return 1;

    frmCofra window;
    window.Form_Load();
    return QApplication::exec();
}
