#include "tests/support/EditorModel.h"

#include "crypto/TextCipher.h"
#include "editor/EntryEditor.h"
#include "editor/SoftBreaks.h"
#include "tests/support/EditorTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <tuple>

namespace editormodel {
namespace {

// How often each step is drawn, the key it presses or else its name in a
// log, and the context menu's action it triggers, if it is one.
struct OpInfo {
    int weight = 0;
    QKeyCombination key = {};
    const char* name = nullptr;
    const char* menu = nullptr;
};

constexpr auto kCtrl = Qt::ControlModifier;
constexpr auto kShift = Qt::ShiftModifier;

// In the order of Op.
// clang-format off
const OpInfo kOps[] = {
    {14, {}, "Type"}, {3, Qt::Key_Return}, {2, kShift | Qt::Key_Return}, {5, Qt::Key_Backspace},
    {5, Qt::Key_Delete}, {1, kCtrl | Qt::Key_Backspace}, {1, kCtrl | Qt::Key_Delete}, {6, kCtrl | Qt::Key_Z},
    {3, {}, "Redo"}, {2, kCtrl | Qt::Key_A}, {2, kCtrl | Qt::Key_C}, {2, kCtrl | Qt::Key_X},
    {4, kCtrl | Qt::Key_V}, {2, Qt::Key_Left}, {2, Qt::Key_Right}, {3, kShift | Qt::Key_Left},
    {3, kShift | Qt::Key_Right}, {1, Qt::Key_Home}, {1, Qt::Key_End}, {1, kShift | Qt::Key_End},
    {1, Qt::Key_Up}, {1, Qt::Key_Down}, {1, kShift | Qt::Key_Down}, {1, kCtrl | Qt::Key_Left},
    {1, kCtrl | Qt::Key_Right}, {1, kCtrl | kShift | Qt::Key_Right}, {1, kCtrl | Qt::Key_Home},
    {1, kCtrl | Qt::Key_End}, {1, kCtrl | kShift | Qt::Key_End}, {8, {}, "PlaceNearBreak"},
    {4, {}, "SelectFromBreak"}, {2, {}, "PlaceAt"}, {2, {}, "SelectAt"}, {2, {}, "Click"}, {3, {}, "Drag"},
    {1, {}, "DoubleClick"}, {1, {}, "TripleClick"}, {2, {}, "Find"}, {1, {}, "SetText"},
    {1, {}, "InputMethod"}, {1, {}, "Drop"}, {1, {}, "Menu Cut", "edit-cut"},
    {1, {}, "Menu Delete", "edit-delete"}, {1, {}, "Menu Paste", "edit-paste"},
    {1, {}, "Menu Undo", "edit-undo"}, {1, {}, "Format"}, {1, {}, "Resize"},
};
// clang-format on
static_assert(std::size(kOps) == int(Op::Resize) + 1);

// Whether the step brings a text of its own to put in.
bool insertsText(Op op) {
    return op == Op::Paste || op == Op::MenuPaste || op == Op::InputMethod || op == Op::Drop;
}

// The format with its %1, %2, ... filled in turn.
template <typename... Values> QString say(const char* format, const Values&... values) {
    QString text = QString::fromUtf8(format);
    ((text = text.arg(values)), ...);
    return text;
}

// Every way of writing a line break becomes one "\n" in the text.
QString withLineFeeds(QString text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|[\r\u2028\u2029\uFDD0\uFDD1]"));
    return text.replace(breaks, QStringLiteral("\n"));
}

bool isStrong(QChar c, bool rightToLeft) {
    const QChar::Direction d = c.direction();
    return rightToLeft ? d == QChar::DirR || d == QChar::DirAL : d == QChar::DirL;
}

enum class Kind { Other, Typing, Back, Forward };

struct Edit {
    int at;
    QString removed, inserted;
    int anchor, position;
    Kind kind;
};

// What the editor should hold, and its undo history: typed characters, a
// run of Backspace and a run of Delete each undo as one step, anything else
// on its own; an undo or redo restores what the step changed, and the
// selection it found (undo) or the caret after it (redo).
struct Model {
    QString text;
    int anchor = 0, position = 0;
    QList<Edit> undo = {}, redo = {};
    bool mergeable = false;

