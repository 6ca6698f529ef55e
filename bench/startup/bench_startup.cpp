// Start-up time of the program's main window (until it is shown and its font
// list is filled) against a bare Qt program that shows an empty QMainWindow.
// Each start is a fresh process of this executable, timed from outside, so
// both include loading libraries, the platform plugin and the font database.
// A child ends the moment its window is up: tearing down is not starting up.
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
    std::fprintf(stderr, "%d\n", list ? list->count() : -1);
    endNow(shown && list && list->count() > 0 && list->isEnabled());
}

int runBare(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.show();
    endNow(QTest::qWaitForWindowExposed(&window));
}

double childCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

qint64 timeStart(const QString& self, const QString& mode, int* fonts, double* cpuMs = nullptr) {
    const double cpuBefore = childCpuMs();
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(self, {mode});
    child.waitForFinished(60000);
    const qint64 elapsed = clock.nsecsElapsed();
    if (cpuMs)
        *cpuMs = childCpuMs() - cpuBefore;
    if (child.exitCode() != 0)
        std::fprintf(stderr, "%s start failed\n", qPrintable(mode));
    if (fonts)
        *fonts = QString::fromLatin1(child.readAllStandardError())
                     .trimmed()
                     .split(QLatin1Char('\n'))
                     .last()
                     .toInt();
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
    int fonts = 0;
    std::vector<qint64> ours, bare;
    std::vector<double> oursCpu, bareCpu;
    timeStart(self, QStringLiteral("--bare"), nullptr); // warm the file cache for both
    timeStart(self, QStringLiteral("--ours"), nullptr);
    for (int round = 0; round < kRounds; ++round) {
        double cpu = 0;
        bare.push_back(timeStart(self, QStringLiteral("--bare"), nullptr, &cpu));
        bareCpu.push_back(cpu);
        ours.push_back(timeStart(self, QStringLiteral("--ours"), &fonts, &cpu));
        oursCpu.push_back(cpu);
    }
    std::fprintf(stderr, "  program %.1f ms, bare window %.1f ms, %d fonts\n", fastest(ours) / 1e6,
                 fastest(bare) / 1e6, fonts);
    std::printf("startup_ratio %.3f\n",
                static_cast<double>(fastest(ours)) / static_cast<double>(fastest(bare)));
    std::printf("startup_fonts %d\n", fonts);
    std::printf("startup_cpu_ratio %.3f\n", *std::min_element(oursCpu.begin(), oursCpu.end()) /
                                                *std::min_element(bareCpu.begin(), bareCpu.end()));
    return 0;
}
