#pragma once
#include <QRandomGenerator>
#include <QString>

// Texts of a given size for the benchmarks, the same in every run.
namespace benchtexts {

// A ciphertext: "737" and hexadecimal digits, one unbroken line.
inline QString hexLine(qsizetype characters) {
    static const char digits[] = "0123456789ABCDEF";
    QString text(characters, Qt::Uninitialized);
    QRandomGenerator random(737);
    QChar* out = text.data();
    out[0] = QLatin1Char('7');
    out[1] = QLatin1Char('3');
    out[2] = QLatin1Char('7');
    for (qsizetype i = 3; i < characters; ++i)
        out[i] = QLatin1Char(digits[random.bounded(16)]);
    return text;
}

// Prose: words of 1 to 12 letters, lines of about 70 characters, a blank line
// between paragraphs of about ten lines.
inline QString prose(qsizetype characters) {
    QString text;
    text.reserve(characters + 16);
    QRandomGenerator random(1);
    qsizetype line = 0;
    int lines = 0;
    while (text.size() < characters) {
        const int word = 1 + random.bounded(12);
        for (int i = 0; i < word; ++i)
            text += QChar(QLatin1Char(static_cast<char>('a' + random.bounded(26))));
        line += word + 1;
        if (line > 70) {
            text += QLatin1Char('\n');
            line = 0;
            if (++lines % 10 == 0)
                text += QLatin1Char('\n');
        } else {
            text += QLatin1Char(' ');
        }
    }
    text.truncate(characters);
    return text;
}

} // namespace benchtexts
