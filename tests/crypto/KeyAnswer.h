#pragma once
#include "tests/support/ModalDriver.h"

#include <QLineEdit>
#include <QTest>

// Types as a keyboard does, including characters that no key of a US layout carries.
inline void typeInto(QWidget* box, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Presses `button` and answers the key dialog that it brings up as a user
// would: types the hint (when the hint box is showing) and the key, then OK;
// an empty key cancels instead. False when no dialog came up.
inline bool pressAndAnswerKey(QWidget* button, const QString& key,
                              const QString& hint = QStringLiteral("a hint")) {
    ModalDriver driver;
    driver.onNextModal(
        [&](QWidget* dialog) {
            auto* hintBox = dialog->findChild<QLineEdit*>(QStringLiteral("txtHint"));
            if (hintBox->isVisible())
                typeInto(hintBox, hint);
            typeInto(dialog->findChild<QLineEdit*>(QStringLiteral("txtPhiVer")), key);
            QTest::mouseClick(dialog->findChild<QWidget*>(key.isEmpty() ? "cmdCancel" : "cmdOK"),
                              Qt::LeftButton);
        },
        100);
    QTest::mouseClick(button, Qt::LeftButton);
    // The dialog is modal, so it has come and gone by now; a driver that did
    // not fire must run out before the next press.
    if (!driver.fired())
        QTest::qWait(200);
    return driver.fired();
}