    int start() const { return qMin(anchor, position); }
    int end() const { return qMax(anchor, position); }
    bool selected() const { return anchor != position; }
    QString selection() const { return text.mid(start(), end() - start()); }
    void select(int from, int to) { anchor = from, position = to; }
    void moveTo(int to, bool extend) { select(extend ? anchor : to, to); }
    void replace(int from, int to, const QString& inserted, Kind kind) {
        if (from == to && inserted.isEmpty())
            return;
        const Edit edit{from, text.mid(from, to - from), inserted, anchor, position, kind};
        Edit* last = undo.isEmpty() || !mergeable || undo.last().kind != kind ? nullptr : &undo.last();
        if (last && kind == Kind::Typing && edit.removed.isEmpty() &&
            from == last->at + last->inserted.size())
            last->inserted += inserted;
        else if (last && kind == Kind::Back && to == last->at)
            *last = {from, edit.removed + last->removed, {}, last->anchor, last->position, kind};
        else if (last && kind == Kind::Forward && from == last->at)
            last->removed += edit.removed;
        else
            undo.append(edit);
        redo.clear();
        mergeable = true;
        text.replace(from, to - from, inserted);
        anchor = position = from + int(inserted.size());
    }
    void replaceSelection(const QString& inserted, Kind kind) { replace(start(), end(), inserted, kind); }
    // Takes the last step back (undo) or makes the last one taken back again (redo).
    void travel(bool back) {
        if ((back ? undo : redo).isEmpty())
            return;
        const Edit e = (back ? undo : redo).takeLast();
        text.replace(e.at, (back ? e.inserted : e.removed).size(), back ? e.removed : e.inserted);
        const int after = e.at + int(e.inserted.size());
        select(back ? e.anchor : after, back ? e.position : after);
        (back ? redo : undo).append(e);
        mergeable = false;
    }
    int lineStart(int at) const { return at == 0 ? 0 : int(text.lastIndexOf(u'\n', at - 1)) + 1; }
    int lineEnd(int at) const {
        const qsizetype end = text.indexOf(u'\n', at);
        return int(end < 0 ? text.size() : end);
    }
    // The next or the previous boundary of a character as the eye sees it.
    int character(int at, bool forward) const {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
        finder.setPosition(at);
        return forward ? qMax(at, int(finder.toNextBoundary())) : qMax(0, int(finder.toPreviousBoundary()));
    }
    bool rightToLeft() const {
        return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
            const QChar::Direction d = c.direction();
            return isStrong(c, true) || d == QChar::DirRLE || d == QChar::DirRLO || d == QChar::DirRLI;
        });
    }
    // Where Find should find the needle: a non-breaking space matches a space,
    // and a match inside a longer word is passed over for a whole word.
    int find(const QString& needle, int from, int options) const {
        const QString haystack = QString(text).replace(QChar::Nbsp, QLatin1Char(' '));
        const auto cs = options & EntryEditor::MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const auto inWord = [&](qsizetype i) {
            return i >= 0 && i < length() && haystack[i].isLetterOrNumber();
        };
        for (qsizetype found = haystack.indexOf(needle, from, cs); found >= 0;
             found = haystack.indexOf(needle, found + needle.size() + 1, cs))
            if (!(options & EntryEditor::WholeWord) || (!inWord(found - 1) && !inWord(found + needle.size())))
                return int(found);
        return -1;
    }
    int length() const { return int(text.size()); }
};

// The document read block by block, without the editor's help: soft
// breaks as nothing, other block ends as "\n".
QString readChunks(const QTextDocument* doc) {
    QString text = doc->begin().text();
    for (QTextBlock block = doc->begin().next(); block.isValid(); block = block.next())
        text += (SoftBreaks::isSoft(block) ? QString() : QStringLiteral("\n")) + block.text();
    return text;
}

