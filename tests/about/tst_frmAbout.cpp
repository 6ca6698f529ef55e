#include "dialogs/frmAbout.h"
#include "platform/AppInfo.h"
#include "platform/Beep.h"
#include "platform/Programs.h"
#include "platform/Shell.h"
#include "tests/support/ScriptedMessages.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <cmath>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Pixels of exactly `colour` in the square of half-size `reach` around `centre`.
int pixelsOfColour(const QImage& image, QPoint centre, QRgb colour, int reach = 10) {
    int count = 0;
    for (int y = centre.y() - reach; y <= centre.y() + reach; ++y)
        for (int x = centre.x() - reach; x <= centre.x() + reach; ++x)
            if (image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++count;
    return count;
}

} // namespace

class tst_frmAbout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void textsCaptionAndOneInstance();
    void firstThreeDotsOfARun();
    void clicksBeepAndNestRunsUntilClosed();
    void iconOpensWebPageAndLabelsDoNotAnimate();
    void timerStartsExactlyOneRun();
    void runSleepsBetweenDots();
    void programCanEndDuringARun();
    void systemInfoTool();

private:
    // Opens the box; unless the test is about the timer, its 5-second run is
    // switched off so that a long wait cannot start a run nobody ends.
    frmAbout* openBox(bool withTimer = false);
    template <typename T> T* control(const char* name) {
        T* widget = m_box->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void closeAndWaitForUnload();

    QWidget* m_owner = nullptr;
    QPointer<frmAbout> m_box;
    int m_beeps = 0;
    int m_fractionsDrawn = 0;
};

void tst_frmAbout::init() {
    m_beeps = 0;
    m_fractionsDrawn = 0;
    platform::Beep::setHook([this] { ++m_beeps; });
    frmAbout::setRandomSource([this] {
        ++m_fractionsDrawn;
        return static_cast<float>(QRandomGenerator::global()->generateDouble());
    });
    m_owner = new QWidget;
    m_owner->resize(300, 200);
    m_owner->show();
}

void tst_frmAbout::cleanup() {
    if (m_box)
        closeAndWaitForUnload();
    delete m_owner;
    platform::Beep::setHook({});
    platform::Shell::setOpener({});
    platform::Programs::setStarter({});
    frmAbout::setRandomSource({});
}

frmAbout* tst_frmAbout::openBox(bool withTimer) {
    m_box = frmAbout::showFor(m_owner);
    if (!withTimer)
        control<QTimer>("Timer1")->stop();
    if (!QTest::qWaitForWindowExposed(m_box))
        qFatal("About box not exposed");
    return m_box;
}

void tst_frmAbout::closeAndWaitForUnload() {
    QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(m_box.isNull());
}

void tst_frmAbout::textsCaptionAndOneInstance() {
    QCOMPARE(frmAbout::loaded(), nullptr);
    frmAbout* box = openBox();
    QCOMPARE(box->windowTitle(), QStringLiteral("About QorCofra"));
    QCOMPARE(control<QLabel>("lblTitle")->text(), QStringLiteral("Qor Cofra"));
    QCOMPARE(control<QLabel>("lblVersion")->text(), QStringLiteral("Version 1.1"));
    QCOMPARE(control<QLabel>("lblDescription")->text(),
             QStringLiteral(
                 "Just a place to store any type of Text information, when you dont want others to see."));
    auto* disclaimer = control<QPlainTextEdit>("txtDisclaimer");
    QVERIFY(disclaimer->isReadOnly());
    QVERIFY(disclaimer->toPlainText().contains(QStringLiteral("without warranty")));
    QVERIFY(disclaimer->toPlainText().contains(QStringLiteral("RC4")));
    QCOMPARE(control<QPushButton>("cmdOK")->text(), QStringLiteral("OK"));
    QCOMPARE(control<QPushButton>("cmdSysInfo")->text(), QStringLiteral("&System Info..."));

    // Modeless, owned by the main window, one instance however often it is asked for.
    QVERIFY(!box->isModal());
    QCOMPARE(box->parentWidget(), m_owner);
    QCOMPARE(frmAbout::showFor(m_owner), box);
    QCOMPARE(frmAbout::loaded(), box);
    QCOMPARE(m_owner->findChildren<frmAbout*>().size(), 1);

    // OK unloads it; the next Help > About loads a fresh one.
    closeAndWaitForUnload();
    QCOMPARE(frmAbout::loaded(), nullptr);
    frmAbout* again = openBox();
    QVERIFY(again->isVisible());
    QCOMPARE(frmAbout::loaded(), again);
}

