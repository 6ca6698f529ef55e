// The editor's model check (tests/support/EditorModel): seeded random
// sequences, and the sequences that met faults kept by name. A failure prints
// the seed and the shortest sequence of steps that still fails.
// COFRA_MODEL_SEEDS, COFRA_MODEL_SEED and COFRA_MODEL_STEPS run more than CI does.
#include "tests/support/EditorModel.h"
#include "tests/support/EditorTexts.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>

using namespace editormodel;

namespace {

int environmentNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

QList<Step> typed(const QString& text) {
    QList<Step> steps;
    for (const QChar c : text)
        steps << (c == QLatin1Char('\n') ? Step{Op::Enter} : Step{Op::Type, 0, 0, QString(c)});
    return steps;
}

// Sequences that met faults, kept by name.
QList<QPair<const char*, QList<Step>>> namedCases() {
    using namespace editortexts;
    const QString cipher = ciphertext(20000);
    return {
        {"Enter over a selection that starts at a soft break",
         {{Op::SetText, 0, 0, cipher}, {Op::SelectFromBreak, 0, 3}, {Op::Enter}}},
        {"removal from a line's start into a long line",
         QList<Step>{{Op::SetText, 0, 0, QStringLiteral("Dear diary")},
                     {Op::DocEnd},
                     {Op::Enter},
                     {Op::Paste, 0, 0, blob(10000)},
                     {Op::PlaceAt, 11},
                     {Op::ShiftDocEnd},
                     {Op::Backspace}} +
             typed(QStringLiteral("x"))},
        {"three lines pasted over a selected ciphertext",
         {{Op::SetText, 0, 0, ciphertext(5000)},
          {Op::SelectAll},
          {Op::Paste, 0, 0, QStringLiteral("one\ntwo\nthree")}}},
        {"lines typed after deleting a selected ciphertext",
         QList<Step>{{Op::SetText, 0, 0, ciphertext(5000)}, {Op::SelectAll}, {Op::Delete}} +
             typed(QStringLiteral("one\ntwo\nthree"))},
        {"a line break pasted at a soft break, Shift+Right and Backspace",
         {{Op::SetText, 0, 0, blob(10000)},
          {Op::PlaceNearBreak, 0, 2},
          {Op::Right},
          {Op::Paste, 0, 0, QStringLiteral("\n")},
          {Op::ShiftRight},
          {Op::Backspace}}},
        {"undo after Select All, Enter, Enter",
         {{Op::SetText, 0, 0, cipher},
          {Op::SelectAll},
          {Op::Enter},
          {Op::Enter},
          {Op::Undo},
          {Op::Undo},
          {Op::Undo}}},
        {"a letter typed where a chunk of a paragraph ends",
         {{Op::SetText, 0, 0, blob(30000)},
          {Op::PlaceNearBreak, 1, 2},
          {Op::Right},
          {Op::Type, 0, 0, QStringLiteral("y")}}},
        {"a long ciphertext fills its rows",
         {{Op::SetText, 0, 0, cipher}, {Op::Resize, 333, 100}, {Op::PlaceNearBreak, 2, 3}}},
    };
}

} // namespace

class TestEditorModel : public QObject {
    Q_OBJECT
private slots:
    void namedCases_data();
    void namedCases();
    void crashCaseInChildProcess();
    void randomSequences();
};

void TestEditorModel::namedCases_data() {
    QTest::addColumn<int>("index");
    // The first case crashed the editor: it runs in a process of its own.
    const auto cases = ::namedCases();
    for (int i = 1; i < cases.size(); ++i)
        QTest::newRow(cases[i].first) << i;
}

void TestEditorModel::namedCases() {
    QFETCH(int, index);
    const QList<Step> steps = ::namedCases()[index].second;
    const Outcome outcome = runSteps(steps);
    if (!outcome.failure.isEmpty())
        QFAIL(qPrintable(describe(outcome, steps.size())));
}

void TestEditorModel::crashCaseInChildProcess() {
    // Run where a crash cannot take the other cases with it.
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("COFRA_MODEL_CASE"), QStringLiteral("0"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(120000));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             child.readAllStandardError().constData());
}

void TestEditorModel::randomSequences() {
    const int seeds = environmentNumber("COFRA_MODEL_SEEDS", 40);
    const int count = environmentNumber("COFRA_MODEL_STEPS", 300);
    const int first = environmentNumber("COFRA_MODEL_SEED", 1);
    for (int seed = first; seed < first + seeds; ++seed) {
        const QList<Step> steps = randomSteps(quint32(seed), count);
        const Outcome outcome = runSteps(steps);
        if (outcome.failure.isEmpty())
            continue;
        const QList<Step> fewest = shortest(steps.mid(0, outcome.at + 1));
        QFAIL(qPrintable(QStringLiteral("seed %1: ").arg(seed) + describe(runSteps(fewest), fewest.size())));
    }
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    bool ok = false;
    const int replay = qEnvironmentVariableIntValue("COFRA_MODEL_CASE", &ok);
    if (ok) {
        const auto cases = namedCases();
        const Outcome outcome = runSteps(cases.value(replay).second);
        std::fprintf(stderr, "%s\n", qPrintable(describe(outcome, cases.value(replay).second.size())));
        return outcome.failure.isEmpty() ? 0 : 1;
    }
    TestEditorModel test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_editor_model.moc"