// The direction of the chunk's line, by its first letter of a strong direction.
Qt::LayoutDirection lineDirection(QTextBlock chunk) {
    while (SoftBreaks::isSoft(chunk))
        chunk = chunk.previous();
    QString line = chunk.text();
    for (chunk = chunk.next(); SoftBreaks::isSoft(chunk); chunk = chunk.next())
        line += chunk.text();
    for (const QChar c : line)
        if (isStrong(c, false) || isStrong(c, true))
            return isStrong(c, false) ? Qt::LeftToRight : Qt::RightToLeft;
    return Qt::LayoutDirectionAuto;
}

QString excerpt(const QString& text, int at) {
    return QString(text.mid(qMax(0, at - 12), 24)).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

QString firstDifference(const char* what, const QString& got, const QString& want) {
    const int at =
        int(std::mismatch(got.cbegin(), got.cend(), want.cbegin(), want.cend()).first - got.cbegin());
    return say(R"(%1 differs at %2 of %3/%4: "%5" where the model has "%6")", QString::fromUtf8(what), at,
               got.size(), want.size(), excerpt(got, at), excerpt(want, at));
}

struct Run {
    Run() {
        m_editor.resize(420, 260);
        m_editor.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
        m_editor.setRecutDelay(0);
        m_editor.show();
        m_editor.setFocus();
    }

    // Applies the step to the editor and the model; a failure's text, or an empty one.
    QString apply(const Step& step);
    QString check() const;
    void key(QKeyCombination keys, const QString& text = {}) {
        QTest::sendKeyEvent(QTest::Click, &m_editor, keys.key(), text, keys.keyboardModifiers());
    }
    // Takes the editor's selection after a step whose result depends on the
    // layout, once it lies where the step may put it.
    QString follow(int low, int high, bool collapsed) {
        const auto [anchor, position] = selection();
        if (position < low || position > high || (collapsed && anchor != position))
            return say("selection %1..%2 outside %3..%4", anchor, position, low, high);
        m_model.select(anchor, position);
        return {};
    }
    // The document position in the text: less the soft breaks before it.
    int toText(int documentPosition) const {
        int soft = 0;
        for (QTextBlock b = m_editor.document()->begin().next();
             b.isValid() && b.position() <= documentPosition; b = b.next())
            soft += SoftBreaks::isSoft(b);
        return documentPosition - soft;
    }
    int textAt(QPoint point) const { return toText(m_editor.cursorForPosition(point).position()); }
    int breakNear(quint32 a) const {
        QList<int> soft; // the text positions of the soft breaks
        for (QTextBlock block = m_editor.document()->begin().next(); block.isValid(); block = block.next())
            if (SoftBreaks::isSoft(block))
                soft << toText(block.position());
        return soft.isEmpty() ? int(a % (m_model.text.size() + 1)) : soft[int(a % soft.size())];
    }
    // A point near the caret, just right of where a caret would stand in
    // the middle of its row, so that no pixel's edge decides which character it is.
    QPoint nearCaret(quint32 a, quint32 b) const {
        const QRect area = m_editor.viewport()->rect().adjusted(2, 2, -2, -2);
        const QPoint p = m_editor.cursorRect().center() + QPoint(int(a % 161) - 80, int(b % 81) - 40);
        const QRect at = m_editor.cursorRect(m_editor.cursorForPosition(
            {qBound(area.left(), p.x(), area.right()), qBound(area.top(), p.y(), area.bottom())}));
        return {qBound(area.left(), at.left() + 1, area.right()),
                qBound(area.top(), at.center().y(), area.bottom())};
    }
    QPair<int, int> selection() const {
        const QTextCursor cursor = m_editor.textCursor();
        return {toText(cursor.anchor()), toText(cursor.position())};
    }
    // A cursor in the model's text as Qt holds it, one block a line, moved
    // from the position: its moves and selections are the ones to match.
    QTextCursor qtCursor(int at, QTextCursor::MoveOperation op = QTextCursor::NoMove) {
        m_reference.setPlainText(m_model.text);
        QTextCursor cursor(&m_reference);
        cursor.setPosition(at);
        cursor.movePosition(op);
        return cursor;
    }
    QString context(const char* name);

    EntryEditor m_editor;
    Model m_model;
    QTextDocument m_reference;
    QElapsedTimer m_doubleClick;
};

QString Run::context(const char* name) {
    const QPoint caret = m_editor.cursorRect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, caret, m_editor.viewport()->mapToGlobal(caret));
    QApplication::sendEvent(m_editor.viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu)
        return QStringLiteral("no context menu");
    const QString what = QString::fromUtf8(name);
    const QList<QAction*> actions = menu->actions();
    const auto action =
        std::find_if(actions.cbegin(), actions.cend(), [&](QAction* a) { return a->objectName() == what; });
    const bool expected = what == QLatin1String("edit-undo")    ? !m_model.undo.isEmpty()
                          : what == QLatin1String("edit-paste") ? !QApplication::clipboard()->text().isEmpty()
                                                                : m_model.selected();
    QString failure;
    if (action == actions.cend())
        failure = say("no %1 in the context menu", what);
    else if ((*action)->isEnabled() != expected)
        failure = say("%1 is %2", what, QLatin1String((*action)->isEnabled() ? "enabled" : "disabled"));
    else if (expected)
        (*action)->trigger();
    menu->close();
    return failure;
}

