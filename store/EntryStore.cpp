#include "store/EntryStore.h"

#include "platform/AppInfo.h"
#include "platform/AppPath.h"
#include "platform/PendingEvents.h"
#include "store/EntryList.h"
#include "store/StoreFailure.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>
#include <atomic>
#include <optional>

namespace store {
namespace {

// A second running copy of the program may hold the file for a moment; wait for it.
std::atomic<int> s_busyTimeoutMs{5000};

using StepResult = std::optional<StoreError>;

std::function<ErrorAnswer(const QString&)>& errorPrompt() {
    static std::function<ErrorAnswer(const QString&)> prompt;
    return prompt;
}

// Table and field names come from the program, never from the user; anything
// that is not a plain name is refused rather than pasted into a statement.
bool isPlainName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

StepResult checkNames(std::initializer_list<QString> names) {
    for (const QString& name : names)
        if (!isPlainName(name))
            return StoreError{1, QStringLiteral("not a table or field name: %1").arg(name),
                              QStringLiteral("modCofra")};
    return std::nullopt;
}

// An empty text is stored as such, not as a null.
QVariant textValue(const QString& text) {
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : text;
}

// Characters as the engine counts them (code points). Folding the case of a
// letter keeps it one character, so equal names without regard to case have
// the same count.
qsizetype characterCount(const QString& text) {
    qsizetype count = 0;
    for (const QChar c : text)
        count += !c.isLowSurrogate();
    return count;
}

// Two names are the same entry's when they are equal without regard to the
// case of any letter: the lookup's comparison, which every check of a row's
// name uses too.
bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// The error a step that read rows ended with, if it did not simply run out of them.
StepResult readError(const QSqlQuery& query) {
    return query.lastError().isValid() ? StepResult(fromSqlError(query.lastError())) : std::nullopt;
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
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeout()));
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

