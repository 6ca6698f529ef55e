#include "colour/ColourNotations.h"
#include "colour/ComponentInput.h"
#include "colour/PaletteColor.h"

#include <QTest>

using namespace colour;

namespace {

// A desktop where every system colour is a colour of no table, except
// Window Background (5), which is white.
qint32 desktop(int index) {
    return index == 5 ? ComposeRGB(255, 255, 255) : ComposeRGB(10 + index, 20, 30);
}

QStringList texts(const ColorNotations& n) {
    QStringList all;
    for (int box = 0; box < ColorNotations::BoxCount; ++box)
        all << n.text(box);
    return all;
}

QList<bool> enabled(const ColorNotations& n) {
    QList<bool> all;
    for (int box = 0; box < ColorNotations::BoxCount; ++box)
        all << n.enabled(box);
    return all;
}

} // namespace

class TestColourNotations : public QObject {
    Q_OBJECT
private slots:
    void namedPaletteAndOtherColours();
    void systemColours();
    void decimalKeysAndTexts();
    void hexKeysAndTexts();
    void shade();
};

void TestColourNotations::namedPaletteAndOtherColours() {
    // Box order: constant, palette, RGB, decimal, HTML, hex, system constant, system hex.
    const ColorNotations black = FormatNotations(0, false, desktop);
    QCOMPARE(texts(black), QStringList({"vbBlack", "QBColor(0)", "RGB(0, 0, 0)", "0", "#000000", "&H000000&",
                                        "N/A", "N/A"}));
    QCOMPARE(enabled(black), QList<bool>({true, true, true, true, true, true, false, false}));

    const ColorNotations silver = FormatNotations(PaletteColor(7), false, desktop);
    QCOMPARE(silver.constantText, QString("N/A"));
    QCOMPARE(silver.paletteText, QString("QBColor(7)"));
    QCOMPARE(silver.paletteIndex, 7);
    QVERIFY(!silver.enabled(ColorNotations::Constant));
    QVERIFY(silver.enabled(ColorNotations::Palette));

    const ColorNotations odd = FormatNotations(ComposeRGB(1, 2, 3), false, desktop);
    QCOMPARE(texts(odd), QStringList({"N/A", "QBColor(N/A)", "RGB(1, 2, 3)", "197121", "#010203", "&H030201&",
                                      "N/A", "N/A"}));
    QCOMPARE(enabled(odd), QList<bool>({false, false, true, true, true, true, false, false}));
    QCOMPARE(odd.paletteIndex, -1);

    QCOMPARE(FormatNotations(ComposeRGB(255, 0, 0), false, desktop).hexText, QString("&H0000FF&"));
    QCOMPARE(FormatNotations(ComposeRGB(255, 0, 0), false, desktop).htmlText, QString("#FF0000"));
    QCOMPARE(FormatNotations(ComposeRGB(18, 52, 86), false, desktop).htmlText, QString("#123456"));
}

void TestColourNotations::systemColours() {
    // Pure white is the Window Background here, so it is reported as that.
    const ColorNotations white = FormatNotations(ComposeRGB(255, 255, 255), false, desktop);
    QCOMPARE(texts(white), QStringList({"vbWhite", "QBColor(15)", "RGB(255, 255, 255)", "16777215", "#FFFFFF",
                                        "&HFFFFFF&", "vbWindowBackground", "&H80000005&"}));
    QCOMPARE(white.sysIndex, 5);
    QCOMPARE(white.plainValue, 16777215);

    const ColorNotations scrollBars = FormatNotations(SysColorCode(0), false, desktop);
    QCOMPARE(SysColorCode(0), qint32(-2147483647 - 1));
    QCOMPARE(texts(scrollBars), QStringList({"N/A", "QBColor(N/A)", "RGB(10, 20, 30)", "1971210", "#0A141E",
                                             "&H1E140A&", "vbScrollBars", "&H80000000&"}));
    QCOMPARE(scrollBars.plainValue, ComposeRGB(10, 20, 30));
    QCOMPARE(FormatNotations(SysColorCode(15), false, desktop).sysHexText, QString("&H8000000F&"));

    // The lowest index wins; a colour below 0 comes back as it is.
    const SysColorSource twice = [](int index) { return index >= 3 ? 77 : 5; };
    QCOMPARE(FindSysColor(77, twice), SysColorCode(3));
    QCOMPARE(FindSysColor(78, twice), -1);
    QCOMPARE(FindSysColor(SysColorCode(9), twice), SysColorCode(9));
}

void TestColourNotations::decimalKeysAndTexts() {
    const KeyDecision x = FilterRGBKey('x', false);
    QCOMPARE(x.code, 0);
    QVERIFY(x.beep);
    QCOMPARE(FilterRGBKey('7', false).code, int('7'));
    QCOMPARE(FilterRGBKey(8, false).code, 8); // backspace
    QVERIFY(!FilterRGBKey(8, false).beep);
    QCOMPARE(ComponentMaxLength(false), 3);

    QCOMPARE(ParseRGBText("255", false).value, 255);
    QVERIFY(ParseRGBText("255", false).acceptable);
    QVERIFY(!ParseRGBText("256", false).acceptable);
    QCOMPARE(ParseRGBText("", false).value, 0);
    QVERIFY(ParseRGBText("", false).acceptable);
    // Foreign characters make the text unacceptable; its digits still count.
    QCOMPARE(ParseRGBText("1x2", false).value, 12);
    QVERIFY(!ParseRGBText("1x2", false).acceptable);
    QVERIFY(!ParseRGBText("FF", false).acceptable);
    QVERIFY(!ParseRGBText("99999999999999", false).acceptable);
}

void TestColourNotations::hexKeysAndTexts() {
    QCOMPARE(FilterRGBKey('f', true).code, int('F'));
    QVERIFY(!FilterRGBKey('f', true).beep);
    QCOMPARE(FilterRGBKey('G', true).code, 0);
    QVERIFY(FilterRGBKey('G', true).beep);
    QCOMPARE(FilterRGBKey('9', true).code, int('9'));
    QCOMPARE(ComponentMaxLength(true), 2);

    QCOMPARE(ParseRGBText("FF", true).value, 255);
    QVERIFY(ParseRGBText("ff", true).acceptable);
    QCOMPARE(ParseRGBText("1A", true).value, 26);
    QVERIFY(!ParseRGBText("G1", true).acceptable);
    QVERIFY(!ParseRGBText("100", true).acceptable);
}

void TestColourNotations::shade() {
    QCOMPARE(ApplyShade(250, 100, 0, 10), (std::array<int, 3>{255, 110, 10}));
    QCOMPARE(FormatNotations(ComposeRGB(255, 110, 10), false, desktop).shade, 125);
    QCOMPARE(FormatNotations(ComposeRGB(250, 100, 0), false, desktop).shade, 117);
    QCOMPARE(ApplyShade(5, 100, 200, -20), (std::array<int, 3>{0, 80, 180}));
}

QTEST_APPLESS_MAIN(TestColourNotations)
#include "tst_colour_notations.moc"
