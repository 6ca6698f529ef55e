#pragma once
#include <QString>
#include <QTest>
#include <QWidget>

// Types as a keyboard does, one key event a character (a surrogate pair is
// one character), including characters that no key of a US layout carries
// (QTest::keyClicks cannot send those).
inline void typeCharacters(QWidget* widget, const QString& text) {
    for (qsizetype k = 0; k < text.size(); ++k) {
        const qsizetype length = text[k].isHighSurrogate() && k + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(k, length), Qt::NoModifier);
        k += length - 1;
    }
}
