#pragma once
#include <QRandomGenerator>
#include <QString>

// Texts for the editor's tests, the same for the same seed in every run.
namespace editortexts {

// "737" and upper-case hexadecimal digits, one line.
inline QString ciphertext(qsizetype characters, quint32 seed = 737) {
    static const char digits[] = "0123456789ABCDEF";
    QString text = QStringLiteral("737");
    text.reserve(characters);
    QRandomGenerator random(seed);
    while (text.size() < characters)
        text += QLatin1Char(digits[random.bounded(16)]);
    return text;
}

// "737~" and base64url characters, one line: the strong form's shape.
inline QString strongShaped(qsizetype characters, quint32 seed = 7) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    QString text = QStringLiteral("737~");
    text.reserve(characters);
    QRandomGenerator random(seed);
    while (text.size() < characters)
        text += QLatin1Char(alphabet[random.bounded(64)]);
    return text;
}

// Words of 1 to 9 letters and a space, one line: a pasted paragraph.
inline QString blob(qsizetype characters, quint32 seed = 1) {
    QString text;
    text.reserve(characters);
    QRandomGenerator random(seed);
    while (text.size() < characters) {
        for (int n = 1 + random.bounded(9); n > 0; --n)
            text += QLatin1Char(char('a' + random.bounded(26)));
        text += QLatin1Char(' ');
    }
    text.truncate(characters);
    return text;
}

} // namespace editortexts
