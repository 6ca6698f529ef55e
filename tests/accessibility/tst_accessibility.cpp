// The program's windows as a screen reader sees them: every control has a name
// of its own, states are told in words, and a masked key never reaches it.
#include "dialogs/frmAbout.h"
#include "dialogs/frmDecrypt.h"
#include "dialogs/frmFind.h"
#include "dialogs/frmOpenSave.h"
#include "editor/EntryEditor.h"
#include "picker/ColourSwatch.h"
#include "picker/frmSmallColor.h"
#include "tests/app/AppFixture.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {

QAccessibleInterface* accessible(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

// Parts of a composite control (a combo box's edit field, a list's viewport)
// are announced as part of it, not as controls of their own. Scroll bars are
// controls of their own to a screen reader, wherever they sit.
bool insideComposite(const QWidget* widget, const QWidget* window) {
    if (qobject_cast<const QScrollBar*>(widget))
        return false;
    for (const QWidget* up = widget->parentWidget(); up && up != window; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(up) || qobject_cast<const QComboBox*>(up) ||
            qobject_cast<const QAbstractSpinBox*>(up))
            return true;
    }
    return false;
}

// Something a user can press, type into or choose from.
bool isControl(const QWidget* widget, QAccessible::Role role) {
    static const QList<QAccessible::Role> kRoles = {
        QAccessible::PushButton,   QAccessible::CheckBox,   QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::List,       QAccessible::ScrollBar,   QAccessible::Slider,
        QAccessible::SpinBox,      QAccessible::ButtonMenu, QAccessible::ColorChooser};
    // A picture with a pointing hand is clicked like a button.
    return kRoles.contains(role) || (widget->focusPolicy() & Qt::TabFocus) ||
           widget->cursor().shape() == Qt::PointingHandCursor;
}

// Every control of the window without a name, or with a name another control
// of its kind also has; and how many controls were looked at.
std::pair<QStringList, int> namingFaults(QWidget* window) {
    QStringList faults;
    QMap<std::pair<int, QString>, QStringList> byName;
    int controls = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* iface = accessible(widget);
        // Dialogs owned by the window are windows of their own, walked on their own.
        if (widget->window() != window || insideComposite(widget, window) || !iface ||
            !isControl(widget, iface->role()))
            continue;
        ++controls;
        const QString name = iface->text(QAccessible::Name).trimmed();
        if (name.isEmpty())
            faults << widget->objectName() + QStringLiteral(" has no name");
        else
            byName[{iface->role(), name}] << widget->objectName();
    }
    for (auto it = byName.cbegin(); it != byName.cend(); ++it) {
        if (it.value().size() > 1)
            faults << QStringLiteral("\"%1\" names %2")
                          .arg(it.key().second, it.value().join(QStringLiteral(", ")));
    }
    return {faults, controls};
}

QString value(QWidget* widget) {
    return accessible(widget)->text(QAccessible::Value);
}
QString description(QWidget* widget) {
    return accessible(widget)->text(QAccessible::Description);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasANameOfItsOwn();
    void maskedBoxesShowOnlyStars();
    void statesAreToldInWords();
};

