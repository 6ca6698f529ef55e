// How long the main window's editor takes to take a large text and paint it,
// against a bare QPlainTextEdit that wraps anywhere, in the same run.
#include "app/editor/EntryEditor.h"
#include "bench/common/BenchTexts.h"
#include "bench/common/Median.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextOption>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 5;

template <typename SetText> qint64 timeOnce(QPlainTextEdit& edit, const QString& text, SetText setText) {
    setText(edit, QString());
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    setText(edit, text);
    edit.viewport()->repaint();
    return clock.nsecsElapsed();
}

double ratio(const QString& text) {
    EntryEditor ours;
    QPlainTextEdit bare;
    bare.setWordWrapMode(QTextOption::WrapAnywhere);
    for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&ours), &bare}) {
        edit->resize(640, 480);
        edit->setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        edit->show();
    }
    QApplication::processEvents();
    std::vector<qint64> oursTimes, bareTimes;
    for (int round = 0; round < kRounds; ++round) {
        oursTimes.push_back(timeOnce(ours, text, [](QPlainTextEdit& e, const QString& t) {
            static_cast<EntryEditor&>(e).setText(t);
        }));
        bareTimes.push_back(
            timeOnce(bare, text, [](QPlainTextEdit& e, const QString& t) { e.setPlainText(t); }));
    }
    const qint64 o = bench::median(oursTimes);
    const qint64 b = bench::median(bareTimes);
    std::fprintf(stderr, "  %lld characters: editor %.1f ms, bare %.1f ms\n",
                 static_cast<long long>(text.size()), o / 1e6, b / 1e6);
    return static_cast<double>(o) / static_cast<double>(b);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double hex = ratio(benchtexts::hexLine(qsizetype{2} * 1024 * 1024));
    std::printf("editor_set_ratio_2mb_hex %.3f\n", hex);
    std::fflush(stdout);
    const double prose = ratio(benchtexts::prose(qsizetype{1024} * 1024));
    std::printf("editor_set_ratio_1mb_text %.3f\n", prose);
    return 0;
}
