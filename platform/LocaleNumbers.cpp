#include "platform/LocaleNumbers.h"

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
    const bool whole = std::fabs(single) < 1e7f && single == std::trunc(single);
    const auto write = [single, whole](QLocale locale) {
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return whole ? locale.toString(static_cast<qlonglong>(single))
                     : locale.toString(static_cast<double>(single), 'g', 7);
    };
    // Seven significant digits, as written.
    const auto readsBack = [single](const QString& text) {
        const std::optional<double> back = readNumber(text);
        return back && std::fabs(*back - single) <= std::fabs(single) * 1e-6;
    };
    // Qt cannot read some locales' own signs: a minus of more than one
    // character (Arabic's marked minus), U+2212 (Swedish, Hebrew), exponents
    // such as "×10^". Plain signs in the locale's form come next; the C form,
    // last, is what the others leave (a locale may read its "." as grouping).
    const QLocale locale;
    QString text = write(locale);
    if (readsBack(text))
        return text;
    text.replace(locale.exponential(), QStringLiteral("e"));
    text.replace(locale.negativeSign(), QStringLiteral("-"));
    text.replace(locale.positiveSign(), QStringLiteral("+"));
    return readsBack(text) ? text : write(QLocale::c());
}

} // namespace localenumbers