void TestAccessibility::everyControlHasANameOfItsOwn() {
    AppFixture app;
    QWidget* main = app.window.get();
    QTest::mouseClick(main->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0")), Qt::LeftButton);
    app.action(QStringLiteral("mnuFile_1"))->trigger();
    app.action(QStringLiteral("mnuEdit_3"))->trigger();
    app.action(QStringLiteral("MnuHelp"))->trigger();
    // The key dialog is modal; built without being shown, it holds the same controls.
    QWidget* const windows[] = {main,
                                frmDecrypt::shared(main),
                                frmOpenSave::loaded(),
                                frmFind::loaded(),
                                frmSmallColor::loaded(),
                                frmAbout::loaded()};
    // At least as many controls as each window is known to have, so that a
    // window the walk cannot see into does not pass unnoticed.
    const int fewest[] = {12, 7, 5, 5, 20, 3};
    for (int i = 0; i < 6; ++i) {
        QVERIFY2(windows[i], qPrintable(QString::number(i)));
        const auto [faults, controls] = namingFaults(windows[i]);
        QVERIFY2(faults.isEmpty(), qPrintable(windows[i]->objectName() + ": " + faults.join("; ")));
        QVERIFY2(controls >= fewest[i],
                 qPrintable(windows[i]->objectName() + ": " + QString::number(controls)));
    }
    // On Linux an editable combo box is announced by its text; its field has the name.
    QCOMPARE(accessible(main->findChild<QComboBox*>("cboFSize")->lineEdit())->text(QAccessible::Name),
             QString("Font size"));
    // Fields are announced with their labels.
    QCOMPARE(accessible(windows[1]->findChild<QWidget*>("txtPhiVer"))->text(QAccessible::Name),
             QString("Enter Encryption Key:"));
    QCOMPARE(accessible(windows[4]->findChild<QWidget*>("txtColor_4"))->text(QAccessible::Name),
             QString("HTML Color Code:"));
    frmDecrypt::unloadShared();
}

void TestAccessibility::maskedBoxesShowOnlyStars() {
    AppFixture app;
    frmDecrypt* dialog = frmDecrypt::shared(app.window.get());
    dialog->SetMode(false, QString());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    auto* key = dialog->findChild<QLineEdit*>("txtPhiVer");
    auto* hint = dialog->findChild<QLineEdit*>("txtHint");
    auto* mask = dialog->findChild<QCheckBox*>("chkMask");
    // The dialog puts the caret in the key box once it is active.
    QTRY_VERIFY(key->hasFocus());
    QTest::keyClicks(key, "Secret7");
    hint->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(hint->hasFocus());
    QTest::keyClicks(hint, "the usual");

    // The hint box is readable while the user works in it, like the box itself.
    QCOMPARE(value(hint), QString("the usual"));
    key->setFocus();
    QCOMPARE(value(hint), QString(9, '*'));
    QAccessibleTextInterface* keyText = accessible(key)->textInterface();
    QVERIFY(keyText);
    const QString reachable[] = {value(key), keyText->text(0, keyText->characterCount()),
                                 accessible(key)->text(QAccessible::Name),
                                 accessible(key)->text(QAccessible::Description)};
    QCOMPARE(reachable[0], QString(7, '*'));
    for (const QString& text : reachable)
        QVERIFY2(!text.contains("Secret"), qPrintable(text));
    // Unmasked by the user, the key is read out: the check above is not blind.
    mask->click();
    QCOMPARE(value(key), QString("Secret7"));
    frmDecrypt::unloadShared();
}

void TestAccessibility::statesAreToldInWords() {
    AppFixture app;
    QWidget* toggle = app.toolButton(0);
    QCOMPARE(description(toggle), QString("The text is not encrypted"));
    app.window->editor()->setText("737F00D");
    QCOMPARE(description(toggle), QString("The text is encrypted"));
    app.window->editor()->setText("plain");
    QCOMPARE(description(toggle), QString("The text is not encrypted"));

    auto* swatch = app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0"));
    QVERIFY2(description(swatch).startsWith("System colour Window Text, now RGB("),
             qPrintable(description(swatch)));
    swatch->setBackColor(0x0000FF);
    QCOMPARE(description(swatch), QString("Red, RGB(255, 0, 0), #FF0000"));
    swatch->setBackColor(0x563412);
    QCOMPARE(description(swatch), QString("RGB(18, 52, 86), #123456"));

    // The palette tells the picker's current colour, and its cell when it has one.
    QTest::mouseClick(swatch, Qt::LeftButton);
    frmSmallColor* picker = frmSmallColor::loaded();
    QVERIFY(picker);
    QWidget* palette = picker->findChild<QWidget*>("picQBColors");
    QCOMPARE(accessible(palette)->role(), QAccessible::ColorChooser);
    QCOMPARE(description(palette), QString("Cell 15: White, RGB(255, 255, 255), #FFFFFF"));
    picker->findChild<QScrollBar*>("hsbRGB_2")->setValue(0);
    QCOMPARE(description(palette), QString("Cell 14: Yellow, RGB(255, 255, 0), #FFFF00"));
    picker->findChild<QScrollBar*>("hsbRGB_0")->setValue(18);
    QCOMPARE(description(palette), QString("RGB(18, 255, 0), #12FF00"));
    // The sample beside it says the same colour.
    QWidget* sample = picker->findChild<QWidget*>("lblColorBox");
    QCOMPARE(accessible(sample)->text(QAccessible::Name), QString("Selected colour"));
    QCOMPARE(description(sample), QString("RGB(18, 255, 0), #12FF00"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
