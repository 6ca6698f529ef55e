// Window placement, format and colours kept in the settings store.
#include "tests/app/AppFixture.h"

#include "picker/ColourSwatch.h"
#include "platform/LocaleNumbers.h"
#include "platform/Screen.h"

using platform::Screen;

namespace {
void closeWithoutQuitting(AppFixture& app) {
    app.messages.queue(QMessageBox::No);
    app.window->close();
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void firstStartThenRestart() {
        AppFixture app;
        app.window->findChild<ColourSwatch*>(QStringLiteral("cmdColors_0"))->setBackColor(0xFFFFFF);
        app.window->editor()->setBackColor(0x800000);
        closeWithoutQuitting(app);
        QCOMPARE(QStringList({app.setting("ForeColor"), app.setting("BackColor"), app.setting("Top")}),
                 QStringList({"16777215", "8388608", "1005"}));

        // What was written comes back at the next start.
        AppFixture again(ProgramFolder::WithDatabase, false);
        QFile::remove(again.settingsFile());
        QVERIFY(QFile::copy(app.settingsFile(), again.settingsFile()));
        again.window->Form_Load();
        const EntryEditor* editor = again.window->editor();
        QCOMPARE(std::tuple(editor->SelColor(), editor->BackColor(), again.window->geometry()),
                 std::tuple(0xFFFFFF, 0x800000, app.window->geometry()));
    }

    // Whatever the store holds, the window starts with its row of controls and a
    // few lines of text, with enough of it on the screen to be seen and dragged,
    // and what is written back at close is that placement.
    void placementIsKeptOnTheScreen() {
        // The screen, what the store holds, and the placement (null where only the
        // rules are asked for). 1280 x 800 pixels are 19200 x 12000 twips: top and left
        // come back to 0, the width to the screen's less 100 twips; the window may reach
        // past the right edge. Then what a damaged or hand-edited store can hold, on
        // 19200 x 13500 twips: no width and a few pixels high, all huge, a corner on the screen.
        const std::tuple<QSize, QStringList, QRect> cases[] = {
            {{1280, 800},
             {"Top=13000", "Left=-300", "Width=30000", "Height=4500"},
             {0, 0, Screen::toPixelsX(19200 - 100), 300}},
            {{1280, 900}, {"Width=0", "Height=100"}, {}},
            {{1280, 900}, {"Top=1e12", "Left=1e12", "Width=1e12", "Height=1e12"}, {}},
            {{1280, 900}, {"Left=19000", "Top=13000"}, {}}};
        for (const auto& [screen, stored, expected] : cases) {
            const QString row = stored.join(' ');
            AppFixture app(ProgramFolder::WithDatabase, false);
            Screen::setOverride(screen);
            for (const QString& pair : stored)
                app.setSetting(pair.section('=', 0, 0), pair.section('=', 1));
            app.window->LoadWinSettings();
            app.window->show();
            QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
            const QRect placed(app.window->pos(), app.window->size());
            if (!expected.isNull())
                QCOMPARE(placed, expected);
            const QRect seen = QRect(QPoint(0, 0), screen).intersected(app.window->frameGeometry());
            QVERIFY2(seen.width() >= 100 && seen.height() >= 50, qPrintable(row)); // seen and dragged
            const QWidget* client = app.window->centralWidget();
            for (const QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QVERIFY2(client->rect().contains(control->geometry()),
                         qPrintable(row + ": " + control->objectName()));
            closeWithoutQuitting(app);
            const auto twips = [&app](const char* key) {
                return localenumbers::readNumber(app.setting(key)).value_or(-1);
            };
            const QRect written(Screen::toPixelsX(twips("Left")), Screen::toPixelsY(twips("Top")),
                                Screen::toPixelsX(twips("Width")), Screen::toPixelsY(twips("Height")));
            QCOMPARE(std::pair(row, written), std::pair(row, placed));
        }
    }

    // Each value that cannot be read leaves its property as it was.
    void unreadableValuesLeaveTheirProperty() {
        const std::pair<const char*, std::optional<bool>> booleans[] = {
            {"True", true},   {"true", true}, {"1", true},     {"-1", true},
            {"False", false}, {"0", false},   {"garbage", {}}, {"", {}}};
        for (const auto& [text, value] : booleans)
            QVERIFY2(localenumbers::readBool(QString::fromLatin1(text)) == value, text);

        AppFixture app(ProgramFolder::WithDatabase, false);
        const int top = app.window->y();
        for (const QString pair : {"Top=high", "Left=750", "FontSize=big", "BackColor=blue", "FontBold=-1"})
            app.setSetting(pair.section('=', 0, 0), pair.section('=', 1));
        app.window->LoadWinSettings();
        QCOMPARE(app.window->pos(), QPoint(50, top));
        QCOMPARE(app.window->documentState().lngFontSize, 0);
        QVERIFY(app.window->documentState().ynFontBold);
        QCOMPARE(app.window->editor()->BackColor(), -2147483643); // the system's window background
    }

    void numbersFollowTheLocale() {
        const auto restore = qScopeGuard([previous = QLocale()] { QLocale::setDefault(previous); });
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        AppFixture app(ProgramFolder::WithDatabase, false);
        Screen::setOverride(QSize(1280, 800), 100.0); // 14.4 twips to the pixel
        app.setSetting(QStringLiteral("Top"), QStringLiteral("1440,5"));
        app.window->LoadWinSettings();
        QCOMPARE(app.window->y(), 100);
        app.window->move(app.window->x(), 67);
        closeWithoutQuitting(app);
        QCOMPARE(app.setting(QStringLiteral("Top")), QStringLiteral("964,8"));
        // Locales whose own minus signs and exponents Qt does not read back, one
        // whose "." is its grouping, and a plain one.
        for (const char* name : {"ar_JO", "ar_LY", "fa_IR", "sv_SE", "he_IL", "de_DE"}) {
            QLocale::setDefault(QLocale(QLatin1String(name)));
            for (const float value : {-1217.0f, -3.375f, 1e-5f, -2.5e20f, 964.8f}) {
                const QString text = localenumbers::writeSingle(value);
                const std::optional<double> read = localenumbers::readNumber(text);
                QVERIFY2(read && std::fabs(*read - value) <= std::fabs(value) * 1e-6,
                         qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(name), text)));
            }
        }
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
