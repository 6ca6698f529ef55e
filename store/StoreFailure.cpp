#include "store/StoreFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace store {
namespace {

// The primary result codes of the engine that a user can do something about.
enum EngineCode {
    Error = 1,
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADatabase = 26,
};
// The disk operation an IoError's extended code (code >> 8) names.
enum IoErrorKind {
    IoErrorRead = 1,
    IoErrorShortRead = 2,
    IoErrorWrite = 3,
    IoErrorSync = 4,
    IoErrorFolderSync = 5,
    IoErrorTruncate = 6,
    IoErrorFileSize = 7,
    IoErrorDelete = 10,
};

QString quoted(const QString& path) {
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

bool hasDatabaseHeader(const QString& path) {
    QFile file(path);
    static const QByteArray header("SQLite format 3", 16);
    return file.open(QIODevice::ReadOnly) && file.read(header.size()) == header;
}

// The file's own state first (that is what the user can see and mend), then
// what the engine said.
QString explain(const StoreError& error, const QString& path) {
    if (error.number == NoRowCode)
        return QStringLiteral("The entry is no longer in the database: it may have been deleted meanwhile, "
                              "for example by another copy of the program.");
    const QFileInfo file(path);
    const QString name = quoted(file.absoluteFilePath());
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("The folder %1 that should hold the entry database does not exist.")
            .arg(quoted(folder.absoluteFilePath()));
    if (!file.exists())
        return QStringLiteral("The entry database %1 is missing. The program keeps its entries in this file "
                              "and never creates it: put the file back and try again.")
            .arg(name);
    if (file.isDir())
        return QStringLiteral("%1 is a folder, not the entry database file.").arg(name);
    if (!file.isReadable())
        return QStringLiteral("You may not read the entry database %1: its permissions do not allow it.")
            .arg(name);
    if (file.size() == 0)
        return QStringLiteral("The entry database %1 is empty (0 bytes): it holds no table of entries. Put "
                              "the program's own database file in its place.")
            .arg(name);
    if (!hasDatabaseHeader(path))
        return QStringLiteral("%1 is not an entry database: the file is damaged or is another kind of file.")
            .arg(name);
    switch (error.number & 0xFF) {
    case Busy:
    case Locked:
        return QStringLiteral("Another program is using the entry database %1 and did not let go of it in "
                              "time. Close the other program (or the other copy of this one), then choose "
                              "Retry.")
            .arg(name);
    case ReadOnly:
    case CantOpen:
        if (!file.isWritable())
            return QStringLiteral("The entry database %1 is read-only: it cannot be changed.").arg(name);
        if (!folder.isWritable())
            return QStringLiteral("The folder %1 is not writable, and changing the entry database needs "
                                  "room for its journal beside it.")
                .arg(quoted(folder.absoluteFilePath()));
        // Neither the file nor its folder refuses, so the system did: too many
        // open files, a disk that went away, a journal it would not make.
        if ((error.number & 0xFF) == CantOpen)
            return QStringLiteral("The entry database %1, or the journal the program keeps beside it while "
                                  "writing, could not be opened: the system refused it.")
                .arg(name);
        return QStringLiteral("The entry database %1 can only be read: it was written by a newer version of "
                              "the database engine, or it is marked read-only.")
            .arg(name);
    case Full:
        return QStringLiteral("The disk that holds the entry database %1 is full.").arg(name);
    case IoError:
        // The engine's extended code says which of the disk's operations failed.
        switch (error.number >> 8) {
        case IoErrorRead:
        case IoErrorShortRead:
        case IoErrorFileSize:
            return QStringLiteral("The entry database %1 could not be read: the disk reported an error while "
                                  "reading it.")
                .arg(name);
        case IoErrorWrite:
        case IoErrorSync:
        case IoErrorFolderSync:
        case IoErrorTruncate:
        case IoErrorDelete:
            return QStringLiteral(
                       "The entry database %1 could not be written: the disk reported an error while "
                       "writing to it or to the journal beside it.")
                .arg(name);
        default:
            return QStringLiteral("The entry database %1 could not be read or written: the disk reported an "
                                  "error.")
                .arg(name);
        }
    case Corrupt:
    case NotADatabase:
        // The file starts as an entry database should, so either it is damaged
        // or the disk gave back less than it holds; only trying again tells.
        return QStringLiteral(
                   "The entry database %1 could not be read: what the disk gave back is damaged. If "
                   "Retry does not help, the file itself is damaged.")
            .arg(name);
    case Error:
        if (error.description.contains(QLatin1String("no such table")) ||
            error.description.contains(QLatin1String("no such column")))
            return QStringLiteral("The entry database %1 holds no table of entries: it is not this program's "
                                  "database, or it is damaged.")
                .arg(name);
        break;
    default:
        break;
    }
    return QStringLiteral("The entry database %1 could not be used.").arg(name);
}

} // namespace

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

StoreError noRowError(qint64 id) {
    return {NoRowCode, QStringLiteral("There is no entry with the id %1").arg(id),
            QStringLiteral("tblCofra")};
}

QString errorText(const StoreError& error, const QString& databaseFile) {
    return QStringLiteral("Error: ") + QString::number(error.number) + QStringLiteral(" - ") +
           error.description + QStringLiteral("\r\nFrom: ") + error.component + QLatin1Char('.') +
           QStringLiteral("\r\n\r\n") + explain(error, databaseFile);
}

QString explainError(const StoreError& error, const QString& databaseFile) {
    return explain(error, databaseFile);
}

} // namespace store
