#include "resources/DatabaseSchema.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace resources {
namespace {

// Gives the file at `from` the name `to` unless a file of that name exists:
// never replaces one, and leaves `from` for the caller to remove.
bool moveIntoPlace(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    // A file system that does not know the flag still makes a link only where there is no file.
    return (errno == EINVAL || errno == ENOSYS) && ::link(source.constData(), target.constData()) == 0;
}

} // namespace

QString databaseSchema() {
    QFile file(QStringLiteral(":/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool createDatabase(const QString& path, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("%1 already exists").arg(path));
    const QString schema = databaseSchema();
    if (schema.isEmpty())
        return fail(QStringLiteral("the database schema is missing from the program"));

    // The file is made under a name of its own and then moved into place
    // without replacing anything: a second copy of the program making the same
    // database at the same moment never sees a half-made file, and a failure
    // here never removes a database that someone else made meanwhile.
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString partial = path + QStringLiteral(".new-") + uuid;
    const QString name = QStringLiteral("cofra-schema-") + uuid;
    QString why;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(partial);
        if (db.open()) {
            QSqlQuery query(db);
            // Statements are separated by ";" at a line end; comments are dropped first.
            QString body;
            for (const QString& line : schema.split(QLatin1Char('\n'))) {
                if (!line.trimmed().startsWith(QLatin1String("--")))
                    body += line + QLatin1Char('\n');
            }
            for (const QString& statement : body.split(QLatin1Char(';'))) {
                if (!statement.trimmed().isEmpty() && !query.exec(statement)) {
                    why = query.lastError().text();
                    break;
                }
            }
        } else {
            why = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (why.isEmpty() && !moveIntoPlace(partial, path))
        why = QFileInfo::exists(path) ? QStringLiteral("%1 already exists").arg(path)
                                      : QStringLiteral("%1 could not be written").arg(path);
    QFile::remove(partial);
    return why.isEmpty() || fail(why);
}

} // namespace resources
