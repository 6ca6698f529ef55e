#include "dialogs/frmAbout.h"
#include "platform/Beep.h"
#include "platform/Programs.h"
#include "platform/Shell.h"
#include "tests/support/ScriptedMessages.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <sys/resource.h>

class tst_frmAbout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void textsIconAndOneInstance();
    void firstThreeDotsOfARun();
    void clicksBeepAndNestRunsUntilClosed();
    void timerStartsExactlyOneRun();
    void runSleepsBetweenDots();
    void programCanEndDuringARun();
    void systemInfoTool();

private:
    // Unless a test is about the timer, its 5-second run is switched off so
    // that a long wait cannot start a run that nobody ends.
    void openBox(bool withTimer = false);
    template <typename T = QWidget> T* control(const char* name) {
        return m_box->findChild<T*>(QString::fromLatin1(name));
    }
    void clickOK() { QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton); }

    QWidget* m_owner = nullptr;
    QPointer<frmAbout> m_box;
    int m_beeps = 0;
    int m_fractions = 0; // two per dot
};

void tst_frmAbout::init() {
    m_beeps = m_fractions = 0;
    platform::Beep::setHook([this] { ++m_beeps; });
    frmAbout::setRandomSource([this] {
        ++m_fractions;
        return static_cast<float>(QRandomGenerator::global()->generateDouble());
    });
    m_owner = new QWidget;
    m_owner->show();
}

void tst_frmAbout::cleanup() {
    if (m_box)
        clickOK();
    QTRY_VERIFY(m_box.isNull());
    delete m_owner;
    platform::Beep::setHook({});
    platform::Shell::setOpener({});
    platform::Programs::setStarter({});
    frmAbout::setRandomSource({});
}

void tst_frmAbout::openBox(bool withTimer) {
    m_box = frmAbout::showFor(m_owner);
    if (!withTimer)
        control<QTimer>("Timer1")->stop();
    QVERIFY(QTest::qWaitForWindowExposed(m_box));
}

void tst_frmAbout::textsIconAndOneInstance() {
    QList<QUrl> opened;
    platform::Shell::setOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    openBox();
    QCOMPARE(m_box->windowTitle(), QStringLiteral("About QorCofra"));
    QCOMPARE(control<QLabel>("lblTitle")->text(), QStringLiteral("Qor Cofra"));
    QCOMPARE(control<QLabel>("lblVersion")->text(), QStringLiteral("Version 1.1"));
    QCOMPARE(control<QLabel>("lblDescription")->text(),
             QStringLiteral(
                 "Just a place to store any type of Text information, when you dont want others to see."));
    auto* disclaimer = control<QPlainTextEdit>("txtDisclaimer");
    QVERIFY(disclaimer->isReadOnly() && disclaimer->toPlainText().contains(QStringLiteral("RC4")));
    QCOMPARE(control<QPushButton>("cmdSysInfo")->text(), QStringLiteral("&System Info..."));

    // The icon opens the web page; neither it nor a label starts the dots.
    QVERIFY(!control<QLabel>("picIcon")->pixmap().isNull());
    QTest::mouseClick(control<QLabel>("picIcon"), Qt::LeftButton);
    QTest::mouseClick(control<QLabel>("lblDescription"), Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("https://qorcofra.example.org/"))});
    QCOMPARE(m_beeps + m_fractions, 0);

    // Modeless and one instance; OK unloads it.
    QVERIFY(!m_box->isModal());
    QCOMPARE(frmAbout::showFor(m_owner), m_box.data());
    clickOK();
    QCOMPARE(frmAbout::loaded(), nullptr);
}

void tst_frmAbout::firstThreeDotsOfARun() {
    openBox();
    QWidget* surface = control("Picture1");
    QCOMPARE(surface->geometry(), m_box->rect());

    // Three dots at known places; the seventh fraction is asked for once the
    // third dot is drawn.
    const float at[] = {0.15f, 0.2f, 0.5f, 0.45f, 0.85f, 0.75f};
    QImage shot;
    int asked = 0;
    frmAbout::setRandomSource([&]() -> float {
        if (asked < 6)
            return at[asked++];
        if (asked++ == 6) {
            shot = surface->grab().toImage();
            clickOK();
        }
        return 0.5f;
    });
    QTest::mouseClick(surface, Qt::LeftButton);
    QCOMPARE(m_beeps, 1);

    const double pixelsPerPoint = surface->logicalDpiX() / 72.0;
    const struct {
        QRgb colour;
        double width;
    } dots[] = {{qRgb(0, 0, 0), 5}, {qRgb(128, 128, 128), 4}, {qRgb(255, 0, 0), 3}};
    for (int i = 0; i < 3; ++i) {
        const QPoint centre(qRound(at[2 * i] * shot.width() + pixelsPerPoint / 2),
                            qRound(at[2 * i + 1] * shot.height() + pixelsPerPoint / 2));
        QCOMPARE(QColor(shot.pixel(centre)), QColor(dots[i].colour));
        // A round pen of width w along a stroke one point right and down covers
        // about pi w^2/4 + w * stroke pixels; each width's band excludes the others.
        const double w = dots[i].width;
        const double area = M_PI * w * w / 4 + w * std::sqrt(2.0) * pixelsPerPoint;
        int counted = 0;
        for (int y = centre.y() - 10; y <= centre.y() + 10; ++y)
            for (int x = centre.x() - 10; x <= centre.x() + 10; ++x)
                counted += shot.pixel(x, y) == dots[i].colour;
        QVERIFY2(counted > 0.85 * area && counted < 1.15 * area,
                 qPrintable(
                     QStringLiteral("dot %1: %2 pixels, about %3 wanted").arg(i + 1).arg(counted).arg(area)));
    }
}

