// Window placement, format and colours kept in the settings store.
#include "tests/app/AppFixture.h"

#include "editor/EntryEditor.h"
#include "picker/ColourSwatch.h"
#include "platform/LocaleNumbers.h"
#include "platform/Screen.h"

#include <QTest>
#include <cmath>

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void firstStartThenRestart();
    void placementIsKeptOnTheScreen_data();
    void placementIsKeptOnTheScreen();
    void hangingOffAtCloseIsMovedBack();
    void unreadableValuesLeaveTheirProperty();
    void numbersFollowTheLocale();
    void writtenNumbersReadBackInEveryLocale();
};

void TestSettings::firstStartThenRestart() {
    AppFixture app;
    // 616, 1000, 7845 x 5655 twips at 15 twips to the pixel; text and background in system colours.
    QCOMPARE(app.window->pos(), QPoint(41, 67));
    QCOMPARE(app.window->height(), 377);
    // The default width (523 pixels) would cut off the row of controls above
    // the editor: the window starts as wide as that row needs.
    int rowRight = 0;
    for (const QWidget* control :
         app.window->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != app.window->editor() && control->y() < app.window->editor()->y())
            rowRight = qMax(rowRight, control->geometry().right());
    }
    QVERIFY2(rowRight >= 523, qPrintable(QString::number(rowRight)));
    QVERIFY2(app.window->width() > rowRight && app.window->width() <= rowRight + 10,
             qPrintable(QStringLiteral("%1 for a row ending at %2").arg(app.window->width()).arg(rowRight)));
    QCOMPARE(app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0"))->BackColor(), -2147483640);
    QCOMPARE(app.window->editor()->BackColor(), -2147483643);

    app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0"))->setBackColor(0xFFFFFF);
    app.window->editor()->setBackColor(0x800000);
    app.messages.queue(QMessageBox::No);
    app.window->close();
    QCOMPARE(app.setting(QStringLiteral("ForeColor")), QStringLiteral("16777215"));
    QCOMPARE(app.setting(QStringLiteral("BackColor")), QStringLiteral("8388608"));
    QCOMPARE(app.setting(QStringLiteral("FontItalic")), QStringLiteral("False"));
    QCOMPARE(app.setting(QStringLiteral("Top")), QStringLiteral("1005"));

    // What was written comes back at the next start.
    AppFixture again(ProgramFolder::WithDatabase, false);
    QFile::remove(again.settingsFile());
    QVERIFY(QFile::copy(app.settingsFile(), again.settingsFile()));
    again.window->Form_Load();
    QCOMPARE(again.window->editor()->SelColor(), 0xFFFFFF);
    QCOMPARE(again.window->editor()->BackColor(), 0x800000);
    QCOMPARE(again.window->pos(), app.window->pos());
}

void TestSettings::placementIsKeptOnTheScreen_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QStringList>("stored");
    // Empty where only the rules below are asked for.
    QTest::addColumn<QRect>("expected");
    // 1280 x 800 pixels are 19200 x 12000 twips: top and left come back to 0, the
    // width to the screen's less 100 twips; the window may reach past the right edge.
    QTest::newRow("off the screen") << QSize(1280, 800)
                                    << QStringList{"Top=13000", "Left=-300", "Width=30000", "Height=4500"}
                                    << QRect(0, 0, platform::Screen::toPixelsX(19200 - 100), 300);
    // What a damaged or hand-edited store can hold, on 19200 x 13500 twips.
    QTest::newRow("no size") << QSize(1280, 900) << QStringList{"Width=0", "Height=0"} << QRect();
    QTest::newRow("a few pixels") << QSize(1280, 900) << QStringList{"Width=100", "Height=100"} << QRect();
    QTest::newRow("all huge") << QSize(1280, 900)
                              << QStringList{"Top=1e12", "Left=1e12", "Width=1e12", "Height=1e12"} << QRect();
    QTest::newRow("a corner on the screen")
        << QSize(1280, 900) << QStringList{"Left=19000", "Top=13000"} << QRect();
}

