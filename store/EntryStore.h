#pragma once
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace store {
class EntryList;

// What a store procedure did: whether its work got done, and the text of the
// latest failure the user was shown (it stays when a retry then succeeded).
struct Outcome {
    bool ok = true;
    QString error;
    // The row meant is gone or carries another name, or a save's name is now
    // on another row than the caller found: another copy of the program changed
    // the file since the caller looked. Nothing was read or written and no box
    // was shown; the caller tells the user.
    bool changedElsewhere = false;
    // For a save that was changed elsewhere: the id of the row that now carries
    // the name, 0 when none does.
    qint64 nameNowAt = 0;
    explicit operator bool() const { return ok; }
};

} // namespace store

// The entry database: "QorCofra.db" in the program folder (modCofra::strAppPath)
// unless start-up chose another file (store/DatabaseLocation.h); table tblCofra. Every procedure opens its
// own connection and closes it before it returns; nothing of the database stays open between calls. Every
// failure is put to the user through the error prompt (store::setErrorPrompt) and comes back as a failed
// result: no procedure answers as if it had read or written when it could not. Ids are SQLite's row ids, 64
// bits wide; 0 means no entry.
namespace modCofra {

// Reads one entry; on failure the out-arguments keep what the caller put in.
// With an expected name, a row that is gone or carries another name (compared
// as FindEntryID compares) is changedElsewhere rather than an error.
store::Outcome LoadEntry(qint64 id, QString& name, QString& hint, QString& text,
                         const QString& expectedName = QString());
// The lngID of the first row whose name equals `name` without regard to the
// case of any letter, 0 when there is none, nothing when the file could not be read.
std::optional<qint64> FindEntryID(const QString& name);
// Inserts (id 0) or changes the row with that id, which must be the one that
// FindEntryID(name) gives: the lookup and the write run in one write
// transaction, and when the name is on no row or another row by then (another
// copy of the program deleted it or saved it meanwhile), nothing is written and
// the outcome is changedElsewhere with nameNowAt. `storedId`, when given,
// receives the id of the row written.
store::Outcome StoreEntry(qint64 id, const QString& name, const QString& hint, const QString& text,
                          qint64* storedId = nullptr);
// Deletes the row; no row of that id is a failure. No copy of the row's
// content stays in the file or its write-ahead log: a disk that fails the
// clearing is reported although the row is gone, and Retry clears again.
store::Outcome DeleteRecord(const QString& table, const QString& field, qint64 value);
// The same, for the row only while its nameField still holds expectedName
// (compared as FindEntryID compares), checked and deleted in one write
// transaction; a row that is gone or renamed is changedElsewhere.
store::Outcome DeleteRecord(const QString& table, const QString& field, qint64 value,
                            const QString& nameField, const QString& expectedName);
// Lists the text field of every row whose text is not empty, each entry
// carrying its own row's id field, then selects the first entry whose text
// (selectByText) or id (otherwise, wanted read as a number) equals wanted, or
// the first entry. When the table cannot be read the list is left empty.
store::Outcome FillListFromTable(store::EntryList& list, const QString& table, const QString& idField,
                                 const QString& textField, const QString& wanted, bool selectByText);
QString NullToEmpty(const QVariant& value);

} // namespace modCofra

namespace store {

// The "An Error Occured!" Abort/Retry/Ignore question; the user interface
// installs it. Retry runs the failed step again; Abort and Ignore both leave
// the step undone, and as each procedure's work is that one step, it fails.
enum class ErrorAnswer { Abort, Retry, Ignore };
// Without a prompt a failure is answered with Abort.
void setErrorPrompt(std::function<ErrorAnswer(const QString& text)> prompt);

// How long a procedure waits for another program that holds the file.
void setBusyTimeout(int milliseconds);
int busyTimeout();

// The database file in use: the one given to useDatabaseFile, or else
// strAppPath followed by the database file name.
QString databasePath();
// Makes every procedure use this file; an empty path returns to the program folder's.
void useDatabaseFile(const QString& path);

} // namespace store
