// Figures of the entry store, as the user meets them:
//   store_list_10k_ms     the chooser refilling its list from 10,000 entries
//   store_find_10k_ms     one name lookup in a table of 10,000 entries
//   store_save_1mb_ms     key dialog OK until a 1 MB text is stored and its ciphertext shown
//   store_open_1mb_ms     chooser Open until the key dialog is shown over the 2 MB ciphertext
//   store_open_ratio_1mb  that open time over the time a bare wrap-anywhere QPlainTextEdit
//                         takes to show the same ciphertext
//   store_list_100k_ms    the chooser refilling its list from 100,000 entries
// Each figure is the median of several runs.
#include "app/editor/EntryEditor.h"
#include "app/frmCofra.h"
#include "bench/common/Median.h"
#include "dialogs/frmDecrypt.h"
#include "dialogs/frmOpenSave.h"
#include "platform/AppPath.h"
#include "platform/SettingsStore.h"
#include "resources/DatabaseSchema.h"
#include "store/EntryStore.h"
#include "flows/StoreErrorBox.h"
#include "tests/support/ScriptedMessages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int Runs = 5;

void print(const char* name, double value) {
    std::printf("%s %.3f\n", name, value);
}

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

// Runs `act` on the key dialog as soon as it is shown, recording when that was.
class KeyDialogWatch : public QObject {
public:
    std::function<void(QWidget*)> act;
    QElapsedTimer* clock = nullptr;
    double shownAt = -1;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && act && qobject_cast<frmDecrypt*>(watched)) {
            auto* dialog = static_cast<QWidget*>(watched);
            if (QWidget* owner = dialog->parentWidget())
                owner->repaint(); // the ciphertext behind the dialog is on the screen as well
            shownAt = clock ? clock->nsecsElapsed() / 1e6 : -1;
            QTimer::singleShot(0, dialog, [dialog, todo = std::move(act)] { todo(dialog); });
            act = nullptr;
        }
        return false;
    }
};

void typeKeyAndOk(QWidget* dialog, const QString& key, const QString& hint, QElapsedTimer* okClock) {
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("txtPhiVer")), key);
    if (auto* txtHint = dialog->findChild<QLineEdit*>(QStringLiteral("txtHint")); txtHint && !hint.isEmpty())
        txtHint->setText(hint);
    auto* button = dialog->findChild<QPushButton*>(key.isEmpty() ? QStringLiteral("cmdCancel")
                                                                 : QStringLiteral("cmdOK"));
    if (okClock)
        okClock->start();
    button->click();
}

QPushButton* chooserButton() {
    return frmOpenSave::loaded()->findChild<QPushButton*>(QStringLiteral("cmdOpen"));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    modCofra::strAppPath = folder.path() + QLatin1Char('/');
    platform::SettingsStore::useFile(folder.filePath(QStringLiteral("settings.ini")));
    resources::createDatabase(store::databasePath());
    fillTable(store::databasePath(), 10000);
    store::installErrorBox();
    ScriptedMessages boxes; // "Save Changes?" and the like are answered No / default

    frmCofra window;
    window.Form_Load();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    auto* toolOpen = window.findChild<QAbstractButton*>(QStringLiteral("cmdToolBar_1"));
    auto* toolSave = window.findChild<QAbstractButton*>(QStringLiteral("cmdToolBar_2"));
    EntryEditor* txtMain = window.editor();

    // The list: the chooser's own refill over 10,000 entries.
    toolOpen->click();
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
    for (qint32 id = 9999; id > 9990; --id)
        modCofra::DeleteRecord(QStringLiteral("tblCofra"), QStringLiteral("lngID"), id);
    QString plain;
    plain.reserve(1 << 20);
    while (plain.size() < (1 << 20))
        plain += QStringLiteral("The quick brown fox jumps over the lazy dog %1. ").arg(plain.size());
    plain.truncate(1 << 20);

    KeyDialogWatch watch;
    app.installEventFilter(&watch);
    QList<double> save, open, ratio;
    for (int run = 0; run < Runs; ++run) {
        const QString name = QStringLiteral("Big %1").arg(run);
        txtMain->setText(plain);
        QCoreApplication::processEvents();
        toolSave->click();
        frmOpenSave::loaded()->findChild<QLineEdit*>(QStringLiteral("txtName"))->setText(name);
        QElapsedTimer okClock;
        watch.clock = nullptr;
        watch.act = [&](QWidget* dialog) {
            typeKeyAndOk(dialog, QStringLiteral("key"), QStringLiteral("hint"), &okClock);
        };
        chooserButton()->click();
        txtMain->viewport()->repaint();
        save << okClock.nsecsElapsed() / 1e6;

        boxes.queue(QMessageBox::No);
        window.cmdToolBar_Click(3); // New
        toolOpen->click();
        auto* lstNames = frmOpenSave::loaded()->findChild<QListWidget*>(QStringLiteral("lstNames"));
        lstNames->setCurrentItem(lstNames->findItems(name, Qt::MatchExactly).value(0));
        QElapsedTimer openClock;
        watch.clock = &openClock;
        watch.act = [](QWidget* dialog) { typeKeyAndOk(dialog, QString(), QString(), nullptr); };
        openClock.start();
        chooserButton()->click();
        open << watch.shownAt;
        const QString cipher = txtMain->Text();

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

        boxes.queue(QMessageBox::No);
        window.cmdToolBar_Click(3);
    }
    print("store_save_1mb_ms", bench::median(save));
    print("store_open_1mb_ms", bench::median(open));
    print("store_open_ratio_1mb", bench::median(ratio));
    app.removeEventFilter(&watch);

    // The chooser filled from 100,000 entries.
    fillTable(store::databasePath(), 100000 - 10000);
    toolOpen->click();
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
