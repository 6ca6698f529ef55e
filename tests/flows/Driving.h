#pragma once
// Working the entry chooser and the key dialog as a user does: a control found
// by its name, clicked, typed into; the names the chooser lists. Test classes
// and fixtures inherit these.
#include "dialogs/frmOpenSave.h"
#include "tests/support/Typing.h"

#include <QLineEdit>
#include <QListWidget>

struct Driving {
    template <typename T = QLineEdit> static T* in(QWidget* w, const char* n) { return w->findChild<T*>(n); }
    static void click(QWidget* w, const char* n) { QTest::mouseClick(in<QWidget>(w, n), Qt::LeftButton); }
    static void type(QWidget* w, const char* name, const QString& text) { typeCharacters(in(w, name), text); }
    static frmOpenSave* chooser() { return frmOpenSave::loaded(); }
    static QListWidget* lstNames() { return in<QListWidget>(chooser(), "lstNames"); }
    static void select(const QString& name) {
        lstNames()->setCurrentItem(lstNames()->findItems(name, Qt::MatchExactly)[0]);
    }
    static QStringList listed() {
        QStringList names;
        for (int row = 0; row < lstNames()->count(); ++row)
            names << lstNames()->item(row)->text();
        return names;
    }
    // In the chooser that is up: a name typed over the proposed one, and Save.
    static void saveUnder(const QString& name) {
        in(chooser(), "txtName")->clear();
        type(chooser(), "txtName", name);
        click(chooser(), "cmdOpen");
    }
};
