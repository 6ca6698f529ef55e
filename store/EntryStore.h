#pragma once
#include <QString>
#include <QVariant>
#include <functional>

namespace store {
class EntryList;
}

// The entry database "QorCofra.db" in the program folder (modCofra::strAppPath),
// table tblCofra. Every procedure opens its own connection and closes it before
// it returns; nothing of the database stays open between calls.
namespace modCofra {

// Reads one entry. Returns empty on success, otherwise the error text.
QString LoadEntry(qint32 id, QString& name, QString& hint, QString& text);
// The lngID of the first row with that name (compared without regard to case), or 0.
qint32 FindEntryID(const QString& name);
// Inserts (id 0) or changes the row with that id. Returns empty on success, otherwise the error text.
QString StoreEntry(qint32 id, const QString& name, const QString& hint, const QString& text);
void DeleteRecord(const QString& table, const QString& field, qint32 value);
// Lists the text field of every row (at most 10000 rows; the listing also ends at
// the 101st empty text, and empty texts are never listed), each entry carrying its
// own row's id field. Then selects the first entry whose text (selectByText) or id
// (otherwise, wanted read as a number) equals wanted, or the first entry.
void FillListFromTable(store::EntryList& list, const QString& table, const QString& idField,
                       const QString& textField, const QString& wanted, bool selectByText);
QString NullToEmpty(const QVariant& value);

} // namespace modCofra

namespace store {

// The "An Error Occured!" Abort/Retry/Ignore question of the guarded procedures;
// the user interface installs it.
enum class ErrorAnswer { Abort, Retry, Ignore };
// Without a prompt a failure is answered with Abort.
void setErrorPrompt(std::function<ErrorAnswer(const QString& text)> prompt);

// strAppPath followed by the database file name.
QString databasePath();

} // namespace store
