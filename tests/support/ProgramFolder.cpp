#include "tests/support/ProgramFolder.h"

#include "platform/AppInfo.h"
#include "platform/AppPath.h"
#include "resources/DatabaseSchema.h"

#include <QFile>

ProgramFolder::ProgramFolder(int content) : m_previousAppPath(modCofra::strAppPath) {
    modCofra::strAppPath = platform::withOneTrailingSeparator(m_dir.path());
    if (content & WithDatabase)
        resources::createDatabase(databasePath());
    if (content & WithHelp) {
        QFile help(file(QString::fromLatin1(appinfo::HelpFile)));
        if (help.open(QIODevice::WriteOnly))
            help.write("<html><body><h1 id=\"topic50\">Keys and hints</h1></body></html>\n");
    }
}

ProgramFolder::~ProgramFolder() {
    modCofra::strAppPath = m_previousAppPath;
}

QString ProgramFolder::databasePath() const {
    return file(QString::fromLatin1(appinfo::DatabaseFile));
}
