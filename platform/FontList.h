#pragma once
#include <QStringList>
#include <functional>

namespace platform {

// The font families the display offers, in the display's order.
class FontList {
public:
    static QStringList families();
    static bool has(const QString& family);
    // Tests hand in a fixed list; an empty source restores the display's list.
    static void setSource(std::function<QStringList()> source);
};

} // namespace platform
