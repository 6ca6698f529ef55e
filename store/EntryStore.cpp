#include "store/EntryStore.h"

#include "platform/AppInfo.h"
#include "platform/AppPath.h"
#include "platform/PendingEvents.h"
#include "store/EntryList.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <atomic>
#include <optional>

namespace store {
namespace {

// A second running copy of the program may hold the file for a moment; wait for it.
constexpr int BusyTimeoutMs = 5000;
constexpr int MaxListedRows = 10000;
constexpr int MaxEmptyNames = 100;
// What the engine's step answers when a statement finds no row.
constexpr int NoRowCode = 101;

struct StoreError {
    int number = 0;
    QString description;
    QString component;
};
using StepResult = std::optional<StoreError>;

std::function<ErrorAnswer(const QString&)>& errorPrompt() {
    static std::function<ErrorAnswer(const QString&)> prompt;
    return prompt;
}

StoreError fromSqlError(const QSqlError& error) {
    bool native = false;
    const int code = error.nativeErrorCode().toInt(&native);
    QString description = error.databaseText();
    if (description.isEmpty())
        description = error.driverText();
    if (description.isEmpty())
        description = QStringLiteral("the database is not open");
    return {native ? code : 0, description, native ? QStringLiteral("SQLite") : QStringLiteral("QSQLITE")};
}

StoreError noRowError(qint32 id) {
    return {NoRowCode, QStringLiteral("There is no entry with the id %1").arg(id),
            QStringLiteral("tblCofra")};
}

QString errorText(const StoreError& error) {
    return QStringLiteral("Error: ") + QString::number(error.number) + QStringLiteral(" - ") +
           error.description + QStringLiteral("\r\nFrom: ") + error.component + QLatin1Char('.');
}

// Table and field names come from the program, never from the user; anything
// that is not a plain name is refused rather than pasted into a statement.
bool isPlainName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

// An empty text is stored as such, not as a null.
QVariant textValue(const QString& text) {
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : text;
}

// One uniquely named connection for the length of one procedure. Queries on it
// must be gone before it is destroyed, which closes and removes it.
class Connection {
public:
    Connection() : m_name(QStringLiteral("cofra-store-%1").arg(++s_counter)) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        if (!m_db.isValid())
            return;
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }

    StepResult open() {
        if (!m_db.isValid())
            m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.close();
        // mode=rw: the program never creates the database; a missing file is an error.
        m_db.setDatabaseName(
            QUrl::fromLocalFile(QFileInfo(databasePath()).absoluteFilePath()).toString(QUrl::FullyEncoded) +
            QStringLiteral("?mode=rw"));
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!m_db.open())
            return fromSqlError(m_db.lastError());
        // Each write reaches the disk before it counts as done, and a deleted
        // entry's ciphertext is overwritten rather than left in free pages.
        for (const char* pragma : {"PRAGMA synchronous = FULL;", "PRAGMA secure_delete = ON;"}) {
            QSqlQuery query(m_db);
            if (!query.exec(QLatin1String(pragma)))
                return fromSqlError(query.lastError());
        }
        return std::nullopt;
    }

    // Runs one statement with its values bound, after checking that the connection is open.
    StepResult run(QSqlQuery& query, const QString& statement, const QVariantList& values) {
        if (!m_db.isOpen())
            return fromSqlError(m_db.lastError());
        query = QSqlQuery(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(statement))
            return fromSqlError(query.lastError());
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec())
            return fromSqlError(query.lastError());
        return std::nullopt;
    }

private:
    static inline std::atomic<quint64> s_counter{0};
    QString m_name;
    QSqlDatabase m_db;
};

// The guarded style: a failing step shows "An Error Occured!" and the answer
// decides whether the step runs again, is passed over, or ends the work.
class Guarded {
public:
    // False: the procedure goes straight to its closing sequence.
    bool run(const std::function<StepResult()>& step) {
        for (;;) {
            const StepResult error = step();
            if (!error)
                return true;
            m_result = errorText(*error);
            const ErrorAnswer answer = errorPrompt() ? errorPrompt()(m_result) : ErrorAnswer::Abort;
            if (answer != ErrorAnswer::Retry)
                return answer == ErrorAnswer::Ignore;
        }
    }
    // The latest error text; it stays even when a retry then succeeds.
    const QString& result() const { return m_result; }

private:
    QString m_result;
};

// A guarded procedure: opens its connection and runs its step, both guarded,
// and lets pending events run once the connection is gone, unless the work was
// aborted. Gives the latest error text.
QString runGuarded(const std::function<StepResult(Connection&)>& step) {
    Guarded guard;
    bool finished = false;
    {
        Connection connection;
        finished =
            guard.run([&] { return connection.open(); }) && guard.run([&] { return step(connection); });
    }
    if (finished)
        platform::PendingEvents::run();
    return guard.result();
}

} // namespace

