#include "colour/ColourNotations.h"
#include "colour/ComponentInput.h"

#include <QTest>

using namespace colour;

class TestColourNotations : public QObject {
    Q_OBJECT
private slots:
    void notations() {
        // A desktop where no system colour is a colour of any table.
        const auto desktop = [](int index) { return ComposeRGB(10 + index, 20, 30); };
        // Box order: constant, palette, RGB, decimal, HTML, hex, system constant, system hex.
        const QList<std::pair<qint32, QStringList>> cases = {
            {0, {"vbBlack", "QBColor(0)", "RGB(0, 0, 0)", "0", "#000000", "&H000000&", "N/A", "N/A"}},
            {ComposeRGB(1, 2, 3),
             {"N/A", "QBColor(N/A)", "RGB(1, 2, 3)", "197121", "#010203", "&H030201&", "N/A", "N/A"}},
            {SysColorCode(0),
             {"N/A", "QBColor(N/A)", "RGB(10, 20, 30)", "1971210", "#0A141E", "&H1E140A&", "vbScrollBars",
              "&H80000000&"}},
        };
        for (const auto& [colour, texts] : cases)
            for (int box = 0; box < ColorNotations::BoxCount; ++box)
                QCOMPARE(FormatNotations(colour, false, desktop).text(box), texts[box]);

        // A shade moves every component, each clamped on its own.
        QCOMPARE(ApplyShade(250, 100, 0, 10), (std::array<int, 3>{255, 110, 10}));
        QCOMPARE(ApplyShade(5, 100, 200, -20), (std::array<int, 3>{0, 80, 180}));
    }

    void componentKeysAndTexts() {
        // Key, hex mode; the character entered (0: dropped) and whether it beeps.
        // Codes beyond a character are never the digit their low bits spell.
        const std::tuple<int, bool, int, bool> keys[] = {{'x', false, 0, true},    {'7', false, '7', false},
                                                         {8, false, 8, false},     {'a', false, 0, true},
                                                         {'f', true, 'F', false},  {'G', true, 0, true},
                                                         {'9', true, '9', false},  {0x10037, false, 0, true},
                                                         {0x10041, true, 0, true}, {-65488, false, 0, true}};
        for (const auto& [key, hex, code, beep] : keys)
            QCOMPARE(std::tuple(key, FilterRGBKey(key, hex).code, FilterRGBKey(key, hex).beep),
                     std::tuple(key, code, beep));
        // Text, hex mode; its value and whether it may stand. Foreign characters make
        // the text unacceptable; its digits still count.
        const std::tuple<QString, bool, int, bool> texts[] = {
            {"255", false, 255, true}, {"256", false, 256, false}, {"", false, 0, true},
            {"1x2", false, 12, false}, {"FF", false, 0, false},    {"FF", true, 255, true},
            {"ff", true, 255, true},   {"G1", true, 1, false},     {"100", true, 256, false}};
        for (const auto& [text, hex, value, acceptable] : texts)
            QCOMPARE(std::tuple(text, ParseRGBText(text, hex).value, ParseRGBText(text, hex).acceptable),
                     std::tuple(text, value, acceptable));
        QVERIFY(!ParseRGBText("99999999999999", false).acceptable);
        // What a component box shows reads back as the value it shows, in either base.
        for (const int value : {0, 9, 10, 15, 16, 254, 255})
            for (const bool hex : {false, true}) {
                const QString shown = FormatNotations(ComposeRGB(0, value, 0), hex, {}).componentTexts[1];
                QCOMPARE(ParseRGBText(shown, hex).value, value);
            }
    }
};

QTEST_APPLESS_MAIN(TestColourNotations)
#include "tst_colour_notations.moc"
