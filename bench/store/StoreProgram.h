#pragma once
// The program as the store benchmarks drive it: a main window over a
// throw-away folder, its chooser and key dialog answered as a user would.
#include "app/frmCofra.h"
#include "dialogs/frmDecrypt.h"
#include "dialogs/frmOpenSave.h"
#include "editor/EntryEditor.h"
#include "flows/StoreErrorBox.h"
#include "platform/AppPath.h"
#include "platform/SettingsStore.h"
#include "store/EntryStore.h"
#include "tests/support/ScriptedMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

namespace bench {

inline void print(const char* name, double value) {
    std::printf("%s %.3f\n", name, value);
}

inline long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Runs `act` on the key dialog as soon as it is shown, recording when that was.
class KeyDialogWatch : public QObject {
public:
    std::function<void(QWidget*)> act;
    QElapsedTimer* clock = nullptr;
    double shownAt = -1;
    long peakAtShowKb = -1; // the peak resident memory when the dialog came up

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && act && qobject_cast<frmDecrypt*>(watched)) {
            auto* dialog = static_cast<QWidget*>(watched);
            if (QWidget* owner = dialog->parentWidget())
                owner->repaint(); // the ciphertext behind the dialog is on the screen as well
            shownAt = clock ? clock->nsecsElapsed() / 1e6 : -1;
            peakAtShowKb = statusKb("VmHWM:");
            QTimer::singleShot(0, dialog, [dialog, todo = std::move(act)] { todo(dialog); });
            act = nullptr;
        }
        return false;
    }
};

// Types the key (and the hint, and in SET mode chooses the form), then starts
// okClock and presses OK.
inline void typeKeyAndOk(QWidget* dialog, const QString& key, const QString& hint, QElapsedTimer* okClock,
                         bool strong = false) {
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("txtPhiVer")), key);
    if (auto* txtHint = dialog->findChild<QLineEdit*>(QStringLiteral("txtHint")); txtHint && !hint.isEmpty())
        txtHint->setText(hint);
    if (auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("chkStrong")); box && box->isVisible())
        box->setChecked(strong);
    auto* button = dialog->findChild<QPushButton*>(key.isEmpty() ? QStringLiteral("cmdCancel")
                                                                 : QStringLiteral("cmdOK"));
    if (okClock)
        okClock->start();
    button->click();
}

inline QPushButton* chooserButton() {
    return frmOpenSave::loaded()->findChild<QPushButton*>(QStringLiteral("cmdOpen"));
}

inline QListWidget* chooserList() {
    return frmOpenSave::loaded()->findChild<QListWidget*>(QStringLiteral("lstNames"));
}

// A 1 MB text of one kind: sentences without a line break, as a pasted text.
inline QString sentences(qsizetype characters) {
    QString text;
    text.reserve(characters);
    while (text.size() < characters)
        text += QStringLiteral("The quick brown fox jumps over the lazy dog %1. ").arg(text.size());
    text.truncate(characters);
    return text;
}

// A connection of the bench's own beside the program's, for the floors.
inline QSqlDatabase benchConnection() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
    db.setDatabaseName(store::databasePath());
    db.open();
    return db;
}

struct Program {
    QTemporaryDir scratch;
    ScriptedMessages boxes; // "Save Changes?" and the like are answered No / default
    std::unique_ptr<frmCofra> window;
    KeyDialogWatch watch;

    explicit Program(const QString& folder) {
        modCofra::strAppPath = folder + QLatin1Char('/');
        platform::SettingsStore::useFile(scratch.filePath(QStringLiteral("settings.ini")));
        store::installErrorBox();
        window = std::make_unique<frmCofra>();
        window->Form_Load();
        if (!QTest::qWaitForWindowExposed(window.get()))
            std::fprintf(stderr, "  the main window did not come up\n");
        qApp->installEventFilter(&watch);
    }
    ~Program() { qApp->removeEventFilter(&watch); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    QAbstractButton* tool(int index) const {
        return window->findChild<QAbstractButton*>(QStringLiteral("cmdToolBar_%1").arg(index));
    }
    EntryEditor* editor() const { return window->editor(); }
    void newEntry() {
        boxes.queue(QMessageBox::No);
        window->cmdToolBar_Click(3);
    }
    // Saves the editor text under the name through the chooser and the key
    // dialog; okClock runs from the key dialog's OK until the ciphertext is shown.
    void save(const QString& name, const QString& key, bool strong, QElapsedTimer* okClock) {
        tool(2)->click();
        frmOpenSave::loaded()->findChild<QLineEdit*>(QStringLiteral("txtName"))->setText(name);
        watch.clock = nullptr;
        watch.act = [key, strong, okClock](QWidget* dialog) {
            typeKeyAndOk(dialog, key, QStringLiteral("hint"), okClock, strong);
        };
        chooserButton()->click();
        editor()->viewport()->repaint();
    }
    // Opens the entry through the chooser and answers the key dialog with
    // the key; returns when the plain text is shown.
    void open(const QString& name, const QString& key, QElapsedTimer* openClock, QElapsedTimer* okClock) {
        choose(name);
        confirm(key, openClock, okClock);
    }
    void choose(const QString& name) const {
        tool(1)->click();
        chooserList()->setCurrentItem(chooserList()->findItems(name, Qt::MatchExactly).value(0));
    }
    void confirm(const QString& key, QElapsedTimer* openClock, QElapsedTimer* okClock) {
        watch.clock = openClock;
        watch.act = [key, okClock](QWidget* dialog) { typeKeyAndOk(dialog, key, QString(), okClock); };
        if (openClock)
            openClock->start();
        chooserButton()->click();
        editor()->viewport()->repaint();
    }
};

// The strong form's figures: one key derivation at the defaults, and open and
// save of a 1 MB strong entry over their floors (StrongFigures.cpp).
void strongFigures(Program& program, const QSqlDatabase& db);

} // namespace bench