void tst_frmAbout::firstThreeDotsOfARun() {
    openBox();
    auto* surface = control<QWidget>("Picture1");
    QCOMPARE(surface->geometry(), m_box->rect()); // it covers the window

    // Three dots at known places, far apart; the fourth request comes after the
    // third dot has been drawn and the box has waited once.
    const QList<float> fractions{0.15f, 0.2f, 0.5f, 0.45f, 0.85f, 0.75f};
    QImage shot;
    int calls = 0;
    frmAbout::setRandomSource([&]() -> float {
        if (calls < fractions.size())
            return fractions.at(calls++);
        if (calls++ == fractions.size()) {
            shot = surface->grab().toImage();
            QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
        }
        return 0.5f;
    });
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(2, 2));
    QTRY_VERIFY(m_box.isNull());
    QVERIFY(!shot.isNull());

    const double pixelsPerPoint = surface->logicalDpiX() / 72.0;
    const double stroke = std::sqrt(2.0) * pixelsPerPoint; // a line of one point right and down
    struct Dot {
        QRgb colour;
        int width;
    };
    const Dot expected[] = {{qRgb(0, 0, 0), 5}, {qRgb(128, 128, 128), 4}, {qRgb(255, 0, 0), 3}};
    for (int i = 0; i < 3; ++i) {
        const QPoint centre(qRound(fractions[2 * i] * shot.width() + pixelsPerPoint / 2),
                            qRound(fractions[2 * i + 1] * shot.height() + pixelsPerPoint / 2));
        QCOMPARE(QColor(shot.pixel(centre)), QColor(expected[i].colour));
        // A round pen of width w drawn along the short stroke covers about
        // pi w^2 / 4 + w * stroke pixels; each width's band excludes the others.
        const double w = expected[i].width;
        const double area = M_PI * w * w / 4 + w * stroke;
        const int counted = pixelsOfColour(shot, centre, expected[i].colour);
        QVERIFY2(
            counted > 0.85 * area && counted < 1.15 * area,
            qPrintable(
                QStringLiteral("dot %1: %2 pixels, expected about %3").arg(i + 1).arg(counted).arg(area)));
    }
    QCOMPARE(m_beeps, 1);
}

void tst_frmAbout::clicksBeepAndNestRunsUntilClosed() {
    openBox();
    auto* surface = control<QWidget>("Picture1");
    const QPoint bare(3, m_box->height() - 3);
    QCOMPARE(m_box->childAt(bare), surface);

    int beepsInFirstRun = -1, beepsInSecondRun = -1, drawnBeforeSecond = -1, drawnInSecond = -1;
    bool secondRunReturned = false;
    QTimer::singleShot(60, this, [&] {
        beepsInFirstRun = m_beeps;
        drawnBeforeSecond = m_fractionsDrawn;
        QTimer::singleShot(60, this, [&] {
            beepsInSecondRun = m_beeps;
            drawnInSecond = m_fractionsDrawn;
            QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
        });
        // A click on the bare window while the first run goes on starts a second one inside it.
        QTest::mouseClick(m_box, Qt::LeftButton, {}, bare);
        secondRunReturned = true;
    });
    QTest::mouseClick(surface, Qt::LeftButton);

    // Both runs have ended: the clicks returned, with exactly one beep each.
    QVERIFY(secondRunReturned);
    QCOMPARE(beepsInFirstRun, 1);
    QCOMPARE(beepsInSecondRun, 2);
    QCOMPARE(m_beeps, 2);
    QVERIFY(drawnBeforeSecond > 0);
    QVERIFY(drawnInSecond > drawnBeforeSecond);
    QTRY_VERIFY(m_box.isNull());
    const int drawnAtClose = m_fractionsDrawn;
    QTest::qWait(50);
    QCOMPARE(m_fractionsDrawn, drawnAtClose);
}

void tst_frmAbout::iconOpensWebPageAndLabelsDoNotAnimate() {
    QList<QUrl> opened;
    platform::Shell::setOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    openBox();
    QTest::mouseClick(control<QLabel>("picIcon"), Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("https://qorcofra.example.org/"))});

    // Controls are not the bare window: a click on a label or the icon starts nothing.
    QTest::mouseClick(control<QLabel>("lblDescription"), Qt::LeftButton);
    QTest::mouseClick(control<QLabel>("lblTitle"), Qt::LeftButton);
    QCOMPARE(m_beeps, 0);
    QCOMPARE(m_fractionsDrawn, 0);
}

