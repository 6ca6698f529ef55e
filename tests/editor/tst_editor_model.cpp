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
    return qEnvironmentVariableIsEmpty(name) ? fallback : qEnvironmentVariableIntValue(name);
}

// Sequences that met faults, kept by name. The first crashed the editor.
QList<QPair<const char*, QList<Step>>> namedCases() {
    using namespace editortexts;
    const QString cipher = ciphertext(20000), lines = QStringLiteral("one\ntwo\nthree");
    QList<Step> typedLines{{Op::SetText, 0, 0, ciphertext(5000)}, {Op::SelectAll}, {Op::Delete}};
    for (const QChar c : lines)
        typedLines << (c == u'\n' ? Step{Op::Enter} : Step{Op::Type, 0, 0, c});
    // clang-format off
    return {
        {"Enter over a selection that starts at a soft break",
         {{Op::SetText, 0, 0, cipher}, {Op::SelectFromBreak, 0, 3}, {Op::Enter}}},
        {"removal from a line's start into a long line",
         {{Op::SetText, 0, 0, QStringLiteral("Dear diary")}, {Op::DocEnd}, {Op::Enter},
          {Op::Paste, 0, 0, blob(10000)}, {Op::PlaceAt, 11}, {Op::ShiftDocEnd}, {Op::Backspace},
          {Op::Type, 0, 0, QStringLiteral("x")}}},
        {"three lines pasted over a selected ciphertext",
         {{Op::SetText, 0, 0, ciphertext(5000)}, {Op::SelectAll}, {Op::Paste, 0, 0, lines}}},
        {"lines typed after deleting a selected ciphertext", typedLines},
        {"a line break pasted at a soft break, Shift+Right and Backspace",
         {{Op::SetText, 0, 0, blob(10000)}, {Op::PlaceNearBreak, 0, 2}, {Op::Right},
          {Op::Paste, 0, 0, QStringLiteral("\n")}, {Op::ShiftRight}, {Op::Backspace}}},
        {"undo after Select All, Enter, Enter",
         {{Op::SetText, 0, 0, cipher}, {Op::SelectAll}, {Op::Enter}, {Op::Enter}, {Op::Undo}, {Op::Undo},
          {Op::Undo}}},
        {"a letter typed where a chunk of a paragraph ends",
         {{Op::SetText, 0, 0, blob(30000)}, {Op::PlaceNearBreak, 1, 2}, {Op::Right},
          {Op::Type, 0, 0, QStringLiteral("y")}}},
        {"a long ciphertext fills its rows",
         {{Op::SetText, 0, 0, cipher}, {Op::Resize, 333, 100}, {Op::PlaceNearBreak, 2, 3}}},
        {"a right-to-left line joined again by undo",
         {{Op::SetText, 0, 0, blob(20000)}, {Op::Type, 0, 0, QStringLiteral("\u05D0")}, {Op::PlaceNearBreak, 2, 3},
          {Op::Enter}, {Op::Undo}}},
    };
    // clang-format on
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
    const int only = environmentNumber("COFRA_MODEL_CASE", -1);
    for (int i = 0; i < cases.size(); ++i)
        if (only < 0 || i == only)
            QTest::newRow(cases[i].first) << i;
}

void TestEditorModel::namedCases() {
    QFETCH(int, index);
    const QString failed = failure(::namedCases()[index].second);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
}

void TestEditorModel::randomSequences() {
    const int seeds = environmentNumber("COFRA_MODEL_SEEDS", 40);
    const int count = environmentNumber("COFRA_MODEL_STEPS", 300);
    const int first = environmentNumber("COFRA_MODEL_SEED", 1);
    for (int seed = first; seed < first + seeds; ++seed)
        if (const QString failed = failure(randomSteps(quint32(seed), count)); !failed.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(failed)));
}

QTEST_MAIN(TestEditorModel)
#include "tst_editor_model.moc"
