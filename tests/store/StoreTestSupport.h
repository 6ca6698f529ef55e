#pragma once
#include "store/EntryStore.h"
#include "tests/support/ScriptedMessages.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

// Runs one statement on the program folder's database through a connection of
// the test's own, so that the store can be checked from outside. Gives every
// result row, its fields joined by "|" (a null field reads "<null>"), or one
// "<failed: ...>" row.
inline QStringList sql(const QString& statement) {
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test-direct"));
        db.setDatabaseName(store::databasePath());
        const bool open = QFile::exists(db.databaseName()) && db.open();
        QSqlQuery query(db);
        if (!open || !query.exec(statement))
            rows << QStringLiteral("<failed: %1>").arg((open ? query.lastError() : db.lastError()).text());
        while (query.next()) {
            QStringList fields;
            for (int i = 0; i < query.record().count(); ++i)
                fields << (query.isNull(i) ? QStringLiteral("<null>") : query.value(i).toString());
            rows << fields.join(QLatin1Char('|'));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-direct"));
    return rows;
}

// A message box in one line: title, text, icon, buttons and default button.
inline QString boxLine(const QString& title, const QString& text, platform::MsgIcon icon,
                       QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton = {}) {
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(title, text)
        .arg(int(icon))
        .arg(buttons.toInt())
        .arg(int(defaultButton));
}
// Every box shown so far, each in one line.
inline QStringList boxLines(const ScriptedMessages& boxes) {
    QStringList lines;
    for (const platform::MessageBoxSpec& box : boxes.shown())
        lines << boxLine(box.title, box.text, box.icon, box.buttons, box.defaultButton);
    return lines;
}
