#include "resources/DatabaseSchema.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace resources {

QString databaseSchema() {
    QFile file(QStringLiteral(":/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool createDatabase(const QString& path, QString* error) {
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 already exists").arg(path);
        return false;
    }
    const QString schema = databaseSchema();
    bool ok = !schema.isEmpty();
    const QString name = QStringLiteral("cofra-schema-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = ok && db.open();
        if (ok) {
            QSqlQuery query(db);
            // Statements are separated by ";" at a line end; comments are dropped first.
            QString body;
            for (const QString& line : schema.split(QLatin1Char('\n'))) {
                if (!line.trimmed().startsWith(QLatin1String("--")))
                    body += line + QLatin1Char('\n');
            }
            for (const QString& statement : body.split(QLatin1Char(';'))) {
                if (statement.trimmed().isEmpty())
                    continue;
                if (!query.exec(statement)) {
                    ok = false;
                    if (error)
                        *error = query.lastError().text();
                    break;
                }
            }
        } else if (error && error->isEmpty()) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok)
        QFile::remove(path);
    return ok;
}

} // namespace resources
