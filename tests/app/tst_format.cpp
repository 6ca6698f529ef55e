// The format controls driven through the real widgets: font list, size box,
// style buttons, Next Font, Hide Text and the colour swatches.
#include "tests/app/AppFixture.h"

#include "picker/ColourSwatch.h"
#include "platform/FontList.h"

#include <QtWidgets>

class TestFormat : public QObject {
    Q_OBJECT
    static QComboBox* sizeBox(const AppFixture& app) { return app.window->findChild<QComboBox*>("cboFSize"); }
    static QListWidget* fontList(const AppFixture& f) { return f.window->findChild<QListWidget*>("lstFont"); }
    static QFont editorFont(const AppFixture& app) { return app.window->editor()->font(); }

private slots:
    // The font a start shows, from the display's families, the desktop's
    // fixed-width face and a saved font (empty: none); a saved style is not taken.
    void startFont() {
        const QStringList plain = AppFixture::fonts();
        const QStringList withFoundries = {"Alpha Sans", "Beta Serif", "Nimbus Mono PS [UKWN]",
                                           "Nimbus Mono PS [urw]"};
        // The display's families, the fixed-width face, the saved font and the font shown.
        const std::tuple<QStringList, QString, QString, QString> cases[] = {
            {plain, "Gamma Mono", "", "Gamma Mono"},
            {plain, "gamma mono", "", "Gamma Mono"},
            {withFoundries, "Nimbus Mono PS", "", "Nimbus Mono PS [UKWN]"},
            {plain, "Unlisted Mono", "", "Beta Serif"}, // neither: the list's second entry
            {plain, "", "", "Beta Serif"},
            {plain + QStringList{"Terminal"}, "Gamma Mono", "", "Terminal"}, // Terminal wins where it exists
            {plain, "Gamma Mono", "Delta Script", "Delta Script"},           // a saved font is kept
            {plain, "Gamma Mono", "Missing Face", "Beta Serif"},
        };
        const auto restore = qScopeGuard([] { platform::FontList::setFixedSource({}); });
        for (const auto& [families, fixed, saved, shown] : cases) {
            AppFixture app(ProgramFolder::WithDatabase, false);
            platform::FontList::setSource([list = families] { return list; });
            platform::FontList::setFixedSource([face = fixed] { return face; });
            if (!saved.isEmpty())
                app.setSetting("Font", saved);
            app.setSetting("FontBold", "True");
            app.window->Form_Load();
            const QListWidgetItem* listed = fontList(app)->currentItem();
            QVERIFY2(editorFont(app).family() == shown && app.window->documentState().strFontName == shown &&
                         listed && listed->text() == shown && !editorFont(app).bold(),
                     qPrintable(families.join('/') + " fixed " + fixed + " saved " + saved));
        }
    }

    void sizeBoxAppliesEveryChange() {
        AppFixture app;
        QComboBox* box = sizeBox(app);
        for (const char* text : {"abc", "0", "-5", "", "1e"}) {
            box->setEditText(QStringLiteral("14"));
            QCOMPARE(editorFont(app).pointSize(), 14);
            box->setEditText(QString::fromLatin1(text));
            QCOMPARE(box->currentText(), QStringLiteral("10"));
            QCOMPARE(editorFont(app).pointSize(), 10);
        }
        box->setEditText(QStringLiteral("12.5")); // ties go to the even neighbour
        QCOMPARE(app.window->documentState().lngFontSize, 12);
        box->setEditText(QStringLiteral("1")); // the smallest size taken
        QCOMPARE(editorFont(app).pointSize(), 1);
    }

    // New keeps the swatches' colours; the style buttons act by their indexes
    // and are written at close.
    void swatchesSurviveNewAndStylesAreKept() {
        AppFixture app;
        for (const auto& [swatch, colour] : {std::pair{"cmdColors_0", 0x0000FF}, {"cmdColors_1", 0x00FFFF}})
            app.window->findChild<ColourSwatch*>(swatch)->setBackColor(colour);
        app.typeText(QStringLiteral("x"));
        app.messages.queue(QMessageBox::No);
        app.action(QStringLiteral("mnuFile_0"))->trigger();
        const EntryEditor* editor = app.window->editor();
        QCOMPARE(std::tuple(editor->SelColor(), editor->BackColor(), editor->palette().color(QPalette::Text)),
                 std::tuple(0x0000FF, 0x00FFFF, QColor(255, 0, 0)));

        for (int index : {1, 3})
            app.window->findChild<QAbstractButton*>(QStringLiteral("chkFnts_%1").arg(index))->click();
        QVERIFY(editorFont(app).underline() && editorFont(app).strikeOut() && !editorFont(app).bold());
        app.messages.queue(QMessageBox::No);
        app.window->close();
        QCOMPARE(
            QStringList({app.setting("FontUnderline"), app.setting("FontStrike"), app.setting("FontBold")}),
            QStringList({"True", "True", "False"}));
    }

    void fontListNextFontAndHideText() {
        AppFixture app;
        fontList(app)->setCurrentRow(3);
        QCOMPARE(editorFont(app).family(), QStringLiteral("Delta Script"));
        fontList(app)->setCurrentRow(2);
        app.action(QStringLiteral("MnuFormat_1"))->trigger();
        QCOMPARE(app.window->documentState().strFontName, QStringLiteral("Delta Script"));
        app.action(QStringLiteral("MnuFormat_1"))->trigger(); // the last font wraps to the first
        QCOMPARE(editorFont(app).family(), QStringLiteral("Alpha Sans"));

        QAction* hide = app.action(QStringLiteral("MnuFormat_2"));
        for (const char* size : {"2", "10", "2"}) {
            hide->trigger();
            QCOMPARE(sizeBox(app)->currentText(), QString::fromLatin1(size));
            QCOMPARE(editorFont(app).pointSize(), QByteArray(size).toInt());
        }
        sizeBox(app)->setEditText(QStringLiteral("24"));
        hide->trigger();
        QCOMPARE(app.window->documentState().lngFontSize, 2);
    }
};

QTEST_MAIN(TestFormat)
#include "tst_format.moc"
