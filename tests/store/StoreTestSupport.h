#pragma once
#include "crypto/TextCipher.h"
#include "store/EntryStore.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

// Runs one statement on the program folder's database through a connection of
// the test's own, so that the store can be checked from outside. Gives every
// result row, its fields joined by "|", or one "<failed: ...>" row.
inline QStringList sql(const QString& statement) {
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test-direct"));
        db.setDatabaseName(store::databasePath());
        QSqlQuery query(db);
        if (!QFile::exists(db.databaseName()) || !db.open() || !query.exec(statement))
            rows << QStringLiteral("<failed: %1>").arg(db.lastError().text() + query.lastError().text());
        while (query.next()) {
            QStringList fields;
            for (int i = 0; i < query.record().count(); ++i)
                fields << query.value(i).toString();
            rows << fields.join(QLatin1Char('|'));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-direct"));
    return rows;
}

// A legacy entry as the program stores it: "737" and hex of RC4 over the key
// and the text.
inline QString legacyEntry(const QString& key, const QString& text) {
    return crypto::encrypt(key + text, key);
}