void tst_frmAbout::timerStartsExactlyOneRun() {
    openBox(true);
    auto* timer = control<QTimer>("Timer1");
    QCOMPARE(timer->interval(), 5000);
    QVERIFY(timer->isActive());

    int beepsBefore = -1, beepsDuring = -1, beepsLater = -1, drawnDuring = -1;
    QTimer::singleShot(4500, this, [&] { beepsBefore = m_beeps; });
    QTimer::singleShot(5400, this, [&] {
        beepsDuring = m_beeps;
        drawnDuring = m_fractionsDrawn;
        QTimer::singleShot(400, this, [&] {
            beepsLater = m_beeps;
            QVERIFY(!timer->isActive());
            QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
        });
    });
    QTRY_VERIFY_WITH_TIMEOUT(m_box.isNull(), 15000);
    QCOMPARE(beepsBefore, 0);
    QCOMPARE(beepsDuring, 1);
    QVERIFY(drawnDuring > 0);
    QCOMPARE(beepsLater, 1);
}

void tst_frmAbout::runSleepsBetweenDots() {
    // The animation must leave the processor alone between dots: no more than
    // one dot per millisecond, and most of the time spent waiting.
    openBox();
    int dotsAtStart = 0;
    double cpuAtStart = 0, cpuUsed = 0;
    qint64 wallMs = 0;
    QElapsedTimer wall;
    QTimer::singleShot(100, this, [&] {
        dotsAtStart = m_fractionsDrawn / 2;
        cpuAtStart = cpuSeconds();
        wall.start();
        QTimer::singleShot(1000, this, [&] {
            cpuUsed = cpuSeconds() - cpuAtStart;
            wallMs = wall.elapsed();
            dotsAtStart = m_fractionsDrawn / 2 - dotsAtStart;
            QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
        });
    });
    QTest::mouseClick(control<QWidget>("Picture1"), Qt::LeftButton);
    const int dots = dotsAtStart;
    QVERIFY2(dots > 0 && dots <= wallMs + 2,
             qPrintable(QStringLiteral("%1 dots in %2 ms").arg(dots).arg(wallMs)));
    QVERIFY2(cpuUsed < 0.5 * wallMs / 1000.0,
             qPrintable(QStringLiteral("%1 s of processor time in %2 ms").arg(cpuUsed).arg(wallMs)));
}

void tst_frmAbout::programCanEndDuringARun() {
    // Closing the main window ends the application's event loop while the box
    // may still be drawing; the run must then let the program leave.
    openBox();
    bool nestedReturned = false;
    QTimer::singleShot(30, this, [&] {
        QTimer::singleShot(30, this, [] { QCoreApplication::exit(0); });
        QTest::mouseClick(control<QWidget>("Picture1"), Qt::LeftButton);
        nestedReturned = true;
    });
    QTest::mouseClick(control<QWidget>("Picture1"), Qt::LeftButton);
    QVERIFY(nestedReturned);
    QCOMPARE(m_beeps, 2);
    // exit() leaves every later event loop refusing to start until an
    // application loop has run once more.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

void tst_frmAbout::systemInfoTool() {
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    struct PathGuard {
        QByteArray saved = qgetenv("PATH");
        ~PathGuard() { qputenv("PATH", saved); }
    } pathGuard;
    qputenv("PATH", bin.path().toLocal8Bit());
    ScriptedMessages messages;
    QStringList started;
    openBox();

    // Nothing on PATH: the message is the only effect.
    platform::Programs::setStarter([&](const QString& program) {
        started << program;
        return true;
    });
    QTest::mouseClick(control<QPushButton>("cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(messages.shown().size(), 1);
    const platform::MessageBoxSpec box = messages.shown().first();
    QCOMPARE(box.title, QStringLiteral("QorCofra"));
    QCOMPARE(box.text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(box.icon, platform::MsgIcon::None);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(started.isEmpty());
    QCOMPARE(m_beeps, 0);

    // A tool on PATH is really started, and nothing is said.
    const QString marker = bin.filePath(QStringLiteral("started"));
    QFile tool(bin.filePath(QStringLiteral("hardinfo")));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write(QStringLiteral("#!/bin/sh\necho \"$0\" > '%1'\n").arg(marker).toLocal8Bit());
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    platform::Programs::setStarter({});
    messages.clear();
    QTest::mouseClick(control<QPushButton>("cmdSysInfo"), Qt::LeftButton);
    QTRY_VERIFY(QFile::exists(marker));
    QCOMPARE(messages.shown().size(), 0);

    // A tool that will not start counts as no tool.
    platform::Programs::setStarter([](const QString&) { return false; });
    QTest::mouseClick(control<QPushButton>("cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().text, QStringLiteral("System Information Is Unavailable At This Time"));
}

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
