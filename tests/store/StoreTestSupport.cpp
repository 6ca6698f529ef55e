#include "tests/store/StoreTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>
#include <unistd.h>

namespace {

bool withDatabase(const QString& path, const std::function<bool(QSqlDatabase&)>& work) {
    const QString name = QStringLiteral("test-direct");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = QFile::exists(path) && db.open() && work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

bool sqlExec(const QString& path, const QString& statement) {
    return withDatabase(path, [&](QSqlDatabase& db) { return QSqlQuery(db).exec(statement); });
}

QStringList sqlRows(const QString& path, const QString& query) {
    QStringList rows;
    withDatabase(path, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(query))
            return false;
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            rows << fields.join(QLatin1Char('|'));
        }
        return true;
    });
    return rows;
}

bool insertNames(const QString& path, const QStringList& names) {
    return withDatabase(path, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!db.transaction() || !q.prepare(QStringLiteral("INSERT INTO tblCofra (strName) VALUES (?)")))
            return false;
        for (const QString& name : names) {
            q.addBindValue(name.isNull() ? QVariant() : QVariant(name));
            if (!q.exec())
                return false;
        }
        return db.commit();
    });
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray folderSnapshot(const QString& folder) {
    QByteArray snapshot;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        snapshot += info.fileName().toUtf8() + (info.isDir() ? "/" : "") + ' ' +
                    QByteArray::number(info.size()) + ' ' +
                    QCryptographicHash::hash(fileBytes(info.filePath()), QCryptographicHash::Sha256).toHex() +
                    '\n';
    }
    return snapshot;
}

bool breakDatabase(const QString& path, const QString& fault) {
    const bool root = geteuid() == 0;
    if (fault == QLatin1String("missing"))
        return QFile::remove(path);
    if (fault == QLatin1String("unreadable")) {
        if (!root)
            return QFile::setPermissions(path, {});
        return QFile::remove(path) && QDir().mkdir(path);
    }
    if (fault == QLatin1String("read-only")) {
        if (!root)
            return QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        // A file format write version above 2 makes the engine treat the file as read-only.
        QFile file(path);
        return file.open(QIODevice::ReadWrite) && file.seek(18) && file.write("\x03", 1) == 1;
    }
    if (fault == QLatin1String("garbage")) {
        QByteArray noise(8192, '\0');
        QRandomGenerator generator(737);
        for (char& byte : noise)
            byte = char(generator.bounded(256));
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(noise) == noise.size();
    }
    return false;
}

QString writerText(quint32 seed) {
    QRandomGenerator generator(seed);
    QString text(int(generator.bounded(1024, 16384)), Qt::Uninitialized);
    for (QChar& c : text)
        c = QChar(char16_t(generator.bounded(32, 127)));
    return text;
}
