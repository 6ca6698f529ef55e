// Figures of the entry store, as the user meets them:
//   store_list_10k_ms         the chooser refilling its list from 10,000 entries
//   store_find_10k_ms         one name lookup in a table of 10,000 entries
//   store_save_1mb_ms         key dialog OK until a 1 MB text is stored and its ciphertext shown
//   store_open_1mb_ms         chooser Open until the key dialog is shown over the 2 MB ciphertext
//   store_open_ratio_1mb      that open time over the time a bare wrap-anywhere QPlainTextEdit
//                             takes to show the same ciphertext
//   store_decrypt_1mb_ms      key dialog OK until the plain text is shown
//   store_open_floor_ratio    open plus decrypt time over the floor of opening: one query
//                             reading the row and one RC4Transform over its ciphertext
//   store_save_floor_ratio    the save time over the floor of saving: one RC4Transform of the
//                             key and the text and one write of the row
//   strong_kdf_ms             one Argon2id key derivation at the strong form's defaults
//   store_open_strong_floor_ratio  chooser Open until the key dialog shows plus OK until the plain
//                             text is painted, for a 1 MB strong entry, over one read of its row,
//                             one key derivation and one decryption of its blob
//   store_save_strong_floor_ratio  key dialog OK until a 1 MB text is stored strongly and shown,
//                             over one key derivation, one encryption and one write of the row
//   store_list_100k_ms        the chooser refilling its list from 100,000 entries
//   store_open_10mb_peak_rss_mb  the growth of the peak resident memory while a 10 MB entry
//                             (a 20-million-character ciphertext) is opened and decrypted, in a
//                             process of its own; store_open_10mb_ms how long that took
// Each figure is the median of several runs; the floors are timed in the same runs.
#include "bench/common/Median.h"
#include "bench/store/StoreProgram.h"
#include "crypto/TextCipher.h"
#include "resources/DatabaseSchema.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace {

using namespace bench;

constexpr int Runs = 5;

// 10,000 entries straight into the file, in one transaction.
void fillTable(const QString& path, int count) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery query(db);
        query.prepare(
            QStringLiteral("INSERT INTO tblCofra (strName, strPassHint, strEntry) VALUES (?, 'h', '7370A')"));
        for (int n = 0; n < count; ++n) {
            query.addBindValue(QStringLiteral("Entry %1").arg(n, 5, 10, QChar('0')));
            query.exec();
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
}

// The least any open must do: read the row and decrypt its ciphertext.
double openFloorMs(const QSqlDatabase& db, qint64 id, const QString& key, QString* cipher) {
    QElapsedTimer clock;
    clock.start();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT strName, strPassHint, strEntry FROM tblCofra WHERE lngID = ?"));
    query.addBindValue(id);
    query.exec();
    query.next();
    *cipher = query.value(2).toString();
    const QString plain = modCofra::RC4Transform(*cipher, key);
    const double ms = clock.nsecsElapsed() / 1e6;
    return plain.isEmpty() ? -1 : ms;
}

// The least any save must do: encrypt the key and the text, and write the row.
double saveFloorMs(const QSqlDatabase& db, const QString& plain, const QString& key) {
    QElapsedTimer clock;
    clock.start();
    const QString cipher = modCofra::RC4Transform(key + plain, key);
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("INSERT INTO tblCofra (strName, strPassHint, strEntry) VALUES ('floor', 'h', ?)"));
    query.addBindValue(cipher);
    const bool stored = query.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    QSqlQuery cleanup(db);
    if (!stored || !cleanup.exec(QStringLiteral("DELETE FROM tblCofra WHERE strName = 'floor'")))
        std::fprintf(stderr, "  the floor's row write went wrong: %s\n",
                     qPrintable((stored ? cleanup : query).lastError().text()));
    return ms;
}