void setErrorPrompt(std::function<ErrorAnswer(const QString& text)> prompt) {
    errorPrompt() = std::move(prompt);
}

QString databasePath() {
    return modCofra::strAppPath + QLatin1String(appinfo::DatabaseFile);
}

} // namespace store

namespace modCofra {

using store::Connection;
using store::Guarded;
using store::StepResult;

QString NullToEmpty(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

QString LoadEntry(qint32 id, QString& name, QString& hint, QString& text) {
    return store::runGuarded([&](Connection& connection) -> StepResult {
        QSqlQuery query;
        if (auto error =
                connection.run(query, QStringLiteral("SELECT * FROM tblCofra WHERE lngID = ?;"), {id}))
            return error;
        if (!query.next())
            return query.lastError().isValid() ? store::fromSqlError(query.lastError())
                                               : store::noRowError(id);
        name = NullToEmpty(query.value(QStringLiteral("strName")));
        hint = NullToEmpty(query.value(QStringLiteral("strPassHint")));
        text = NullToEmpty(query.value(QStringLiteral("strEntry")));
        return std::nullopt;
    });
}

qint32 FindEntryID(const QString& name) {
    qint32 id = 0;
    {
        Connection connection;
        if (!connection.open()) {
            QSqlQuery query;
            if (!connection.run(
                    query,
                    QStringLiteral("SELECT lngID, strName FROM tblCofra WHERE strName = ? ORDER BY lngID;"),
                    {store::textValue(name)}) &&
                query.next())
                id = query.value(0).toInt();
        }
    }
    platform::PendingEvents::run();
    return id;
}

QString StoreEntry(qint32 id, const QString& name, const QString& hint, const QString& text) {
    return store::runGuarded([&](Connection& connection) -> StepResult {
        QSqlQuery query;
        const QVariantList values{store::textValue(name), store::textValue(hint), store::textValue(text)};
        if (id == 0)
            return connection.run(
                query,
                QStringLiteral("INSERT INTO tblCofra (strName, strPassHint, strEntry) VALUES (?, ?, ?);"),
                values);
        if (auto error = connection.run(
                query,
                QStringLiteral(
                    "UPDATE tblCofra SET strName = ?, strPassHint = ?, strEntry = ? WHERE lngID = ?;"),
                values + QVariantList{id}))
            return error;
        // The row was deleted meanwhile: nothing is written.
        if (query.numRowsAffected() < 1)
            return store::noRowError(id);
        return std::nullopt;
    });
}

void DeleteRecord(const QString& table, const QString& field, qint32 value) {
    Guarded guard;
    Connection connection;
    if (!guard.run([&] { return connection.open(); }))
        return;
    guard.run([&]() -> StepResult {
        if (!store::isPlainName(table) || !store::isPlainName(field))
            return store::StoreError{1, QStringLiteral("not a table and field name: %1.%2").arg(table, field),
                                     QStringLiteral("DeleteRecord")};
        QSqlQuery query;
        return connection.run(query, QStringLiteral("DELETE FROM %1 WHERE %2 = ?;").arg(table, field),
                              {value});
    });
}

void FillListFromTable(store::EntryList& list, const QString& table, const QString& idField,
                       const QString& textField, const QString& wanted, bool selectByText) {
    // Rows come in the order they were stored: left to itself the engine may
    // deliver them in name order, where empty names come first and the limit on
    // empty names would hide every entry.
    QList<store::EntryListItem> items;
    if (store::isPlainName(table) && store::isPlainName(idField) && store::isPlainName(textField)) {
        Connection connection;
        QSqlQuery query;
        if (!connection.open() &&
            !connection.run(
                query, QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1").arg(idField, textField, table),
                {})) {
            int rows = 0;
            int emptyNames = 0;
            while (query.next()) {
                if (++rows > store::MaxListedRows)
                    break;
                const QString item = NullToEmpty(query.value(1));
                if (item.isEmpty()) {
                    if (++emptyNames > store::MaxEmptyNames)
                        break;
                    continue;
                }
                items.append({item, query.value(0).toInt()});
            }
        }
    }
    list.clear();
    list.addItems(items);
    platform::PendingEvents::run();

    bool isNumber = false;
    const qint32 wantedId = selectByText ? 0 : wanted.toInt(&isNumber);
    int selected = 0;
    for (int index = 0; index < list.count(); ++index) {
        if (selectByText ? list.itemText(index) == wanted : isNumber && list.itemData(index) == wantedId) {
            selected = index;
            break;
        }
    }
    if (list.count() > 0)
        list.setCurrentIndex(selected);
}

} // namespace modCofra
