// The program's windows as a screen reader sees them: every control has a name
// of its own, states are told in words, and a masked key never reaches it.
#include "dialogs/frmAbout.h"
#include "dialogs/frmDecrypt.h"
#include "dialogs/frmFind.h"
#include "dialogs/frmOpenSave.h"
#include "picker/ColourSwatch.h"
#include "picker/frmSmallColor.h"
#include "tests/app/AppFixture.h"

#include <QtWidgets>

namespace {

QString said(QWidget* widget, QAccessible::Text what = QAccessible::Description) {
    return QAccessible::queryAccessibleInterface(widget)->text(what);
}

// Parts of a composite control (a combo box's edit field, a list's viewport)
// are announced as part of it, not as controls of their own. Scroll bars are
// controls of their own to a screen reader, wherever they sit.
bool insideComposite(const QWidget* widget, const QWidget* window) {
    for (const QWidget* up = widget->parentWidget(); up && up != window; up = up->parentWidget())
        if (up->inherits("QAbstractScrollArea") || up->inherits("QComboBox") ||
            up->inherits("QAbstractSpinBox"))
            return !qobject_cast<const QScrollBar*>(widget);
    return false;
}

// Something a user can press, type into or choose from; a picture with a
// pointing hand is clicked like a button.
bool isControl(const QWidget* widget, QAccessible::Role role) {
    using A = QAccessible;
    static const QList<A::Role> kRoles = {A::PushButton,   A::CheckBox,   A::RadioButton, A::ComboBox,
                                          A::EditableText, A::List,       A::ScrollBar,   A::Slider,
                                          A::SpinBox,      A::ButtonMenu, A::ColorChooser};
    return kRoles.contains(role) || (widget->focusPolicy() & Qt::TabFocus) ||
           widget->cursor().shape() == Qt::PointingHandCursor;
}

// Every control of the window without a name, or with a name another control
// of its kind also has; and how many controls were looked at.
std::pair<QStringList, int> namingFaults(QWidget* window) {
    QStringList faults;
    QHash<std::pair<int, QString>, QString> first; // the first control of each kind and name
    int controls = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        // Dialogs owned by the window are windows of their own, walked on their own.
        if (widget->window() != window || insideComposite(widget, window) || !iface ||
            !isControl(widget, iface->role()))
            continue;
        ++controls;
        const std::pair<int, QString> kind{iface->role(), iface->text(QAccessible::Name).trimmed()};
        if (kind.second.isEmpty() || first.contains(kind))
            faults << QString("%1: \"%2\", also %3").arg(widget->objectName(), kind.second, first[kind]);
        first.insert(kind, widget->objectName());
    }
    return {faults, controls};
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasANameOfItsOwn() {
        AppFixture app;
        QWidget* main = app.window.get();
        QTest::mouseClick(main->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0")), Qt::LeftButton);
        for (const char* command : {"mnuFile_1", "mnuEdit_3", "MnuHelp"})
            app.action(QString::fromLatin1(command))->trigger();
        // The key dialog is modal; built without being shown, it holds the same controls.
        // Each window has at least as many controls as it is known to have, so
        // that a window the walk cannot see into does not pass unnoticed.
        const std::pair<QWidget*, int> windows[] = {{main, 12},
                                                    {frmDecrypt::shared(main), 7},
                                                    {frmOpenSave::loaded(), 5},
                                                    {frmFind::loaded(), 5},
                                                    {frmSmallColor::loaded(), 20},
                                                    {frmAbout::loaded(), 3}};
        for (const auto& [window, fewest] : windows) {
            QVERIFY(window);
            const auto [faults, controls] = namingFaults(window);
            QVERIFY2(faults.isEmpty(), qPrintable(window->objectName() + ": " + faults.join("; ")));
            QVERIFY2(controls >= fewest, qPrintable(window->objectName() + ": " + QString::number(controls)));
        }
        // On Linux an editable combo box is announced by its text; its field has
        // the name. (Labelled fields take their label's text: a missing or shared
        // label shows above as a missing or repeated name.)
        QCOMPARE(said(main->findChild<QComboBox*>("cboFSize")->lineEdit(), QAccessible::Name),
                 QString("Font size"));
        frmDecrypt::unloadShared();
    }

    void maskedBoxesShowOnlyStars() {
        AppFixture app;
        frmDecrypt* dialog = frmDecrypt::shared(app.window.get());
        dialog->SetMode(false, QString());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        auto* key = dialog->findChild<QLineEdit*>("txtPhiVer");
        auto* hint = dialog->findChild<QLineEdit*>("txtHint");
        // The dialog puts the caret in the key box once it is active.
        QTRY_VERIFY(key->hasFocus());
        QTest::keyClicks(key, "Secret7");
        hint->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(hint->hasFocus());
        QTest::keyClicks(hint, "the usual");

        // The hint box is readable while the user works in it, like the box itself.
        QCOMPARE(said(hint, QAccessible::Value), QString("the usual"));
        key->setFocus();
        QCOMPARE(said(hint, QAccessible::Value), QString(9, '*'));
        QAccessibleTextInterface* keyText = QAccessible::queryAccessibleInterface(key)->textInterface();
        QVERIFY(keyText);
        QCOMPARE(said(key, QAccessible::Value), QString(7, '*'));
        for (const QString& text : {keyText->text(0, keyText->characterCount()), said(key, QAccessible::Name),
                                    said(key, QAccessible::Description)})
            QVERIFY2(!text.contains("Secret"), qPrintable(text));
        // Unmasked by the user, the key is read out: the check above is not blind.
        dialog->findChild<QCheckBox*>("chkMask")->click();
        QCOMPARE(said(key, QAccessible::Value), QString("Secret7"));
        frmDecrypt::unloadShared();
    }

    void statesAreToldInWords() {
        AppFixture app;
        QCOMPARE(said(app.toolButton(0)), QString("The text is not encrypted"));
        app.window->editor()->setText("737F00D");
        QCOMPARE(said(app.toolButton(0)), QString("The text is encrypted"));
        app.window->editor()->setText("plain");
        QCOMPARE(said(app.toolButton(0)), QString("The text is not encrypted"));

        auto* swatch = app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0"));
        QVERIFY2(said(swatch).startsWith("System colour Window Text, now RGB("), qPrintable(said(swatch)));
        swatch->setBackColor(0x0000FF);
        QCOMPARE(said(swatch), QString("Red, RGB(255, 0, 0), #FF0000"));
        swatch->setBackColor(0x563412);
        QCOMPARE(said(swatch), QString("RGB(18, 52, 86), #123456"));

        // The palette tells the picker's current colour and its cell.
        QTest::mouseClick(swatch, Qt::LeftButton);
        frmSmallColor* picker = frmSmallColor::loaded();
        QVERIFY(picker);
        QWidget* palette = picker->findChild<QWidget*>("picQBColors");
        QCOMPARE(QAccessible::queryAccessibleInterface(palette)->role(), QAccessible::ColorChooser);
        QCOMPARE(said(palette), QString("Cell 15: White, RGB(255, 255, 255), #FFFFFF"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