QString Run::apply(const Step& step) {
    Model& m = m_model;
    const int length = m.length();
    const OpInfo& info = kOps[int(step.op)];
    const bool extend = info.key.keyboardModifiers().testFlag(Qt::ShiftModifier);
    const auto is = [&](auto... ops) { return ((step.op == ops) || ...); };
    QClipboard* clipboard = QApplication::clipboard();
    // What the clipboard holds before a step that fills it or reads it.
    if (is(Op::Copy, Op::Cut, Op::MenuCut, Op::Paste, Op::MenuPaste))
        clipboard->setText(is(Op::Paste, Op::MenuPaste) ? step.text : QStringLiteral("(before)"));
    QString failure = info.menu ? context(info.menu) : QString();
    if (info.key.key() != Qt::Key_unknown)
        key(info.key);
    if (is(Op::Type)) {
        key(step.text == QLatin1String("\t") ? Qt::Key_Tab : Qt::Key_unknown, step.text);
        m.replaceSelection(step.text, Kind::Typing);
    } else if (is(Op::Enter, Op::ShiftEnter)) {
        m.replaceSelection(QStringLiteral("\n"), Kind::Other);
    } else if (is(Op::Backspace, Op::Delete, Op::MenuDelete)) {
        // Backspace takes one character back (a surrogate pair whole), Delete
        // all that the eye sees as one.
        const int p = m.position;
        const bool pair = p > 1 && m.text[p - 1].isLowSurrogate() && m.text[p - 2].isHighSurrogate();
        if (m.selected() || step.op == Op::MenuDelete)
            m.replaceSelection({}, Kind::Other);
        else if (step.op == Op::Delete)
            m.replace(p, m.character(p, true), {}, Kind::Forward);
        else
            m.replace(qMax(0, p - 1 - pair), p, {}, Kind::Back);
    } else if (is(Op::WordBackspace, Op::WordDelete)) {
        const auto op = step.op == Op::WordBackspace ? QTextCursor::PreviousWord : QTextCursor::NextWord;
        const int other = m.selected() ? m.anchor : qtCursor(m.position, op).position();
        m.replace(qMin(m.position, other), qMax(m.position, other), {}, Kind::Other);
    } else if (is(Op::Undo, Op::MenuUndo, Op::Redo)) {
        if (step.op == Op::Redo)
            key(step.a % 2 ? kCtrl | Qt::Key_Y : kCtrl | kShift | Qt::Key_Z);
        m.travel(step.op != Op::Redo);
    } else if (is(Op::SelectAll)) {
        m.select(0, length);
    } else if (is(Op::Copy, Op::Cut, Op::MenuCut)) {
        // A copy gives non-breaking spaces as spaces; with nothing selected the clipboard is left alone.
        const QString expected =
            m.selected() ? m.selection().replace(QChar::Nbsp, QLatin1Char(' ')) : QStringLiteral("(before)");
        if (failure.isEmpty() && clipboard->text() != expected)
            failure = firstDifference("the clipboard", clipboard->text(), expected);
        if (step.op != Op::Copy)
            m.replaceSelection({}, Kind::Other);
    } else if (is(Op::Paste, Op::MenuPaste)) {
        // The menu offers no paste of nothing.
        if (step.op == Op::Paste || !step.text.isEmpty())
            m.replaceSelection(withLineFeeds(step.text), Kind::Other);
    } else if (is(Op::Left, Op::Right, Op::ShiftLeft, Op::ShiftRight)) {
        if (m.rightToLeft()) // The arrows move on the screen, which in such a text is not the text's order.
            failure = !extend && m.selected()
                          ? follow(m.start(), m.end(), true)
                          : follow(m.character(m.position, false), m.character(m.position, true), !extend);
        else if (!extend && m.selected())
            m.anchor = m.position = info.key.key() == Qt::Key_Left ? m.start() : m.end();
        else
            m.moveTo(m.character(m.position, info.key.key() == Qt::Key_Right), extend);
    } else if (is(Op::Home, Op::End, Op::ShiftEnd, Op::Up, Op::Down, Op::ShiftDown)) {
        // Where these go depends on the rows: towards the line's end (Home,
        // End) or the text's (Up, Down); on the first row Up stays.
        const bool back = is(Op::Home, Op::Up), inLine = is(Op::Home, Op::End, Op::ShiftEnd);
        const int start = inLine ? m.lineStart(m.position) : 0, end = inLine ? m.lineEnd(m.position) : length;
        failure = follow(back ? start : m.position, back ? m.position : end, inLine && !extend);
    } else if (is(Op::WordLeft, Op::WordRight, Op::ShiftWordRight)) {
        const auto op = is(Op::WordLeft) ? QTextCursor::WordLeft : QTextCursor::WordRight;
        if (m.rightToLeft())
            failure = follow(0, length, !extend);
        else
            m.moveTo(qtCursor(m.position, op).position(), extend);
    } else if (is(Op::DocStart, Op::DocEnd, Op::ShiftDocEnd)) {
        m.moveTo(step.op == Op::DocStart ? 0 : length, extend);
    } else if (is(Op::PlaceNearBreak, Op::PlaceAt, Op::SelectFromBreak, Op::SelectAt)) {
        // A position outside the text is the editor's to bring into it.
        const bool place = is(Op::PlaceNearBreak, Op::PlaceAt);
        const int at = is(Op::PlaceAt, Op::SelectAt) ? int(step.a)
                                                     : breakNear(step.a) + (place ? int(step.b % 7) - 3 : 0);
        const int count = place ? 0 : int(step.b % 9);
        m_editor.setSelStart(at);
        m_editor.setSelLength(count);
        m.select(qBound(0, at, length), qMin(length, qBound(0, at, length) + count));
    } else if (is(Op::Click, Op::Drag, Op::DoubleClick, Op::TripleClick)) {
        // A press inside the selection would start dragging it instead.
        m_editor.setSelStart(m.position);
        m.anchor = m.position;
        const QPoint from = nearCaret(step.a, step.b);
        const QPoint to = step.op == Op::Drag ? nearCaret(step.b, step.a) : from;
        const int clicked = textAt(from);
        QWidget* view = m_editor.viewport();
        const bool widens = is(Op::DoubleClick, Op::TripleClick);
        if (widens)
            QTest::mouseDClick(view, Qt::LeftButton, {}, from);
        if (is(Op::Click, Op::TripleClick))
            QTest::mouseClick(view, Qt::LeftButton, {}, from);
        if (is(Op::Drag)) {
            QTest::mousePress(view, Qt::LeftButton, {}, from);
            QTest::mouseMove(view, (from + to) / 2);
            QTest::mouseMove(view, to);
            QTest::mouseRelease(view, Qt::LeftButton, {}, to);
        }
        // A click soon after a double click is a triple click, and takes the line.
        const bool soon =
            m_doubleClick.isValid() && m_doubleClick.elapsed() < QApplication::doubleClickInterval();
        failure = follow(0, length, step.op == Op::Click && !soon);
        if (widens)
            m_doubleClick.start();
        // The word under the pointer, or its whole line with the line break, as Qt selects them in one block.
        QTextCursor word = qtCursor(clicked);
        if (!word.block().text().isEmpty())
            word.select(QTextCursor::WordUnderCursor);
        const bool line = is(Op::TripleClick);
        const int low = line ? m.lineStart(clicked) : word.selectionStart();
        const int high = line ? m.lineEnd(clicked) + (m.lineEnd(clicked) < length) : word.selectionEnd();
        if (failure.isEmpty() && widens && !soon && (m.start() != low || m.end() != high))
            failure = say("a click at %1 selected %2..%3, Qt %4..%5", clicked, m.start(), m.end(), low, high);
    } else if (is(Op::Find) && length > 0) {
        const QString needle = m.text.mid(int(step.a % length), 1 + step.b % 12);
        const int start = int(step.b % length);
        const int options =
            int(step.a >> 24) % 2 * EntryEditor::WholeWord + int(step.b >> 24) % 2 * EntryEditor::MatchCase;
        const int expected = m.find(needle, start, options);
        if (const int got = m_editor.Find(needle, start, options); got != expected)
            failure = say("Find(\"%1\", %2, %3) gave %4 where the model has %5", excerpt(needle, 0), start,
                          options, got, expected);
        if (expected >= 0)
            m.select(expected, expected + int(needle.size()));
    } else if (is(Op::SetText)) {
        m_editor.setText(step.text);
        m = Model{withLineFeeds(step.text)};
    } else if (is(Op::InputMethod)) {
        QInputMethodEvent compose(QStringLiteral("ab"), {}), commit;
        commit.setCommitString(step.text);
        if (step.a % 2)
            QApplication::sendEvent(&m_editor, &compose);
        QApplication::sendEvent(&m_editor, &commit);
        // Composing or committing takes the selection out, and what is committed goes in its place.
        if (step.a % 2 || !step.text.isEmpty())
            m.replaceSelection({}, Kind::Other);
        if (!step.text.isEmpty())
            m.replaceSelection(withLineFeeds(step.text), Kind::Other);
    } else if (is(Op::Drop)) {
        // Another program's text, dragged in over the editor and dropped.
        const QPoint at = nearCaret(step.a, step.b);
        const int position = textAt(at);
        QMimeData data;
        data.setText(step.text);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &drop})
            QApplication::sendEvent(m_editor.viewport(), event);
        // Nothing to drop is refused as the drag comes in.
        if (!step.text.isEmpty()) {
            m.select(position, position);
            m.replace(position, position, withLineFeeds(step.text), Kind::Other);
        }
    } else if (is(Op::Format)) {
        m_editor.setSelBold(step.a % 2);
        m_editor.setSelItalic(step.b % 2);
        m_editor.setSelFontSize(8 + int(step.a % 9));
    } else if (is(Op::Resize)) {
        m_editor.resize(260 + int(step.a % 440), 160 + int(step.b % 200));
    }
    // Whatever the step set off (a resize, a cut of the chunks to whole rows) settles first.
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();
    return failure.isEmpty() ? check() : failure;
}

