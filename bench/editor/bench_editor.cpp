// How long the main window's editor takes to take a large text and paint it,
// against a bare QPlainTextEdit that wraps anywhere, in the same run; and how
// long one typed character and a jump to the end take until they are painted,
// which a frame (16 ms) should hold.
//   editor_set_ratio_2mb_hex      a 2 MB ciphertext (one line of hexadecimal digits)
//   editor_set_ratio_1mb_text     1 MB of prose in lines of about 70 characters
//   editor_set_ratio_1mb_line     the same prose as one line, as a pasted blob
//   editor_set_1mb_line_over_text that blob's time over the time of the prose in lines
//   editor_key_ms_2mb_hex         one hexadecimal digit typed in the middle of the ciphertext
//   editor_key_ms_1mb_line        one letter typed in the middle of the blob
//   editor_scroll_end_ms_2mb_hex  Ctrl+End in the ciphertext
#include "bench/common/BenchTexts.h"
#include "bench/common/Median.h"
#include "editor/EntryEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextOption>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr int kKeys = 15;

void print(const char* name, double value) {
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

void prepare(QPlainTextEdit& edit) {
    edit.resize(640, 480);
    edit.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    edit.show();
}

template <typename SetText> qint64 timeOnce(QPlainTextEdit& edit, const QString& text, SetText setText) {
    setText(edit, QString());
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    setText(edit, text);
    edit.viewport()->repaint();
    return clock.nsecsElapsed();
}

struct SetTimes {
    double ratio;
    double oursMs;
};

SetTimes ratio(const QString& text) {
    EntryEditor ours;
    QPlainTextEdit bare;
    bare.setWordWrapMode(QTextOption::WrapAnywhere);
    prepare(ours);
    prepare(bare);
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
    return {static_cast<double>(o) / static_cast<double>(b), o / 1e6};
}

// Milliseconds from a key press until the editor has painted its result.
double keyMs(EntryEditor& editor, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
    QElapsedTimer clock;
    clock.start();
    QTest::sendKeyEvent(QTest::Click, &editor, key, text, modifiers);
    editor.viewport()->repaint();
    return clock.nsecsElapsed() / 1e6;
}

// The median time of typing a character in the middle of the text.
double typingMs(const QString& text, QChar typed) {
    EntryEditor editor;
    prepare(editor);
    editor.setText(text);
    editor.setFocus();
    editor.setSelStart(int(text.size() / 2));
    QApplication::processEvents();
    editor.viewport()->repaint();
    std::vector<double> times;
    times.reserve(kKeys);
    for (int n = 0; n < kKeys; ++n)
        times.push_back(keyMs(editor, Qt::Key_unknown, Qt::NoModifier, QString(typed)));
    if (editor.length() != text.size() + kKeys)
        std::fprintf(stderr, "  typing went wrong: %d characters\n", editor.length());
    return bench::median(times);
}

double scrollEndMs(const QString& text) {
    EntryEditor editor;
    prepare(editor);
    editor.setText(text);
    editor.setFocus();
    QApplication::processEvents();
    std::vector<double> times;
    for (int n = 0; n < kKeys; ++n) {
        keyMs(editor, Qt::Key_Home, Qt::ControlModifier);
        QApplication::processEvents();
        times.push_back(keyMs(editor, Qt::Key_End, Qt::ControlModifier));
    }
    if (editor.SelStart() != text.size())
        std::fprintf(stderr, "  Ctrl+End went wrong: caret at %d\n", editor.SelStart());
    return bench::median(times);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString hex = benchtexts::hexLine(qsizetype{2} * 1024 * 1024);
    const QString prose = benchtexts::prose(qsizetype{1024} * 1024);
    QString blob = prose;
    blob.replace(QLatin1Char('\n'), QLatin1Char(' '));

    print("editor_set_ratio_2mb_hex", ratio(hex).ratio);
    const SetTimes lines = ratio(prose);
    print("editor_set_ratio_1mb_text", lines.ratio);
    const SetTimes line = ratio(blob);
    print("editor_set_ratio_1mb_line", line.ratio);
    print("editor_set_1mb_line_over_text", line.oursMs / lines.oursMs);
    print("editor_key_ms_2mb_hex", typingMs(hex, QLatin1Char('A')));
    print("editor_key_ms_1mb_line", typingMs(blob, QLatin1Char('x')));
    print("editor_scroll_end_ms_2mb_hex", scrollEndMs(hex));
    return 0;
}
