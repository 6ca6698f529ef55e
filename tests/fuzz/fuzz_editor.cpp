// The editor under any sequence of what a user and the program do to it,
// through the model check of tests/support/EditorModel: after every step the
// text, the selection, the undo history and the chunks must be what the
// model says.
// Input: a byte seeding the choice of long texts (the model check's own),
// a byte choosing such a text to start from or saying how many UTF-16 units
// of the input it is, then steps: an operation byte, two 32-bit numbers,
// and for a step that inserts text a byte choosing a long text or saying
// how many UTF-16 units of the input follow.
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/EditorModel.h"

#include <QApplication>

using namespace editormodel;

namespace {

// Characters a key can type, the awkward ones among them: a combining mark,
// a character beyond 16 bits, a joiner, right-to-left and wide letters.
const char16_t* const kTyped[] = {u"a",          u" ",      u"\t",     u"7",      u"F",      u"\u0301",
                                  u"\U0001F600", u"\u200D", u"\u05D0", u"\u4E2D", u"\u00A0", u"\U0001F1E9"};

QString units(fuzz::Input& input, int count) {
    QString text;
    for (int k = 0; k < count && input.remaining() >= 2; ++k)
        text += QChar(char16_t(input.byte() | (input.byte() << 8)));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    // Left for the process's end to take: destroyed at exit it would outlive
    // the font and clipboard state it depends on.
    static auto* app = new QApplication(*argc, *argv);
    Q_UNUSED(app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    QRandomGenerator texts(input.byte());
    QList<Step> steps{
        {Op::SetText, 0, 0, input.byte() % 2 ? startingText(texts) : units(input, input.byte() % 32)}};
    while (input.remaining() > 0 && steps.size() < 120) {
        Step step{Op(input.byte() % kOpCount), input.u32(), input.u32()};
        if (step.op == Op::Type) {
            step.text = QString::fromUtf16(kTyped[input.byte() % std::size(kTyped)]);
        } else if (step.op == Op::SetText) {
            step.text = startingText(texts);
        } else if (insertsText(step.op)) {
            const std::uint8_t choice = input.byte();
            step.text = choice >= 240 ? insertedText(texts) : units(input, choice % 24);
        }
        steps << step;
    }
    const Outcome outcome = runSteps(steps);
    if (!outcome.failure.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(describe(outcome, steps.size())));
    FUZZ_CHECK(outcome.failure.isEmpty());
    return 0;
}
