#include "app/LocaleNumbers.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace localenumbers {

std::optional<double> readNumber(const QString& text) {
    bool ok = false;
    double value = QLocale().toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint32> readInt32(const QString& text) {
    const std::optional<double> value = readNumber(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value); // the default rounding mode: ties to even
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

std::optional<bool> readBool(const QString& text) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> value = readNumber(word);
    if (!value)
        return std::nullopt;
    return *value != 0.0;
}

QString writeSingle(double value) {
    const float single = static_cast<float>(value);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (std::fabs(single) < 1e7f && single == std::trunc(single))
        return locale.toString(static_cast<qlonglong>(single));
    return locale.toString(static_cast<double>(single), 'g', 7);
}

} // namespace localenumbers
