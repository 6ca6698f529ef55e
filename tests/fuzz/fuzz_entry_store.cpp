// The store's row reading over a database file made of the fuzzer's bytes:
// FillListFromTable and LoadEntry must survive any file and say when they
// failed, and when the bytes are a sound database of the program's schema, the
// list holds every named row in id order and each listed id loads the row of
// that name.
// Input: the database file itself.
#include "platform/AppPath.h"
#include "store/EntryList.h"
#include "store/EntryStore.h"
#include "tests/fuzz/FuzzInput.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <optional>

namespace {

class TinyList : public store::EntryList {
public:
    QList<store::EntryListItem> items;
    int current = -1;

    void clear() override {
        items.clear();
        current = -1;
    }
    void addItems(const QList<store::EntryListItem>& added) override { items += added; }
    int count() const override { return static_cast<int>(items.size()); }
    QString itemText(int index) const override { return items.at(index).text; }
    qint64 itemData(int index) const override { return items.at(index).id; }
    void setCurrentIndex(int index) override { current = index; }
};

struct Row {
    qint64 id;
    QString name;
};

// The table's statement as the schema gives it, blanks folded.
QString tableStatement() {
    QFile file(QStringLiteral(COFRA_SCHEMA_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString body;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("--")))
            body += line + QLatin1Char('\n');
    }
    for (const QString& statement : body.split(QLatin1Char(';'))) {
        if (statement.simplified().startsWith(QLatin1String("CREATE TABLE tblCofra")))
            return statement.simplified();
    }
    return QString();
}

// The rows, read without the store, when the file is a sound database whose
// table is the schema's; nothing otherwise.
std::optional<QList<Row>> soundRows(const QString& path) {
    std::optional<QList<Row>> rows;
    const QString name = QStringLiteral("fuzz-direct");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery query(db);
        static const QString statement = tableStatement();
        FUZZ_CHECK(!statement.isEmpty());
        if (db.open() && query.exec(QStringLiteral("PRAGMA integrity_check;")) && query.next() &&
            query.value(0).toString() == QLatin1String("ok") && !query.next() &&
            query.exec(QStringLiteral(
                "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'tblCofra';")) &&
            query.next() && query.value(0).toString().simplified() == statement &&
            query.exec(QStringLiteral("SELECT lngID, strName FROM tblCofra ORDER BY lngID;"))) {
            rows.emplace();
            while (query.next())
                rows->append({query.value(0).toLongLong(), modCofra::NullToEmpty(query.value(1))});
            if (query.lastError().isValid())
                rows.reset();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir folder;
    modCofra::strAppPath = platform::withOneTrailingSeparator(folder.path());
    // No one to ask: every failure ends the procedure, as Abort does.
    store::setErrorPrompt([](const QString&) { return store::ErrorAnswer::Abort; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = store::databasePath();
    // A journal left by the previous file would be played into this one.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                   static_cast<qint64>(size));
    }

    TinyList list;
    const store::Outcome filled =
        modCofra::FillListFromTable(list, QStringLiteral("tblCofra"), QStringLiteral("lngID"),
                                    QStringLiteral("strName"), QString(), false);
    // A failure is never silent, and leaves the list empty.
    FUZZ_CHECK(filled.ok == filled.error.isEmpty());
    FUZZ_CHECK(filled.ok || list.items.isEmpty());
    FUZZ_CHECK(list.current == (list.items.isEmpty() ? -1 : 0));
    for (const store::EntryListItem& item : std::as_const(list.items)) {
        const QString unread = QStringLiteral("unread");
        QString name = unread, hint = unread, text = unread;
        const store::Outcome loaded = modCofra::LoadEntry(item.id, name, hint, text);
        FUZZ_CHECK(loaded.ok == loaded.error.isEmpty());
        // A failed read leaves the caller's texts as they were.
        if (!loaded)
            FUZZ_CHECK(name == unread && hint == unread && text == unread);
    }

    const std::optional<QList<Row>> rows = soundRows(path);
    if (!rows)
        return 0;
    // What the list shows: every row with a name, in id order.
    QList<Row> expected;
    for (const Row& row : *rows) {
        if (!row.name.isEmpty())
            expected.append(row);
    }
    FUZZ_CHECK(filled.ok);
    FUZZ_CHECK(list.items.size() == expected.size());
    for (qsizetype k = 0; k < expected.size(); ++k) {
        FUZZ_CHECK(list.items[k].text == expected[k].name && list.items[k].id == expected[k].id);
        QString name, hint, text;
        FUZZ_CHECK(modCofra::LoadEntry(list.items[k].id, name, hint, text).ok);
        FUZZ_CHECK(name == expected[k].name);
    }
    return 0;
}
