#include "store/DatabaseLocation.h"

#include "platform/AppInfo.h"
#include "resources/DatabaseSchema.h"
#include "store/StoreFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUrl>
#include <QUuid>
#include <unistd.h>

namespace store {
namespace {

QString quoted(const QString& path) {
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

// The user's file, made on the first start. Its folder is made readable to the
// user alone: entry names and key hints are stored in the clear.
DatabaseChoice userDatabase() {
    const QString path = userDatabasePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(path))
        return {path, {}};
    if (!QFileInfo(folder).isDir()) {
        if (!QDir().mkpath(folder))
            return {path,
                    QStringLiteral("The folder %1 for your entries could not be made.").arg(quoted(folder))};
        // Only a file system without owners (a FAT stick) refuses this, and there it would mean nothing.
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString why;
    // Another copy of the program may have made it in the meantime; that one is kept.
    if (!resources::createDatabase(path, &why) && !QFileInfo::exists(path))
        return {path, QStringLiteral("Your entry database %1 could not be made: %2.").arg(quoted(path), why)};
    return {path, {}};
}

} // namespace

DatabaseChoice chooseDatabase(const QString& requested, const QString& programFolder,
                              bool programFolderWritable) {
    if (!requested.isEmpty()) {
        const QString path = QFileInfo(requested).absoluteFilePath();
        return {path, entryDatabaseProblem(path)};
    }
    const QString beside = QDir(programFolder).filePath(QString::fromLatin1(appinfo::DatabaseFile));
    if (programFolderWritable && QFileInfo::exists(beside))
        return {beside, {}};
    return userDatabase();
}

bool mayWriteIn(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString userDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           QLatin1String(appinfo::DatabaseFile);
}

QString entryDatabaseProblem(const QString& path) {
    if (!QFileInfo::exists(path))
        return QStringLiteral("There is no file %1.").arg(quoted(path));
    // Read-only, so that looking never creates or changes anything.
    const QString name = QStringLiteral("cofra-check-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=ro"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (db.open()) {
            QSqlQuery query(db);
            if (!query.exec(
                    QStringLiteral("SELECT lngID, strName, strPassHint, strEntry FROM tblCofra LIMIT 0;")))
                problem = explainError(fromSqlError(query.lastError()), path);
        } else {
            problem = explainError(fromSqlError(db.lastError()), path);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

} // namespace store
