#pragma once
#include <QSqlError>
#include <QString>

namespace store {

// A failure of one step of a store procedure, as the engine reported it.
struct StoreError {
    int number = 0;
    QString description;
    QString component;
};

// What the engine's step answers when a statement finds no row.
inline constexpr int NoRowCode = 101;

StoreError fromSqlError(const QSqlError& error);
StoreError noRowError(qint64 id);

// The text of the error box: the engine's number and description and where
// the failure came from, then in plain words which file is at fault and why.
QString errorText(const StoreError& error, const QString& databaseFile);
// The plain words alone.
QString explainError(const StoreError& error, const QString& databaseFile);

} // namespace store
