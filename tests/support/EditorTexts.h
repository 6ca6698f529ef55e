#pragma once
#include <QRandomGenerator>
#include <QString>

// Texts for the editor's tests, the same for the same seed in every run.
namespace editortexts {

// The prefix, then characters drawn from the alphabet, one line.
inline QString drawn(const char* prefix, const char* alphabet, qsizetype characters, quint32 seed) {
    QString text = QString::fromLatin1(prefix);
    QRandomGenerator random(seed);
    while (text.size() < characters)
        text += QLatin1Char(alphabet[random.bounded(int(qstrlen(alphabet)))]);
    return text;
}

// "737" and upper-case hexadecimal digits: the shape of a ciphertext.
inline QString ciphertext(qsizetype characters, quint32 seed = 737) {
    return drawn("737", "0123456789ABCDEF", characters, seed);
}

// "737~" and base64url characters: the strong form's shape.
inline QString strongShaped(qsizetype size, quint32 seed = 7) {
    return drawn("737~", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_", size, seed);
}

// Words of 1 to 9 letters and a space, one line: a pasted paragraph.
inline QString blob(qsizetype characters, quint32 seed = 1) {
    QString text;
    QRandomGenerator random(seed);
    while (text.size() < characters) {
        for (int n = 1 + random.bounded(9); n > 0; --n)
            text += QLatin1Char(char('a' + random.bounded(26)));
        text += QLatin1Char(' ');
    }
    return text.left(characters);
}

} // namespace editortexts
