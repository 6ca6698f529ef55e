#pragma once
#include <QString>

namespace resources {

// The entry database's schema as shipped with the program.
QString databaseSchema();
// Creates a new database file from the schema. Refuses (returns false) when the
// file already exists, so a user's entries are never overwritten; the file
// appears whole or not at all.
bool createDatabase(const QString& path, QString* error = nullptr);

} // namespace resources