// Whatever the store holds, the window starts with its row of controls and a
// few lines of text, with enough of it on the screen to be seen and dragged,
// and what is written back at close is that placement.
void TestSettings::placementIsKeptOnTheScreen() {
    QFETCH(QSize, screen);
    QFETCH(QStringList, stored);
    QFETCH(QRect, expected);
    AppFixture app(ProgramFolder::WithDatabase, false);
    platform::Screen::setOverride(screen);
    for (const QString& pair : stored)
        app.setSetting(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    app.window->LoadWinSettings();
    app.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
    const QRect placed(app.window->pos(), app.window->size());
    if (!expected.isNull())
        QCOMPARE(placed, expected);

    const QRect seen = QRect(QPoint(0, 0), screen).intersected(app.window->frameGeometry());
    QVERIFY2(seen.width() >= 100 && seen.height() >= 50,
             qPrintable(
                 QStringLiteral("%1 x %2 of the window on the screen").arg(seen.width()).arg(seen.height())));
    const QWidget* client = app.window->centralWidget();
    for (const QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QVERIFY2(
            control->geometry().right() < client->width() && control->geometry().bottom() < client->height(),
            qPrintable(
                control->objectName() +
                QStringLiteral(" outside a window of %1 x %2").arg(placed.width()).arg(placed.height())));
    }
    const EntryEditor* editor = app.window->editor();
    QVERIFY2(editor->viewport()->height() >= 3 * editor->fontMetrics().lineSpacing(),
             qPrintable(QStringLiteral("the editor shows %1 pixels").arg(editor->viewport()->height())));

    app.messages.queue(QMessageBox::No);
    app.window->close();
    const auto written = [&app](const char* key) {
        return localenumbers::readNumber(app.setting(QString::fromLatin1(key))).value_or(-1);
    };
    using platform::Screen;
    QCOMPARE(QRect(Screen::toPixelsX(written("Left")), Screen::toPixelsY(written("Top")),
                   Screen::toPixelsX(written("Width")), Screen::toPixelsY(written("Height"))),
             placed);
}

// Hanging off the screen at close: moved back before "Quit?", and written so.
// A size the user made too small stays while the program runs; what is
// written is the smallest usable size, the one a store without a size gives.
void TestSettings::hangingOffAtCloseIsMovedBack() {
    AppFixture unsized(ProgramFolder::WithDatabase, false);
    unsized.setSetting(QStringLiteral("Width"), QStringLiteral("0"));
    unsized.setSetting(QStringLiteral("Height"), QStringLiteral("0"));
    unsized.window->Form_Load();
    const QSize smallest = unsized.window->size();

    AppFixture app;
    app.window->resize(200, 60);
    app.window->move(-200, 13000 / 15);
    app.messages.queue(QMessageBox::No);
    app.window->close();
    QCOMPARE(app.window->pos(), QPoint(0, 0));
    QCOMPARE(app.window->size(), QSize(200, 60));
    QCOMPARE(app.setting(QStringLiteral("Left")), QStringLiteral("0"));
    QCOMPARE(app.setting(QStringLiteral("Top")), QStringLiteral("0"));
    using platform::Screen;
    const auto written = [&app](const char* key) {
        return localenumbers::readNumber(app.setting(QString::fromLatin1(key))).value_or(-1);
    };
    QCOMPARE(QSize(Screen::toPixelsX(written("Width")), Screen::toPixelsY(written("Height"))), smallest);
}

void TestSettings::unreadableValuesLeaveTheirProperty() {
    const struct {
        const char* stored;
        bool expected;
    } booleans[] = {{"True", true},   {"true", true}, {"1", true},        {"-1", true},
                    {"False", false}, {"0", false},   {"garbage", false}, {"", false}};
    for (const auto& c : booleans) {
        AppFixture app(ProgramFolder::WithDatabase, false);
        app.setSetting(QStringLiteral("FontBold"), QString::fromLatin1(c.stored));
        app.window->LoadWinSettings();
        QVERIFY2(app.window->documentState().ynFontBold == c.expected, c.stored);
    }
    AppFixture app(ProgramFolder::WithDatabase, false);
    const int top = app.window->y();
    app.setSetting(QStringLiteral("Top"), QStringLiteral("high"));
    app.setSetting(QStringLiteral("Left"), QStringLiteral("750"));
    app.setSetting(QStringLiteral("FontSize"), QStringLiteral("big"));
    app.setSetting(QStringLiteral("BackColor"), QStringLiteral("blue"));
    app.window->LoadWinSettings();
    QCOMPARE(app.window->pos(), QPoint(50, top));
    QCOMPARE(app.window->documentState().lngFontSize, 0);
    QCOMPARE(app.window->editor()->BackColor(), -2147483643);
}

void TestSettings::numbersFollowTheLocale() {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        AppFixture app(ProgramFolder::WithDatabase, false);
        platform::Screen::setOverride(QSize(1280, 800), 100.0); // 14.4 twips to the pixel
        app.setSetting(QStringLiteral("Top"), QStringLiteral("1440,5"));
        app.window->LoadWinSettings();
        QCOMPARE(app.window->y(), 100);
        app.window->move(app.window->x(), 67);
        app.messages.queue(QMessageBox::No);
        app.window->close();
        QCOMPARE(app.setting(QStringLiteral("Top")), QStringLiteral("964,8"));
    }
    QLocale::setDefault(previous);
}

void TestSettings::writtenNumbersReadBackInEveryLocale() {
    // Locales whose own minus signs and exponents Qt does not read back, one
    // whose "." is its grouping, and a plain one.
    const char* const locales[] = {"ar_JO", "ar_LY", "fa_IR", "sv_SE", "he_IL", "de_DE"};
    const float values[] = {-1217.0f, -3.375f, 1e-5f, -2.5e20f, 964.8f};
    const QLocale previous;
    for (const char* name : locales) {
        QLocale::setDefault(QLocale(QLatin1String(name)));
        for (const float value : values) {
            const QString written = localenumbers::writeSingle(value);
            const std::optional<double> read = localenumbers::readNumber(written);
            QVERIFY2(read && std::fabs(*read - value) <= std::fabs(value) * 1e-6,
                     qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(name), written)));
        }
    }
    QLocale::setDefault(previous);
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
