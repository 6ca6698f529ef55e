// The About box as the main window's Help menu shows it.
#include "tests/app/AppFixture.h"

#include "app/editor/EntryEditor.h"
#include "dialogs/frmAbout.h"
#include "platform/Beep.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class tst_aboutFromMainWindow : public QObject {
    Q_OBJECT
private slots:
    void helpAboutShowsOneModelessBox();
    void windowStaysUsableWhileDotsAreDrawn();
};

void tst_aboutFromMainWindow::helpAboutShowsOneModelessBox() {
    AppFixture app;
    QAction* about = app.action(QStringLiteral("MnuHelp"));
    QVERIFY(about);
    about->trigger();
    QPointer<frmAbout> box = frmAbout::loaded();
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->windowTitle(), QStringLiteral("About QorCofra"));
    QCOMPARE(box->parentWidget(), app.window.get());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    about->trigger();
    QCOMPARE(frmAbout::loaded(), box.data());
    QCOMPARE(app.window->findChildren<frmAbout*>().size(), 1);

    QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(box.isNull());
    QVERIFY(app.window->isVisible());
    QCOMPARE(app.messages.shown().size(), 0);
}

void tst_aboutFromMainWindow::windowStaysUsableWhileDotsAreDrawn() {
    AppFixture app;
    int beeps = 0;
    platform::Beep::setHook([&beeps] { ++beeps; });
    app.action(QStringLiteral("MnuHelp"))->trigger();
    QPointer<frmAbout> box = frmAbout::loaded();
    QVERIFY(box && QTest::qWaitForWindowExposed(box));
    box->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();

    QString typedDuringRun;
    QTimer::singleShot(50, this, [&] {
        app.typeText(QStringLiteral("written while the dots fly"));
        typedDuringRun = app.window->editor()->Text();
        app.action(QStringLiteral("MnuHelp"))->trigger(); // brings the same box forward
        QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    QTest::mouseClick(box->findChild<QWidget*>(QStringLiteral("Picture1")), Qt::LeftButton);

    QCOMPARE(typedDuringRun, QStringLiteral("written while the dots fly"));
    QCOMPARE(beeps, 1);
    QTRY_VERIFY(box.isNull());
    QCOMPARE(frmAbout::loaded(), nullptr);
    QCOMPARE(app.window->editor()->Text(), QStringLiteral("written while the dots fly"));
    platform::Beep::setHook({});
}

QTEST_MAIN(tst_aboutFromMainWindow)
#include "tst_aboutFromMainWindow.moc"