void tst_frmAbout::clicksBeepAndNestRunsUntilClosed() {
    openBox();
    const QPoint bare(3, m_box->height() - 3);
    QCOMPARE(m_box->childAt(bare), control("Picture1"));

    int beepsInFirst = -1, beepsInSecond = -1, drawnInFirst = -1, drawnInSecond = -1;
    bool secondReturned = false;
    QTimer::singleShot(60, this, [&] {
        beepsInFirst = m_beeps;
        drawnInFirst = m_fractions;
        QTimer::singleShot(60, this, [&] {
            beepsInSecond = m_beeps;
            drawnInSecond = m_fractions;
            clickOK();
        });
        QTest::mouseClick(m_box, Qt::LeftButton, {}, bare); // a run inside the first
        secondReturned = true;
    });
    QTest::mouseClick(control("Picture1"), Qt::LeftButton);

    // Closing ended both runs: both clicks returned, one beep each.
    QVERIFY(secondReturned);
    QCOMPARE(beepsInFirst, 1);
    QCOMPARE(beepsInSecond, 2);
    QCOMPARE(m_beeps, 2);
    QVERIFY(drawnInFirst > 0 && drawnInSecond > drawnInFirst);
    QTRY_VERIFY(m_box.isNull());
    const int drawnAtClose = m_fractions;
    QTest::qWait(50);
    QCOMPARE(m_fractions, drawnAtClose);
}

void tst_frmAbout::timerStartsExactlyOneRun() {
    openBox(true);
    auto* timer = control<QTimer>("Timer1");
    QCOMPARE(timer->interval(), 5000);
    int beepsBefore = -1, beepsDuring = -1, beepsLater = -1, drawnDuring = -1;
    QTimer::singleShot(4500, this, [&] { beepsBefore = m_beeps; });
    QTimer::singleShot(5400, this, [&] {
        beepsDuring = m_beeps;
        drawnDuring = m_fractions;
        QTimer::singleShot(400, this, [&] {
            beepsLater = m_beeps;
            QVERIFY(!timer->isActive());
            clickOK();
        });
    });
    QTRY_VERIFY_WITH_TIMEOUT(m_box.isNull(), 15000);
    QCOMPARE(beepsBefore, 0);
    QCOMPARE(beepsDuring, 1);
    QVERIFY(drawnDuring > 0);
    QCOMPARE(beepsLater, 1);
}

void tst_frmAbout::runSleepsBetweenDots() {
    // At most one dot per millisecond, and most of the time spent waiting.
    const auto processorSeconds = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    openBox();
    int dots = 0;
    double processor = 0;
    QElapsedTimer wall;
    QTimer::singleShot(100, this, [&] {
        dots = -m_fractions / 2;
        processor = -processorSeconds();
        wall.start();
        QTimer::singleShot(1000, this, [&] {
            dots += m_fractions / 2;
            processor += processorSeconds();
            clickOK();
        });
    });
    QTest::mouseClick(control("Picture1"), Qt::LeftButton);
    const qint64 ms = wall.elapsed();
    QVERIFY2(dots > 0 && dots <= ms + 2, qPrintable(QStringLiteral("%1 dots in %2 ms").arg(dots).arg(ms)));
    QVERIFY2(processor < 0.5 * ms / 1000.0,
             qPrintable(QStringLiteral("%1 s busy in %2 ms").arg(processor).arg(ms)));
}

void tst_frmAbout::programCanEndDuringARun() {
    // When the main window closes, the application's event loop ends while
    // the box may still be drawing; the runs must let the program leave.
    openBox();
    bool nestedReturned = false;
    QTimer::singleShot(30, this, [&] {
        QTimer::singleShot(30, this, [] { QCoreApplication::exit(0); });
        QTest::mouseClick(control("Picture1"), Qt::LeftButton);
        nestedReturned = true;
    });
    QTest::mouseClick(control("Picture1"), Qt::LeftButton);
    QVERIFY(nestedReturned);
    QCOMPARE(m_beeps, 2);
    // After exit() no event loop starts until an application loop has run once more.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

void tst_frmAbout::systemInfoTool() {
    QTemporaryDir bin;
    struct PathGuard {
        QByteArray saved = qgetenv("PATH");
        ~PathGuard() { qputenv("PATH", saved); }
    } pathGuard;
    qputenv("PATH", bin.path().toLocal8Bit());
    ScriptedMessages messages;
    openBox();

    // Nothing on PATH: the message is the only effect.
    QTest::mouseClick(control<QPushButton>("cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(messages.shown().size(), 1);
    const platform::MessageBoxSpec box = messages.shown().first();
    QCOMPARE(box.title, QStringLiteral("QorCofra"));
    QCOMPARE(box.text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(box.icon, platform::MsgIcon::None);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // A tool on PATH is started, and nothing is said; one that will not start counts as none.
    const QString marker = bin.filePath(QStringLiteral("started"));
    QFile tool(bin.filePath(QStringLiteral("hardinfo")));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write(QStringLiteral("#!/bin/sh\n: > '%1'\n").arg(marker).toLocal8Bit());
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    messages.clear();
    QTest::mouseClick(control<QPushButton>("cmdSysInfo"), Qt::LeftButton);
    QTRY_VERIFY(QFile::exists(marker));
    QCOMPARE(messages.shown().size(), 0);
    platform::Programs::setStarter([](const QString&) { return false; });
    QTest::mouseClick(control<QPushButton>("cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(m_beeps, 0);
}

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
