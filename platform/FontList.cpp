#include "platform/FontList.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace platform {
namespace {
std::function<QStringList()>& source() {
    static std::function<QStringList()> s;
    return s;
}
std::function<QString()>& fixedSource() {
    static std::function<QString()> s;
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

QString FontList::listed(const QString& family) {
    if (family.isEmpty())
        return QString();
    const QString withFoundry = family + QStringLiteral(" [");
    QString firstMaker;
    for (const QString& name : families()) {
        if (name.compare(family, Qt::CaseInsensitive) == 0)
            return name;
        if (firstMaker.isEmpty() && name.startsWith(withFoundry, Qt::CaseInsensitive))
            firstMaker = name;
    }
    return firstMaker;
}

void FontList::setSource(std::function<QStringList()> s) {
    source() = std::move(s);
}

QString FontList::fixedFamily() {
    if (fixedSource())
        return fixedSource()();
    return QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
}

void FontList::setFixedSource(std::function<QString()> s) {
    fixedSource() = std::move(s);
}

} // namespace platform