QString Run::check() const {
    const Model& m = m_model;
    if (m_editor.Text() != m.text)
        return firstDifference("Text()", m_editor.Text(), m.text);
    const QTextDocument* doc = m_editor.document();
    if (const QString chunks = readChunks(doc); chunks != m.text)
        return firstDifference("the document", chunks, m.text);
    if (m_editor.length() != m.length() || m_editor.isEmpty() != m.text.isEmpty())
        return say("length() is %1 for %2 characters", m_editor.length(), m.length());
    const auto [anchor, position] = selection();
    if (anchor != m.anchor || position != m.position || m_editor.SelStart() != m.start() ||
        m_editor.SelLength() != m.end() - m.start())
        return say("selection %1..%2 (SelStart %3, SelLength %4) where the model has %5..%6", anchor,
                   position, m_editor.SelStart(), m_editor.SelLength(), m.anchor, m.position);
    if (m_editor.holdsCiphertext() != modCofra::IsEncryptedText(m.text))
        return say("holdsCiphertext() is %1", m_editor.holdsCiphertext());

    const auto printable = [](QChar c) { return c > u' ' && c < u'\x7F'; };
    // Chunks: a soft break joins two chunks of one line, each of a bounded length.
    int lineChunks = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const bool softAfter = block.next().isValid() && SoftBreaks::isSoft(block.next());
        lineChunks = block != doc->begin() && SoftBreaks::isSoft(block) ? lineChunks + 1 : 1;
        const int size = block.length() - 1;
        const bool joined = lineChunks > 1 || softAfter;
        if (size > SoftBreaks::MaxChunk || (joined && size < SoftBreaks::MinChunk))
            return say("a chunk of %1 characters at %2", size, block.position());
        // Every chunk of a line of several is laid out in the line's direction.
        if (joined && block.blockFormat().layoutDirection() != lineDirection(block))
            return say("a chunk at %1 is laid out in another direction than its line", block.position());
        if (!softAfter)
            continue;
        const QString text = block.text();
        if (!m_editor.wrapsAnywhere()) {
            // A word-wrapped line is cut after a space, unless no space is within reach.
            const auto isSpace = [](QChar c) { return c == u' ' || c == u'\t'; };
            const QString tail = text.right(SoftBreaks::Reach);
            if (!isSpace(text.back()) && std::any_of(tail.cbegin(), tail.cend(), isSpace))
                return say("a soft break inside a word at \"%1\"", excerpt(text, int(text.size())));
        } else if (QFontInfo(m_editor.font()).fixedPitch() && block.layout()->lineCount() > 1 &&
                   std::all_of(text.cbegin(), text.cend(), printable) &&
                   printable(block.next().text().front())) {
            // A ciphertext's chunk fills its last row: Qt would have ended
            // that row in the same place with no soft break after it (spaces
            // and marks make rows of other lengths).
            const QTextLayout* layout = block.layout();
            const QString row = text.mid(layout->lineAt(layout->lineCount() - 1).textStart());
            QTextLayout probe(row + block.next().text().left(200), m_editor.font());
            QTextOption option = m_editor.document()->defaultTextOption();
            option.setWrapMode(QTextOption::WrapAnywhere);
            probe.setTextOption(option);
            probe.beginLayout();
            QTextLine line = probe.createLine();
            line.setLineWidth(layout->lineAt(0).width());
            probe.endLayout();
            if (line.textLength() != row.size())
                return say("a chunk at %1 ends with a row of %2 characters where the row holds %3",
                           block.position(), row.size(), line.textLength());
        }
    }
    return {};
}

