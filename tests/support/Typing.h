#pragma once
#include <QString>
#include <QTest>
#include <QWidget>

// Types as a keyboard does, one key event a character, including characters
// that no key of a US layout carries (QTest::keyClicks cannot send those).
inline void typeCharacters(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