    // Runs one statement with its values bound.
    StepResult run(QSqlQuery& query, const QString& statement, const QVariantList& values = {}) {
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

// Runs `body` inside a write transaction taken at once (BEGIN IMMEDIATE), so
// that no other copy of the program writes between what the body reads and
// what it writes. The body clears `keep` when it found that nothing is to be
// written; its work is then undone, as it is after any failure, so that a
// Retry starts afresh.
StepResult inWriteTransaction(Connection& connection, const std::function<StepResult(bool& keep)>& body) {
    {
        QSqlQuery begin;
        if (auto error = connection.run(begin, QStringLiteral("BEGIN IMMEDIATE;")))
            return error;
    }
    bool keep = true;
    StepResult error = body(keep);
    if (!error && keep) {
        QSqlQuery commit;
        error = connection.run(commit, QStringLiteral("COMMIT;"));
    }
    if (error || !keep) {
        QSqlQuery rollback;
        connection.run(rollback, QStringLiteral("ROLLBACK;"));
    }
    return error;
}

// The lngID of the first row whose name is the same as `name`, 0 when none is.
// The engine folds the case of ASCII letters only, so names are compared
// here; the engine only passes over the names that cannot match by length.
StepResult lookUp(Connection& connection, const QString& name, qint64& id) {
    id = 0;
    QSqlQuery query;
    if (auto error = connection.run(
            query,
            QStringLiteral("SELECT lngID, strName FROM tblCofra WHERE length(strName) = ? ORDER BY lngID;"),
            {characterCount(name)}))
        return error;
    while (query.next()) {
        if (sameName(query.value(1).toString(), name)) {
            id = query.value(0).toLongLong();
            return std::nullopt;
        }
    }
    return readError(query);
}

// secure_delete clears a deleted row in the file, but in write-ahead-log mode
// (another tool may leave the file so) the file keeps the row until a
// checkpoint copies the cleared pages back: do that now and empty the log. A
// checkpoint that another program's reading holds up is done by the last
// connection to close; a disk that fails it is said, since the entry's text is
// then still in the file although the entry is deleted.
StepResult clearLog(Connection& connection) {
    QSqlQuery mode;
    if (auto error = connection.run(mode, QStringLiteral("PRAGMA journal_mode;")))
        return error;
    if (!mode.next())
        return readError(mode);
    if (mode.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    mode.finish();
    QSqlQuery checkpoint;
    return connection.run(checkpoint, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE);"));
}

// Runs one procedure: opens its connection and runs its step, each guarded by
// the "An Error Occured!" question, and lets pending events run once the
// connection is gone unless the user chose Abort. `then`, when given, runs
// once the step is done and nothing changed elsewhere, guarded on its own, so
// that a Retry repeats it alone.
Outcome runGuarded(const std::function<StepResult(Connection&)>& step, const bool* changedElsewhere = nullptr,
                   const std::function<StepResult(Connection&)>& then = {}) {
    Outcome outcome;
    bool aborted = false;
    // False when the step stays undone.
    const auto guarded = [&](const std::function<StepResult()>& attempt) {
        for (;;) {
            const StepResult error = attempt();
            if (!error)
                return true;
            outcome.error = errorText(*error, databasePath());
            const ErrorAnswer answer = errorPrompt() ? errorPrompt()(outcome.error) : ErrorAnswer::Abort;
            if (answer == ErrorAnswer::Retry)
                continue;
            aborted = answer == ErrorAnswer::Abort;
            return false;
        }
    };
    {
        Connection connection;
        outcome.ok =
            guarded([&] { return connection.open(); }) && guarded([&] { return step(connection); }) &&
            (!then || (changedElsewhere && *changedElsewhere) || guarded([&] { return then(connection); }));
    }
    if (outcome.ok && changedElsewhere && *changedElsewhere) {
        outcome.ok = false;
        outcome.changedElsewhere = true;
    }
    if (!aborted)
        platform::PendingEvents::run();
    return outcome;
}

} // namespace

void setErrorPrompt(std::function<ErrorAnswer(const QString& text)> prompt) {
    errorPrompt() = std::move(prompt);
}

void setBusyTimeout(int milliseconds) {
    s_busyTimeoutMs = milliseconds;
}

int busyTimeout() {
    return s_busyTimeoutMs;
}

namespace {
QString& chosenFile() {
    static QString path;
    return path;
}
} // namespace

QString databasePath() {
    if (!chosenFile().isEmpty())
        return chosenFile();
    return modCofra::strAppPath + QLatin1String(appinfo::DatabaseFile);
}

void useDatabaseFile(const QString& path) {
    chosenFile() = path;
}

} // namespace store

namespace modCofra {

using store::Outcome;
using store::StepResult;

QString NullToEmpty(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

Outcome LoadEntry(qint64 id, QString& name, QString& hint, QString& text, const QString& expectedName) {
    bool changed = false;
    const bool checked = !expectedName.isEmpty();
    return store::runGuarded(
        [&](store::Connection& connection) -> StepResult {
            changed = false;
            QSqlQuery query;
            if (auto error =
                    connection.run(query, QStringLiteral("SELECT * FROM tblCofra WHERE lngID = ?;"), {id}))
                return error;
            if (!query.next()) {
                if (auto error = store::readError(query))
                    return error;
                changed = checked;
                return checked ? StepResult() : StepResult(store::noRowError(id));
            }
            // Read whole before any out-argument changes, so a failure leaves them all as they were.
            const QString readName = NullToEmpty(query.value(QStringLiteral("strName")));
            const QString readHint = NullToEmpty(query.value(QStringLiteral("strPassHint")));
            const QString readText = NullToEmpty(query.value(QStringLiteral("strEntry")));
            if (auto error = store::readError(query))
                return error;
            // The id came from a list or a lookup of an earlier moment; another
            // copy may have deleted that entry and given its id to a new one.
            if (checked && !store::sameName(readName, expectedName)) {
                changed = true;
                return std::nullopt;
            }
            name = readName;
            hint = readHint;
            text = readText;
            return std::nullopt;
        },
        &changed);
}

std::optional<qint64> FindEntryID(const QString& name) {
    qint64 id = 0;
    const Outcome outcome =
        store::runGuarded([&](store::Connection& connection) { return store::lookUp(connection, name, id); });
    return outcome ? std::optional<qint64>(id) : std::nullopt;
}

Outcome StoreEntry(qint64 id, const QString& name, const QString& hint, const QString& text,
                   qint64* storedId) {
    bool changed = false;
    qint64 nameNowAt = 0;
    Outcome outcome = store::runGuarded(
        [&](store::Connection& connection) -> StepResult {
            changed = false;
            return store::inWriteTransaction(connection, [&](bool& keep) -> StepResult {
                // The caller looked the name up before the user answered its
                // questions; another copy may have saved or deleted it since.
                if (auto error = store::lookUp(connection, name, nameNowAt))
                    return error;
                if (nameNowAt != id) {
                    changed = true;
                    keep = false;
                    return std::nullopt;
                }
                QSqlQuery query;
                const QVariantList values{store::textValue(name), store::textValue(hint),
                                          store::textValue(text)};
                if (id == 0) {
                    if (auto error =
                            connection.run(query,
                                           QStringLiteral("INSERT INTO tblCofra (strName, strPassHint, "
                                                          "strEntry) VALUES (?, ?, ?);"),
                                           values))
                        return error;
                    nameNowAt = query.lastInsertId().toLongLong();
                    return std::nullopt;
                }
                return connection.run(
                    query,
                    QStringLiteral(
                        "UPDATE tblCofra SET strName = ?, strPassHint = ?, strEntry = ? WHERE lngID = ?;"),
                    values + QVariantList{id});
            });
        },
        &changed);
    if (outcome.changedElsewhere)
        outcome.nameNowAt = nameNowAt;
    else if (outcome && storedId)
        *storedId = nameNowAt;
    return outcome;
}

Outcome DeleteRecord(const QString& table, const QString& field, qint64 value) {
    return store::runGuarded(
        [&](store::Connection& connection) -> StepResult {
            if (auto error = store::checkNames({table, field}))
                return error;
            QSqlQuery query;
            if (auto error = connection.run(
                    query, QStringLiteral("DELETE FROM %1 WHERE %2 = ?;").arg(table, field), {value}))
                return error;
            if (query.numRowsAffected() < 1)
                return store::noRowError(value);
            return std::nullopt;
        },
        nullptr, store::clearLog);
}

Outcome DeleteRecord(const QString& table, const QString& field, qint64 value, const QString& nameField,
                     const QString& expectedName) {
    bool changed = false;
    return store::runGuarded(
        [&](store::Connection& connection) -> StepResult {
            changed = false;
            if (auto error = store::checkNames({table, field, nameField}))
                return error;
            StepResult failed = store::inWriteTransaction(connection, [&](bool& keep) -> StepResult {
                // The id came from a list of an earlier moment; another copy may
                // have deleted that entry and given its id to a new one.
                QSqlQuery query;
                if (auto error = connection.run(
                        query, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?;").arg(nameField, table, field),
                        {value}))
                    return error;
                const bool found = query.next();
                if (auto error = store::readError(query))
                    return error;
                if (!found || !store::sameName(NullToEmpty(query.value(0)), expectedName)) {
                    changed = true;
                    keep = false;
                    return std::nullopt;
                }
                query.finish();
                QSqlQuery deletion;
                return connection.run(
                    deletion, QStringLiteral("DELETE FROM %1 WHERE %2 = ?;").arg(table, field), {value});
            });
            return failed;
        },
        &changed, store::clearLog);
}

Outcome FillListFromTable(store::EntryList& list, const QString& table, const QString& idField,
                          const QString& textField, const QString& wanted, bool selectByText) {
    QList<store::EntryListItem> items;
    Outcome outcome = store::runGuarded([&](store::Connection& connection) -> StepResult {
        items.clear();
        if (auto error = store::checkNames({table, idField, textField}))
            return error;
        QSqlQuery query;
        if (auto error = connection.run(
                query, QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1").arg(idField, textField, table)))
            return error;
        while (query.next()) {
            QString item = NullToEmpty(query.value(1));
            if (!item.isEmpty())
                items.append({std::move(item), query.value(0).toLongLong()});
        }
        return store::readError(query);
    });
    if (!outcome)
        items.clear();
    list.clear();
    list.addItems(items);

    bool isNumber = false;
    const qint64 wantedId = selectByText ? 0 : wanted.toLongLong(&isNumber);
    int selected = 0;
    for (int index = 0; index < list.count(); ++index) {
        if (selectByText ? list.itemText(index) == wanted : isNumber && list.itemData(index) == wantedId) {
            selected = index;
            break;
        }
    }
    if (list.count() > 0)
        list.setCurrentIndex(selected);
    return outcome;
}

} // namespace modCofra