// The step at which the steps run from a fresh editor fail (or -1), and the
// failure with what each step did.
std::pair<int, QString> runSteps(const QList<Step>& steps) {
    Run run;
    if (!QTest::qWaitForWindowExposed(&run.m_editor))
        return {0, QStringLiteral("the editor was never shown")};
    for (int i = 0; i < steps.size(); ++i)
        if (const QString failed = run.apply(steps[i]); !failed.isEmpty())
            return {i, failed};
    return {-1, {}};
}

QString startingText(QRandomGenerator& random) {
    using namespace editortexts;
    switch (random.bounded(7)) {
    case 1:
        // A strong ciphertext's shape, long or near the shortest there is.
        return strongShaped(random.bounded(2) ? 20000 : 92 + random.bounded(6), random.generate());
    case 2:
    case 3:
        return blob(20000, random.generate());
    case 4:
        return QStringLiteral("Dear diary\r\n") + blob(9000, random.generate()) +
               QStringLiteral("\n\nshort\n") + ciphertext(9000, random.generate());
    case 5:
        return random.bounded(2) ? QString() : QStringLiteral("Dear diary");
    default:
        return ciphertext(20000, random.generate());
    }
}

QString insertedText(QRandomGenerator& random) {
    using namespace editortexts;
    static const QStringList pieces =
        QStringLiteral("\n|\r\n|\r|\u2029|\u2028|one\ntwo\nthree|word "
                       "|A1B2|line\r\nnext\rlast\u2028||x|737|737~|~-_|AbZ0|\u05E9\u05DC\u05D5\u05DD "
                       "\u05E2\u05D5\u05DC\u05DD|abc \u05D0\u05D1 def\n\u0645\u0631\u062D\u0628\u0627")
            .split(u'|');
    switch (random.bounded(8)) {
    case 0:
        return blob(4000 + random.bounded(12000), random.generate());
    case 1:
        return ciphertext(3000 + random.bounded(6000), random.generate()).mid(3);
    case 2:
        return strongShaped(4 + random.bounded(200), random.generate()).mid(4);
    default:
        return pieces[random.bounded(int(pieces.size()))];
    }
}

} // namespace

