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
    void windowStaysUsableWhileDotsAreDrawn();
};

void tst_aboutFromMainWindow::windowStaysUsableWhileDotsAreDrawn() {
    AppFixture app;
    int beeps = 0;
    platform::Beep::setHook([&beeps] { ++beeps; });
    QAction* about = app.action(QStringLiteral("MnuHelp"));
    about->trigger();
    QPointer<frmAbout> box = frmAbout::loaded();
    QVERIFY(box && QTest::qWaitForWindowExposed(box));
    QCOMPARE(box->parentWidget(), app.window.get());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    box->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();

    QString typedDuringRun;
    QTimer::singleShot(50, this, [&] {
        app.typeText(QStringLiteral("written while the dots fly"));
        typedDuringRun = app.window->editor()->Text();
        about->trigger(); // brings the same box forward
        QCOMPARE(app.window->findChildren<frmAbout*>().size(), 1);
        QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    QTest::mouseClick(box->findChild<QWidget*>(QStringLiteral("Picture1")), Qt::LeftButton);

    QCOMPARE(typedDuringRun, QStringLiteral("written while the dots fly"));
    QCOMPARE(beeps, 1);
    QTRY_VERIFY(box.isNull());
    QCOMPARE(app.window->editor()->Text(), QStringLiteral("written while the dots fly"));
    QCOMPARE(app.messages.shown().size(), 0);
    platform::Beep::setHook({});
}

QTEST_MAIN(tst_aboutFromMainWindow)
#include "tst_aboutFromMainWindow.moc"
