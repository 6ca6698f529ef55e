// The numbers of the settings store in every locale Qt knows: any text is read
// without surprises (readNumber, readInt32, readBool agree with one another),
// and what the program writes comes back. A placement is written as a single
// with seven significant digits, so reading it back must give the same text
// again and the same value to those digits; a whole number is exact.
// Input: the locale's number (2 bytes), a double (8 bytes), a 32-bit whole
// number (4 bytes), then the text (UTF-8).
#include "platform/LocaleNumbers.h"
#include "tests/fuzz/FuzzInput.h"

#include <QList>
#include <QLocale>
#include <cmath>
#include <cstring>
#include <limits>

using namespace localenumbers;

namespace {

const QList<QLocale>& allLocales() {
    static const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    return locales;
}

void checkText(const QString& text) {
    const std::optional<double> number = readNumber(text);
    if (number)
        FUZZ_CHECK(std::isfinite(*number));
    const std::optional<qint32> whole = readInt32(text);
    if (number && std::fabs(*number) < 2e9)
        FUZZ_CHECK(whole && *whole == std::nearbyint(*number));
    if (!number)
        FUZZ_CHECK(!whole);
    const std::optional<bool> flag = readBool(text);
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
        word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        FUZZ_CHECK(flag && *flag == (word.size() == 4));
    else if (const std::optional<double> trimmed = readNumber(word))
        FUZZ_CHECK(flag && *flag == (*trimmed != 0.0));
    else
        FUZZ_CHECK(!flag);
}

void checkSingle(double value) {
    const float single = static_cast<float>(value);
    if (!std::isfinite(single))
        return;
    const QString written = writeSingle(value);
    const std::optional<double> read = readNumber(written);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(writeSingle(*read) == written);
    const double exact = single;
    if (std::fabs(single) < 1e7f && single == std::trunc(single))
        FUZZ_CHECK(*read == exact);
    else
        FUZZ_CHECK(std::fabs(*read - exact) <=
                   std::fabs(exact) * 5e-7 + std::numeric_limits<float>::denorm_min());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const int which = input.byte() | (input.byte() << 8);
    QLocale::setDefault(allLocales().at(which % allLocales().size()));

    std::uint64_t bits = input.u32();
    bits |= std::uint64_t{input.u32()} << 32;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    const auto whole = static_cast<qint32>(input.u32());
    const QString text = input.text(false);

    checkText(text);
    checkSingle(value);
    // Font size and colours are written as plain decimals.
    const QString decimal = QString::number(whole);
    FUZZ_CHECK(readInt32(decimal) == whole);
    FUZZ_CHECK(readBool(decimal) == (whole != 0));
    return 0;
}
