#pragma once
#include <QString>

// Which entry database the program uses, decided once at start-up:
// 1. the file asked for on the command line, when it is an entry database;
// 2. else "QorCofra.db" in the program folder, when the user may write there
//    and the folder holds one: a portable install, or one into a folder of the
//    user's own, keeps its entries beside the program as it always did;
// 3. else "QorCofra.db" in the user's data folder (QStandardPaths::AppDataLocation,
//    ~/.local/share/QorCofra/), made from the schema when it is not there yet
//    and never replaced. A system-wide install (whose folder has no database,
//    and which even root should not write into) thus gives every user a file
//    of their own, and removing the program leaves it in place.
namespace store {

struct DatabaseChoice {
    QString path;    // the file to use
    QString problem; // empty, or why the file cannot be used, in words for the user
};

// `requested` is the command line's file, empty when none was given.
DatabaseChoice chooseDatabase(const QString& requested, const QString& programFolder,
                              bool programFolderWritable);
// Whether the running user may make and change files in the folder.
bool mayWriteIn(const QString& folder);
// The user's own database file in their data folder.
QString userDatabasePath();
// Empty when the file holds the table of entries; otherwise why it is not an entry database.
QString entryDatabaseProblem(const QString& path);

} // namespace store
