// Start-up time of the program's main window (until it is shown and its font
// list is filled) against a bare Qt program that shows an empty QMainWindow.
// Each start is a fresh process of this executable, timed from outside, so
// both include loading libraries, the platform plugin and the font database.
// A child ends the moment its window is up: tearing down is not starting up.
// The bare window is given the size of ours, so that the cost of the first
// paint, which grows with the window's area, weighs the same on both sides;
// it is timed at Qt's default size too.
#include "app/frmCofra.h"
#include "platform/AppPath.h"
#include "platform/FontList.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kRounds = 15;

[[noreturn]] void endNow(bool ok) {
    std::fflush(stderr);
    std::_Exit(ok ? 0 : 1);
}

// The program's folder and settings live in a folder the parent made and cleans up.
int runOurs(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = qEnvironmentVariable("COFRA_BENCH_FOLDER");
    modCofra::strAppPath = folder + QLatin1Char('/');
    platform::SettingsStore::useFile(folder + QStringLiteral("/settings.ini"));
    frmCofra window;
    window.Form_Load();
    const bool shown = QTest::qWaitForWindowExposed(&window);
    const auto* list = window.findChild<QListWidget*>(QStringLiteral("lstFont"));
    std::fprintf(stderr, "%d %d %d\n", list ? list->count() : -1, window.width(), window.height());
    endNow(shown && list && list->count() > 0 && list->isEnabled());
}

// With a width and a height after the mode, the window takes that size.
int runBare(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    if (argc > 3)
        window.resize(QString::fromLatin1(argv[2]).toInt(), QString::fromLatin1(argv[3]).toInt());
    window.show();
    endNow(QTest::qWaitForWindowExposed(&window));
}

double childCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Ours reports on its last line the font count and the window's width and height.
qint64 timeStart(const QString& self, const QStringList& arguments, QStringList* report,
                 double* cpuMs = nullptr) {
    const double cpuBefore = childCpuMs();
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(self, arguments);
    child.waitForFinished(60000);
    const qint64 elapsed = clock.nsecsElapsed();
    if (cpuMs)
        *cpuMs = childCpuMs() - cpuBefore;
    if (child.exitCode() != 0)
        std::fprintf(stderr, "%s start failed\n", qPrintable(arguments.join(QLatin1Char(' '))));
    if (report)
        *report = QString::fromLatin1(child.readAllStandardError())
                      .trimmed()
                      .split(QLatin1Char('\n'))
                      .last()
                      .split(QLatin1Char(' '));
    return elapsed;
}

// The quickest start is the one least disturbed by whatever else the machine is doing.
qint64 fastest(const std::vector<qint64>& values) {
    return *std::min_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && qstrcmp(argv[1], "--ours") == 0)
        return runOurs(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--bare") == 0)
        return runBare(argc, argv);

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    QTemporaryDir folder;
    qputenv("COFRA_BENCH_FOLDER", QFile::encodeName(folder.path()));
    // The first starts warm the file cache for all; ours tells the size to give the bare window.
    QStringList report;
    timeStart(self, {QStringLiteral("--bare")}, nullptr);
    timeStart(self, {QStringLiteral("--ours")}, &report);
    const QStringList ours = {QStringLiteral("--ours")};
    const QStringList bareSized = {QStringLiteral("--bare"), report.value(1), report.value(2)};
    const QStringList bareDefault = {QStringLiteral("--bare")};
    std::vector<qint64> oursTimes, sizedTimes, defaultTimes;
    std::vector<double> oursCpu, sizedCpu;
    for (int round = 0; round < kRounds; ++round) {
        double cpu = 0;
        sizedTimes.push_back(timeStart(self, bareSized, nullptr, &cpu));
        sizedCpu.push_back(cpu);
        defaultTimes.push_back(timeStart(self, bareDefault, nullptr));
        oursTimes.push_back(timeStart(self, ours, &report, &cpu));
        oursCpu.push_back(cpu);
    }
    const int fonts = report.value(0).toInt();
    std::fprintf(
        stderr,
        "  program %.1f ms, bare window %.1f ms at %sx%s px, %.1f ms at Qt's default size, %d fonts\n",
        fastest(oursTimes) / 1e6, fastest(sizedTimes) / 1e6, qPrintable(report.value(1)),
        qPrintable(report.value(2)), fastest(defaultTimes) / 1e6, fonts);
    const auto ratio = [](qint64 top, qint64 bottom) {
        return static_cast<double>(top) / static_cast<double>(bottom);
    };
    std::printf("startup_ratio %.3f\n", ratio(fastest(oursTimes), fastest(sizedTimes)));
    std::printf("startup_ratio_default_size_bare %.3f\n", ratio(fastest(oursTimes), fastest(defaultTimes)));
    std::printf("startup_fonts %d\n", fonts);
    std::printf("startup_cpu_ratio %.3f\n", *std::min_element(oursCpu.begin(), oursCpu.end()) /
                                                *std::min_element(sizedCpu.begin(), sizedCpu.end()));
    return 0;
}
