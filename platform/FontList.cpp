#include "platform/FontList.h"

#include <QFontDatabase>

namespace platform {
namespace {
std::function<QStringList()>& source() {
    static std::function<QStringList()> s;
    return s;
}
} // namespace

QStringList FontList::families() {
    return source() ? source()() : QFontDatabase::families();
}

bool FontList::has(const QString& family) {
    if (family.isEmpty())
        return false;
    if (source())
        return source()().contains(family, Qt::CaseInsensitive);
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

void FontList::setSource(std::function<QStringList()> s) {
    source() = std::move(s);
}

} // namespace platform
