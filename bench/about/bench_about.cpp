// Processor use of the About box while its dot animation runs.
//
//   cofra_bench_about [--seconds N] [--unpaced]
//
// Opens the box, starts one run of dots as a click would and measures, over N
// seconds (10 by default), the process's processor time and the dots drawn.
// --unpaced measures instead a loop that draws a dot and lets pending events
// run once, with no wait in between: the cost the paced animation avoids.
#include "dialogs/frmAbout.h"
#include "platform/Beep.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool unpaced = args.contains(QStringLiteral("--unpaced"));
    double seconds = 10;
    if (const qsizetype at = args.indexOf(QStringLiteral("--seconds")); at >= 0 && at + 1 < args.size())
        seconds = args.at(at + 1).toDouble();

    platform::Beep::setHook([] {});
    qint64 fractions = 0;
    frmAbout::setRandomSource([&fractions] {
        ++fractions;
        return static_cast<float>(QRandomGenerator::global()->generateDouble());
    });

    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    frmAbout* box = frmAbout::showFor(&owner);
    // One run at a time: the box's own 5-second run would nest a second one.
    if (auto* timer = box->findChild<QTimer*>(QStringLiteral("Timer1")))
        timer->stop();

    bool stop = false;
    QTimer::singleShot(500, &app, [&] {
        const double cpuStart = processorSeconds();
        const qint64 dotsStart = fractions / 2;
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(static_cast<int>(seconds * 1000), &app, [&, cpuStart, dotsStart] {
            const double cpu = processorSeconds() - cpuStart;
            const double elapsed = wall.nsecsElapsed() / 1e9;
            const qint64 dots = (unpaced ? fractions : fractions / 2) - dotsStart;
            std::printf("platform %s, %s animation, %.1f s with the About box open\n",
                        qPrintable(QGuiApplication::platformName()), unpaced ? "unpaced" : "paced", elapsed);
            std::printf("  dots drawn:      %lld (%.0f per second)\n", static_cast<long long>(dots),
                        dots / elapsed);
            std::printf("  processor time:  %.2f s = %.1f %% of one core\n", cpu, 100.0 * cpu / elapsed);
            std::fflush(stdout);
            stop = true;
            box->close();
        });
        if (unpaced) {
            while (!stop) {
                const float x = static_cast<float>(QRandomGenerator::global()->generateDouble()) * 300;
                const float y = static_cast<float>(QRandomGenerator::global()->generateDouble()) * 200;
                ++fractions;
                box->QorDotAt(x, y, 0);
                QCoreApplication::processEvents();
            }
        } else {
            QMetaObject::invokeMethod(box, &frmAbout::ScatterDots);
        }
        QTimer::singleShot(100, &app, &QCoreApplication::quit);
    });
    return QApplication::exec();
}