QList<Step> randomSteps(quint32 seed, int count) {
    // Among them a combining mark, a character beyond 16 bits, a joiner, a
    // non-breaking space, right-to-left and wide letters.
    static const char16_t* const typed[] = {
        u"a",      u"Z",      u"7",          u"F",      u" ",      u" ",      u"\t",
        u"\u00E9", u"\u0301", u"\U0001F600", u"x",      u"0",      u"~",      u"_",
        u"\u05D0", u"\u05E9", u"\u0627",     u"\u4E2D", u"\u200D", u"\u00A0", u"\U0001F1E9"};
    QRandomGenerator random(seed);
    int total = 0;
    for (const OpInfo& op : kOps)
        total += op.weight;
    QList<Step> steps{{Op::SetText, 0, 0, startingText(random)}};
    while (steps.size() < count) {
        int pick = random.bounded(total);
        int op = 0;
        while (pick >= kOps[op].weight)
            pick -= kOps[op++].weight;
        Step step{Op(op), random.generate(), random.generate(), {}};
        if (step.op == Op::Type)
            step.text = QString::fromUtf16(typed[random.bounded(int(std::size(typed)))]);
        else if (step.op == Op::SetText)
            step.text = startingText(random);
        else if (insertsText(step.op))
            step.text = insertedText(random);
        steps << step;
    }
    return steps;
}

