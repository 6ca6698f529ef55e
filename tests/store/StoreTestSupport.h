#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Direct access to a database file for the store's tests, on a connection of
// the test's own, so that the procedures under test can be checked from outside.

bool sqlExec(const QString& path, const QString& statement);
// Every row of the result, its fields joined by "|" (a null field reads as "<null>").
QStringList sqlRows(const QString& path, const QString& query);
// One row per name in the given order (a null name is stored as null), in one transaction.
bool insertNames(const QString& path, const QStringList& names);
QByteArray fileBytes(const QString& path);
// Names, sizes and contents of everything in a folder.
QByteArray folderSnapshot(const QString& folder);
// Makes the database "missing", "unreadable", "read-only" or "garbage". Root
// reads and writes through file permissions, so then the unreadable file becomes
// a folder and the read-only one is marked read-only in its own header.
bool breakDatabase(const QString& path, const QString& fault);

// The text of an entry written by the store writer helper: printable, 1 to 64 KB, fixed by the seed.
QString writerText(quint32 seed);
// The key the store writer helper uses for an entry name.
inline QString writerKey(const QString& name) {
    return QStringLiteral("key-") + name;
}
