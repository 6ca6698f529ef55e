// The About box as the main window's Help menu shows it, driven as a user.
#include "dialogs/frmAbout.h"
#include "platform/Beep.h"
#include "platform/Programs.h"
#include "tests/app/AppFixture.h"

#include <QtWidgets>

class tst_frmAbout : public QObject {
    Q_OBJECT
    std::unique_ptr<AppFixture> m_app;
    QPointer<frmAbout> m_box;
    int m_beeps = 0, m_fractions = 0; // two fractions per dot
    const QByteArray m_path = qgetenv("PATH");

    QWidget* control(const char* name) const { return m_box->findChild<QWidget*>(QLatin1String(name)); }
    void clickOK() { QTest::mouseClick(control("cmdOK"), Qt::LeftButton); }
    // Clicks `target` (Picture1 unless given), which draws dots until the box
    // closes; `then` runs `ms` milliseconds into the run.
    void runDots(int ms, const std::function<void()>& then, QWidget* target = nullptr, QPoint at = {}) {
        QTimer::singleShot(ms, this, then);
        QTest::mouseClick(target ? target : control("Picture1"), Qt::LeftButton, {}, at);
    }

    // A click on the bare window runs dots inside the first run. Closing the
    // box ends both runs; so does the end of the program, when the application's
    // event loop ends while the box is still drawing.
    void nestedRunsEnd(bool quit) {
        int drawnInFirst = -1;
        bool nestedReturned = false;
        runDots(30, [&] {
            drawnInFirst = m_fractions;
            runDots(30, [&] { quit ? QCoreApplication::exit(0) : clickOK(); }, m_box,
                    {3, m_box->height() - 3});
            nestedReturned = true;
        });
        QCOMPARE(std::tuple(nestedReturned, drawnInFirst > 0, m_beeps), std::tuple(true, true, 2));
        if (quit) {
            // After exit() no event loop starts until an application loop has run once more.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
        }
    }

private slots:
    void init() {
        m_beeps = m_fractions = 0;
        platform::Beep::setHook([this] { ++m_beeps; });
        frmAbout::setRandomSource([this] {
            ++m_fractions;
            return static_cast<float>(QRandomGenerator::global()->generateDouble());
        });
        m_app = std::make_unique<AppFixture>();
        m_app->action(QStringLiteral("MnuHelp"))->trigger();
        m_box = frmAbout::loaded();
        QVERIFY(m_box && QTest::qWaitForWindowExposed(m_box));
        // The run the timer would start is switched off, so that no run outlives its test.
        m_box->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    }

    void cleanup() {
        if (m_box)
            clickOK();
        QTRY_VERIFY(m_box.isNull());
        m_app.reset();
        qputenv("PATH", m_path);
        platform::Beep::setHook({});
        platform::Programs::setStarter({});
        frmAbout::setRandomSource({});
    }

    void nestedRunsEndWithTheBox() { nestedRunsEnd(false); }
    void nestedRunsEndWithTheProgram() { nestedRunsEnd(true); }

    void databaseAndSystemInfoTool() {
        QCOMPARE(control("lblDatabase")->property("text").toString(),
                 "Entries are kept in " + m_app->folder.databasePath());
        QTemporaryDir bin;
        qputenv("PATH", bin.path().toLocal8Bit());
        // Nothing on PATH: the message is the only effect.
        QTest::mouseClick(control("cmdSysInfo"), Qt::LeftButton);
        const platform::MessageBoxSpec box = m_app->messages.shown().value(0);
        QCOMPARE(box.title + '|' + box.text, "QorCofra|System Information Is Unavailable At This Time");
        QVERIFY(box.icon == platform::MsgIcon::None && box.buttons == QMessageBox::Ok);

        // A tool on PATH is started, and nothing is said; one that will not start counts as none.
        QFile tool(bin.filePath(QStringLiteral("hardinfo")));
        QVERIFY(tool.open(QIODevice::WriteOnly) && tool.write("#!/bin/sh\n: > \"$0.started\"\n") > 0 &&
                tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        tool.close();
        QTest::mouseClick(control("cmdSysInfo"), Qt::LeftButton);
        QTRY_VERIFY(QFile::exists(tool.fileName() + ".started"));
        QCOMPARE(m_app->messages.shown().size(), 1);
        platform::Programs::setStarter([](const QString&) { return false; });
        QTest::mouseClick(control("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(m_app->messages.shown().size(), 2);
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