// In a process of its own, so that nothing freed earlier is counted or
// reused: opens the entry "Huge" and prints the growth of the peak resident
// memory in MB, and the time it took in ms.
int openHugeEntry(const QString& folder) {
    Program program(folder);
    program.choose(QStringLiteral("Huge")); // the chooser's own memory is not the entry's
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly))
        reset.write("5"); // the peak starts again from the present
    reset.close();
    const long before = statusKb("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    program.confirm(QStringLiteral("key"), nullptr, nullptr);
    const double ms = clock.nsecsElapsed() / 1e6;
    const long peak = statusKb("VmHWM:");
    std::fprintf(stderr, "  10 MB entry: peak growth %.1f MB by the key dialog, %.1f MB in all\n",
                 (program.watch.peakAtShowKb - before) / 1024.0, (peak - before) / 1024.0);
    std::printf("%.1f %.1f %d\n", (peak - before) / 1024.0, ms, program.editor()->length());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--open-huge") == 0)
        return openHugeEntry(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir folder;
    modCofra::strAppPath = folder.path() + QLatin1Char('/');
    resources::createDatabase(store::databasePath());
    fillTable(store::databasePath(), 10000);
    Program program(folder.path());
    EntryEditor* txtMain = program.editor();

    // The list: the chooser's own refill over 10,000 entries.
    program.tool(1)->click();
    QList<double> list;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        frmOpenSave::loaded()->RefreshNameList();
        list << clock.nsecsElapsed() / 1e6;
    }
    frmOpenSave::unload();
    print("store_list_10k_ms", bench::median(list));

    QList<double> find;
    for (int run = 0; run < 50; ++run) {
        QElapsedTimer clock;
        clock.start();
        modCofra::FindEntryID(QStringLiteral("Entry %1").arg(run * 199, 5, 10, QChar('0')));
        find << clock.nsecsElapsed() / 1e6;
    }
    print("store_find_10k_ms", bench::median(find));

    // 1 MB of plain text, saved under a new name each run, then opened again. The
    // list shows no more than 10,000 entries, so some room is made for them.
    modCofra::DeleteRecord(QStringLiteral("tblCofra"), QStringLiteral("lngID"), 10000);
    for (qint64 id = 9999; id > 9990; --id)
        modCofra::DeleteRecord(QStringLiteral("tblCofra"), QStringLiteral("lngID"), id);
    const QString plain = sentences(1 << 20);
    const QString key = QStringLiteral("key");
    QSqlDatabase db = benchConnection();

    QList<double> save, open, ratio, decrypt, openFloor, saveFloor, openOverFloor, saveOverFloor;
    for (int run = 0; run < Runs; ++run) {
        const QString name = QStringLiteral("Big %1").arg(run);
        txtMain->setText(plain);
        QCoreApplication::processEvents();
        QElapsedTimer okClock;
        program.save(name, key, false, &okClock);
        save << okClock.nsecsElapsed() / 1e6;
        saveFloor << saveFloorMs(db, plain, key);
        saveOverFloor << save.last() / saveFloor.last();

        program.newEntry();
        QElapsedTimer openClock;
        program.open(name, key, &openClock, &okClock);
        open << program.watch.shownAt;
        decrypt << okClock.nsecsElapsed() / 1e6;
        if (txtMain->Text() != plain)
            std::fprintf(stderr, "  the entry did not open to its text\n");
        QString cipher;
        openFloor << openFloorMs(db, modCofra::FindEntryID(name).value_or(-1), key, &cipher);
        openOverFloor << (open.last() + decrypt.last()) / openFloor.last();

        QPlainTextEdit edit;
        edit.setWordWrapMode(QTextOption::WrapAnywhere);
        edit.resize(txtMain->size());
        edit.show();
        if (!QTest::qWaitForWindowExposed(&edit))
            return 1;
        QElapsedTimer bareClock;
        bareClock.start();
        edit.setPlainText(cipher);
        edit.repaint();
        ratio << open.last() / (bareClock.nsecsElapsed() / 1e6);
        program.newEntry();
    }
    print("store_save_1mb_ms", bench::median(save));
    print("store_open_1mb_ms", bench::median(open));
    print("store_open_ratio_1mb", bench::median(ratio));
    print("store_decrypt_1mb_ms", bench::median(decrypt));
    std::fprintf(stderr, "  floors: open %.1f ms, save %.1f ms\n", bench::median(openFloor),
                 bench::median(saveFloor));
    print("store_open_floor_ratio", bench::median(openOverFloor));
    print("store_save_floor_ratio", bench::median(saveOverFloor));

    strongFigures(program, db);

    // 10 MB, stored straight into the file and opened by a process of its own.
    {
        const QString huge = sentences(10 << 20);
        QSqlQuery insert(db);
        insert.prepare(
            QStringLiteral("INSERT INTO tblCofra (strName, strPassHint, strEntry) VALUES ('Huge', 'h', ?)"));
        insert.addBindValue(modCofra::RC4Transform(key + huge, key));
        insert.exec();
    }
    db.close();
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open-huge"), folder.path()});
    child.waitForFinished(300000);
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 3 || figures[2].toInt() != (10 << 20))
        std::fprintf(stderr, "  the 10 MB entry did not open to its text: %s\n",
                     figures.join(' ').constData());
    print("store_open_10mb_peak_rss_mb", figures.value(0).toDouble());
    print("store_open_10mb_ms", figures.value(1).toDouble());

    // The chooser filled from 100,000 entries.
    fillTable(store::databasePath(), 100000 - 10000);
    program.tool(1)->click();
    QList<double> bigList;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        frmOpenSave::loaded()->RefreshNameList();
        bigList << clock.nsecsElapsed() / 1e6;
    }
    frmOpenSave::unload();
    print("store_list_100k_ms", bench::median(bigList));
    return 0;
}
