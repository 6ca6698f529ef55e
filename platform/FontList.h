#pragma once
#include <QStringList>
#include <functional>

namespace platform {

// The font families the display offers, in the display's order.
class FontList {
public:
    static QStringList families();
    static bool has(const QString& family);
    // The list's own spelling of a family: the same name in any case, or the
    // name with a foundry after it ("Nimbus Mono PS [urw]") when the display
    // offers the family from more than one maker. Empty when it is not listed.
    static QString listed(const QString& family);
    // Tests hand in a fixed list; an empty source restores the display's list.
    static void setSource(std::function<QStringList()> source);

    // The desktop's fixed-width family, resolved to the face the display really
    // uses (the desktop often names only an alias such as "monospace").
    static QString fixedFamily();
    // Tests hand in a fixed name; an empty source restores the desktop's.
    static void setFixedSource(std::function<QString()> source);
};

} // namespace platform