QString failure(const QList<Step>& steps) {
    auto [at, failed] = runSteps(steps);
    if (at < 0)
        return {};
    // Leaves out steps while the sequence still fails.
    QList<Step> fewest = steps.mid(0, at + 1);
    int attempts = 0;
    for (qsizetype cut = fewest.size() / 2; cut >= 1 && attempts < 400; cut /= 2) {
        for (qsizetype i = 1; i + cut <= fewest.size() && attempts < 400; ++attempts) {
            QList<Step> fewer = fewest;
            fewer.remove(i, cut);
            if (const auto [shorterAt, shorter] = runSteps(fewer); shorterAt >= 0)
                std::tie(fewest, failed) = std::pair(fewer.mid(0, shorterAt + 1), shorter);
            else
                i += cut;
        }
    }
    // Each step with its numbers, and the text it brings (a typed one whole).
    QString text = say("%1\n  after %2 steps:", failed, fewest.size());
    for (const Step& step : fewest) {
        const OpInfo& op = kOps[int(step.op)];
        text += say("\n    %1 %2 %3 \"%4\" (%5 characters)",
                    op.name ? QString::fromUtf8(op.name) : QKeySequence(op.key).toString(), step.a, step.b,
                    excerpt(step.text, 0), step.text.size());
    }
    return text;
}

} // namespace editormodel
