// The editor's model check (tests/support/EditorModel): seeded random
// sequences, and the sequences that met faults kept by name. A failure prints
// the seed and the shortest sequence of steps that still fails.
// COFRA_MODEL_SEEDS, COFRA_MODEL_SEED and COFRA_MODEL_STEPS run more than CI
// does; COFRA_MODEL_CASE=n runs the named case n alone.
#include "tests/support/EditorModel.h"
#include "tests/support/EditorTexts.h"

#include <QTest>

using namespace editormodel;

namespace {

int environmentNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

Step step(Op op, quint32 a = 0, quint32 b = 0) {
    return {op, a, b};
}

Step step(Op op, const QString& text) {
    return {op, 0, 0, text};
}

// Sequences that met faults, kept by name. The first crashed the editor.
QList<QPair<const char*, QList<Step>>> namedCases() {
    using namespace editortexts;
    const QString cipher = ciphertext(20000);
    QList<Step> typedLines{step(Op::SetText, ciphertext(5000)), step(Op::SelectAll), step(Op::Delete)};
    for (const QChar c : QStringLiteral("one\ntwo\nthree"))
        typedLines << (c == u'\n' ? step(Op::Enter) : step(Op::Type, QString(c)));
    return {
        {"Enter over a selection that starts at a soft break",
         {step(Op::SetText, cipher), step(Op::SelectFromBreak, 0, 3), step(Op::Enter)}},
        {"removal from a line's start into a long line",
         {step(Op::SetText, QStringLiteral("Dear diary")), step(Op::DocEnd), step(Op::Enter),
          step(Op::Paste, blob(10000)), step(Op::PlaceAt, 11), step(Op::ShiftDocEnd), step(Op::Backspace),
          step(Op::Type, QStringLiteral("x"))}},
        {"three lines pasted over a selected ciphertext",
         {step(Op::SetText, ciphertext(5000)), step(Op::SelectAll),
          step(Op::Paste, QStringLiteral("one\ntwo\nthree"))}},
        {"lines typed after deleting a selected ciphertext", typedLines},
        {"a line break pasted at a soft break, Shift+Right and Backspace",
         {step(Op::SetText, blob(10000)), step(Op::PlaceNearBreak, 0, 2), step(Op::Right),
          step(Op::Paste, QStringLiteral("\n")), step(Op::ShiftRight), step(Op::Backspace)}},
        {"undo after Select All, Enter, Enter",
         {step(Op::SetText, cipher), step(Op::SelectAll), step(Op::Enter), step(Op::Enter), step(Op::Undo),
          step(Op::Undo), step(Op::Undo)}},
        {"a letter typed where a chunk of a paragraph ends",
         {step(Op::SetText, blob(30000)), step(Op::PlaceNearBreak, 1, 2), step(Op::Right),
          step(Op::Type, QStringLiteral("y"))}},
        {"a long ciphertext fills its rows",
         {step(Op::SetText, cipher), step(Op::Resize, 333, 100), step(Op::PlaceNearBreak, 2, 3)}},
    };
}

} // namespace

class TestEditorModel : public QObject {
    Q_OBJECT
private slots:
    void namedCases_data();
    void namedCases();
    void randomSequences();
};

void TestEditorModel::namedCases_data() {
    QTest::addColumn<int>("index");
    const auto cases = ::namedCases();
    bool one = false;
    const int only = qEnvironmentVariableIntValue("COFRA_MODEL_CASE", &one);
    for (int i = one ? only : 0; i < (one ? only + 1 : cases.size()) && i < cases.size(); ++i)
        QTest::newRow(cases[i].first) << i;
}

void TestEditorModel::namedCases() {
    QFETCH(int, index);
    const QList<Step> steps = ::namedCases()[index].second;
    const Outcome outcome = runSteps(steps);
    QVERIFY2(outcome.failure.isEmpty(), qPrintable(describe(outcome, steps.size())));
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

QTEST_MAIN(TestEditorModel)
#include "tst_editor_model.moc"
