#include "tests/support/EditorModel.h"

#include "crypto/TextCipher.h"
#include "editor/EntryEditor.h"
#include "editor/SoftBreaks.h"
#include "tests/support/EditorTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace editormodel {
namespace {

// clang-format off
const char* const kOpNames[] = {
    "Type", "Enter", "Shift+Enter", "Backspace", "Delete", "Ctrl+Backspace", "Ctrl+Delete", "Undo", "Redo",
    "SelectAll", "Copy", "Cut", "Paste", "Left", "Right", "Shift+Left", "Shift+Right", "Home", "End",
    "Shift+End", "Up", "Down", "Shift+Down", "Ctrl+Left", "Ctrl+Right", "Ctrl+Shift+Right", "Ctrl+Home",
    "Ctrl+End", "Ctrl+Shift+End", "PlaceNearBreak", "SelectFromBreak", "PlaceAt", "SelectAt", "Click",
    "Drag", "DoubleClick", "TripleClick", "Find", "SetText", "InputMethod", "Drop", "Menu Cut",
    "Menu Delete", "Menu Paste", "Menu Undo", "Format", "Resize",
};

// How often each operation is drawn, in the order of Op.
const int kWeights[] = {14, 3, 2, 5, 5, 1, 1, 6, 3, 2, 2, 2, 4, 2, 2, 3, 3, 1, 1, 1,
                        1, 1, 1, 1, 1, 1, 1, 1, 1, 8, 4, 2, 2, 2, 3, 1, 1, 2, 1, 1, 1, 1,
                        1, 1, 1, 1, 1};
// clang-format on
static_assert(std::size(kWeights) == std::size(kOpNames));

// Every way of writing a line break becomes one "\n" in the text.
QString withLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const char16_t c : {u'\r', u'\u2028', u'\u2029', u'\uFDD0', u'\uFDD1'})
        text.replace(QChar(c), QLatin1Char('\n'));
    return text;
}

enum class Kind { Other, Typing, Back, Forward };

struct Edit {
    int at;
    QString removed;
    QString inserted;
    int anchor;
    int position;
    Kind kind;
};

// What the editor should hold, and its undo history: typed characters, a
// run of Backspace and a run of Delete each undo as one step, anything else
// on its own; an undo or redo restores what the step changed, and the
// selection it found (undo) or the caret after it (redo).
struct Model {
    QString text;
    int anchor = 0;
    int position = 0;
    QList<Edit> undo;
    QList<Edit> redo;
    bool mergeable = false;

    int start() const { return qMin(anchor, position); }
    int end() const { return qMax(anchor, position); }
    void setText(const QString& t) {
        text = withLineFeeds(t);
        anchor = position = 0;
        undo.clear();
        redo.clear();
        mergeable = false;
    }
    void replace(int from, int to, const QString& inserted, Kind kind) {
        if (from == to && inserted.isEmpty())
            return;
        const Edit edit{from, text.mid(from, to - from), inserted, anchor, position, kind};
        Edit* last = undo.isEmpty() || !mergeable ? nullptr : &undo.last();
        if (last && kind == Kind::Typing && last->kind == kind && edit.removed.isEmpty() &&
            from == last->at + last->inserted.size()) {
            last->inserted += inserted;
        } else if (last && kind == Kind::Back && last->kind == kind && to == last->at) {
            last->removed.prepend(edit.removed);
            last->at = from;
        } else if (last && kind == Kind::Forward && last->kind == kind && from == last->at) {
            last->removed += edit.removed;
        } else {
            undo.append(edit);
        }
        redo.clear();
        mergeable = true;
        text.replace(from, to - from, inserted);
        anchor = position = from + int(inserted.size());
    }
    void replaceSelection(const QString& inserted, Kind kind) { replace(start(), end(), inserted, kind); }
    void undoStep() {
        if (undo.isEmpty())
            return;
        const Edit edit = undo.takeLast();
        text.replace(edit.at, edit.inserted.size(), edit.removed);
        anchor = edit.anchor;
        position = edit.position;
        redo.append(edit);
        mergeable = false;
    }
    void redoStep() {
        if (redo.isEmpty())
            return;
        const Edit edit = redo.takeLast();
        text.replace(edit.at, edit.removed.size(), edit.inserted);
        anchor = position = edit.at + int(edit.inserted.size());
        undo.append(edit);
        mergeable = false;
    }
    int lineStart(int at) const { return at == 0 ? 0 : int(text.lastIndexOf(QLatin1Char('\n'), at - 1)) + 1; }
    int lineEnd(int at) const {
        const qsizetype found = text.indexOf(QLatin1Char('\n'), at);
        return found < 0 ? int(text.size()) : int(found);
    }
    int nextCharacter(int at) const {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
        finder.setPosition(at);
        return qMax(at, int(finder.toNextBoundary()));
    }
    bool rightToLeft() const {
        return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
            const QChar::Direction d = c.direction();
            return d == QChar::DirR || d == QChar::DirAL || d == QChar::DirRLE || d == QChar::DirRLO ||
                   d == QChar::DirRLI;
        });
    }
    int previousCharacter(int at) const {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
        finder.setPosition(at);
        return qMax(0, int(finder.toPreviousBoundary()));
    }
};

// The document read block by block, without the editor's help: soft
// breaks as nothing, other block ends as "\n".
struct Chunks {
    QString text;
    QList<int> softBreaks; // text positions
};

Chunks readChunks(const QTextDocument* doc) {
    Chunks chunks;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin()) {
            if (SoftBreaks::isSoft(block))
                chunks.softBreaks.append(int(chunks.text.size()));
            else
                chunks.text += QLatin1Char('\n');
        }
        chunks.text += block.text();
    }
    return chunks;
}

int textPosition(const QTextDocument* doc, int documentPosition) {
    int soft = 0;
    for (QTextBlock block = doc->begin().next(); block.isValid() && block.position() <= documentPosition;
         block = block.next())
        soft += SoftBreaks::isSoft(block);
    return documentPosition - soft;
}

// Where Qt's own cursor moves on the same text, held as one block a line.
int qtMove(const QString& text, int from, QTextCursor::MoveOperation op) {
    QTextDocument reference;
    reference.setPlainText(text);
    QTextCursor cursor(&reference);
    cursor.setPosition(from);
    cursor.movePosition(op);
    return cursor.position();
}

// The direction of the chunk's line, by its first letter of a strong direction.
Qt::LayoutDirection lineDirection(QTextBlock chunk) {
    while (SoftBreaks::isSoft(chunk))
        chunk = chunk.previous();
    QString line = chunk.text();
    for (chunk = chunk.next(); SoftBreaks::isSoft(chunk); chunk = chunk.next())
        line += chunk.text();
    for (const QChar c : line) {
        if (c.direction() == QChar::DirL)
            return Qt::LeftToRight;
        if (c.direction() == QChar::DirR || c.direction() == QChar::DirAL)
            return Qt::RightToLeft;
    }
    return Qt::LayoutDirectionAuto;
}

QString excerpt(const QString& text, int at) {
    return QString(text.mid(qMax(0, at - 12), 24)).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

QString firstDifference(const char* what, const QString& got, const QString& want) {
    int at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    return QStringLiteral("%1 differs at %2 of %3/%4: \"%5\" where the model has \"%6\"")
        .arg(QLatin1String(what))
        .arg(at)
        .arg(got.size())
        .arg(want.size())
        .arg(excerpt(got, at), excerpt(want, at));
}

class Run {
public:
    Run() {
        m_editor.resize(420, 260);
        m_editor.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
        m_editor.setRecutDelay(0);
        m_editor.show();
        m_editor.setFocus();
        m_shown = QTest::qWaitForWindowExposed(&m_editor);
    }

    // Applies the step to the editor and the model; a failure's text, or an empty one.
    QString apply(const Step& step);
    QString check() const;
    QStringList log;

private:
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        QTest::sendKeyEvent(QTest::Click, &m_editor, key, text, modifiers);
    }
    // Takes the editor's selection after a step whose result depends on the
    // layout, once it lies where the step may put it.
    QString follow(int low, int high, bool collapsed);
    int breakNear(quint32 a) const {
        const QList<int> soft = readChunks(m_editor.document()).softBreaks;
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
        return {textPosition(m_editor.document(), cursor.anchor()),
                textPosition(m_editor.document(), cursor.position())};
    }
    QString context(const QString& name);
    QString wordRemoval(bool backward);

    EntryEditor m_editor;
    Model m_model;
    bool m_shown = false;
    QElapsedTimer m_doubleClick;
};

QString Run::follow(int low, int high, bool collapsed) {
    const auto [anchor, position] = selection();
    if (position < low || position > high || (collapsed && anchor != position))
        return QStringLiteral("selection %1..%2 outside %3..%4").arg(anchor).arg(position).arg(low).arg(high);
    m_model.anchor = anchor;
    m_model.position = position;
    return {};
}

QString Run::wordRemoval(bool backward) {
    const QString before = m_model.text;
    const int caret = m_model.position;
    if (m_model.start() != m_model.end()) {
        key(backward ? Qt::Key_Backspace : Qt::Key_Delete, Qt::ControlModifier);
        m_model.replaceSelection({}, Kind::Other);
        return {};
    }
    key(backward ? Qt::Key_Backspace : Qt::Key_Delete, Qt::ControlModifier);
    const int other = qtMove(before, caret, backward ? QTextCursor::PreviousWord : QTextCursor::NextWord);
    m_model.replace(qMin(caret, other), qMax(caret, other), {}, Kind::Other);
    return {};
}

QString Run::context(const QString& name) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, m_editor.cursorRect().center(),
                            m_editor.viewport()->mapToGlobal(m_editor.cursorRect().center()));
    QApplication::sendEvent(m_editor.viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu)
        return QStringLiteral("no context menu");
    QAction* action = nullptr;
    for (QAction* candidate : menu->actions())
        if (candidate->objectName() == name)
            action = candidate;
    const bool selected = m_model.start() != m_model.end();
    const bool expected = name == QLatin1String("edit-undo")    ? !m_model.undo.isEmpty()
                          : name == QLatin1String("edit-paste") ? !QApplication::clipboard()->text().isEmpty()
                                                                : selected;
    QString failure;
    if (!action)
        failure = QStringLiteral("no %1 in the context menu").arg(name);
    else if (action->isEnabled() != expected)
        failure = QStringLiteral("%1 is %2").arg(name, action->isEnabled() ? "enabled" : "disabled");
    else if (expected)
        action->trigger();
    menu->close();
    return failure;
}

QString Run::apply(const Step& step) {
    if (!m_shown)
        return QStringLiteral("the editor was never shown");
    Model& m = m_model;
    const int length = int(m.text.size());
    QString note;
    QString failure;
    switch (step.op) {
    case Op::Type:
        key(step.text == QLatin1String("\t") ? Qt::Key_Tab : Qt::Key_unknown, Qt::NoModifier, step.text);
        m.replaceSelection(step.text, Kind::Typing);
        note = step.text;
        break;
    case Op::Enter:
    case Op::ShiftEnter:
        key(Qt::Key_Return, step.op == Op::Enter ? Qt::NoModifier : Qt::ShiftModifier);
        m.replaceSelection(QStringLiteral("\n"), Kind::Other);
        break;
    case Op::Backspace:
        key(Qt::Key_Backspace);
        if (m.start() != m.end()) {
            m.replaceSelection({}, Kind::Other);
        } else if (m.position > 0) {
            int from = m.position - 1;
            if (from > 0 && m.text[from].isLowSurrogate() && m.text[from - 1].isHighSurrogate())
                --from;
            m.replace(from, m.position, {}, Kind::Back);
        }
        break;
    case Op::Delete:
        key(Qt::Key_Delete);
        if (m.start() != m.end())
            m.replaceSelection({}, Kind::Other);
        else if (m.position < length)
            m.replace(m.position, m.nextCharacter(m.position), {}, Kind::Forward);
        break;
    case Op::WordBackspace:
    case Op::WordDelete:
        failure = wordRemoval(step.op == Op::WordBackspace);
        break;
    case Op::Undo:
        key(Qt::Key_Z, Qt::ControlModifier);
        m.undoStep();
        break;
    case Op::Redo:
        if (step.a % 2)
            key(Qt::Key_Y, Qt::ControlModifier);
        else
            key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        m.redoStep();
        break;
    case Op::SelectAll:
        key(Qt::Key_A, Qt::ControlModifier);
        m.anchor = 0;
        m.position = length;
        break;
    case Op::Copy:
    case Op::Cut:
    case Op::MenuCut: {
        QApplication::clipboard()->setText(QStringLiteral("(before)"));
        const QString selected = m.text.mid(m.start(), m.end() - m.start());
        if (step.op == Op::MenuCut)
            failure = context(QStringLiteral("edit-cut"));
        else
            key(step.op == Op::Copy ? Qt::Key_C : Qt::Key_X, Qt::ControlModifier);
        const QString expected = selected.isEmpty()
                                     ? QStringLiteral("(before)")
                                     : QString(selected).replace(QChar::Nbsp, QLatin1Char(' '));
        if (failure.isEmpty() && QApplication::clipboard()->text() != expected)
            failure = firstDifference("the clipboard", QApplication::clipboard()->text(), expected);
        if (step.op != Op::Copy)
            m.replaceSelection({}, Kind::Other);
        break;
    }
    case Op::Paste:
    case Op::MenuPaste:
        QApplication::clipboard()->setText(step.text);
        if (step.op == Op::MenuPaste)
            failure = context(QStringLiteral("edit-paste"));
        else
            key(Qt::Key_V, Qt::ControlModifier);
        // The menu offers no paste of nothing.
        if (step.op == Op::Paste || !step.text.isEmpty())
            m.replaceSelection(withLineFeeds(step.text), Kind::Other);
        note = QString::number(step.text.size());
        break;
    case Op::MenuDelete:
        failure = context(QStringLiteral("edit-delete"));
        m.replaceSelection({}, Kind::Other);
        break;
    case Op::MenuUndo:
        failure = context(QStringLiteral("edit-undo"));
        m.undoStep();
        break;
    case Op::Left:
    case Op::Right:
    case Op::ShiftLeft:
    case Op::ShiftRight: {
        const bool left = step.op == Op::Left || step.op == Op::ShiftLeft;
        const bool extend = step.op == Op::ShiftLeft || step.op == Op::ShiftRight;
        key(left ? Qt::Key_Left : Qt::Key_Right, extend ? Qt::ShiftModifier : Qt::NoModifier);
        if (m.rightToLeft()) {
            // The arrows move on the screen, which in right-to-left text is
            // not the order of the characters: a step either way.
            const bool collapse = !extend && m.start() != m.end();
            failure = collapse
                          ? follow(m.start(), m.end(), true)
                          : follow(m.previousCharacter(m.position), m.nextCharacter(m.position), !extend);
        } else if (!extend && m.start() != m.end()) {
            m.anchor = m.position = left ? m.start() : m.end();
        } else {
            m.position = left ? m.previousCharacter(m.position) : m.nextCharacter(m.position);
            if (!extend)
                m.anchor = m.position;
        }
        break;
    }
    case Op::Home:
        key(Qt::Key_Home);
        failure = follow(m.lineStart(m.position), m.position, true);
        break;
    case Op::End:
    case Op::ShiftEnd:
        key(Qt::Key_End, step.op == Op::End ? Qt::NoModifier : Qt::ShiftModifier);
        failure = follow(m.position, m.lineEnd(m.position), step.op == Op::End);
        break;
    case Op::Up:
        key(Qt::Key_Up);
        // On the first row there is nowhere to go, and the selection stays.
        failure = follow(0, m.position, false);
        break;
    case Op::Down:
    case Op::ShiftDown:
        key(Qt::Key_Down, step.op == Op::Down ? Qt::NoModifier : Qt::ShiftModifier);
        failure = follow(m.position, length, false);
        break;
    case Op::WordLeft:
    case Op::WordRight:
    case Op::ShiftWordRight: {
        const bool extend = step.op == Op::ShiftWordRight;
        key(step.op == Op::WordLeft ? Qt::Key_Left : Qt::Key_Right,
            extend ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
        if (m.rightToLeft()) {
            failure = follow(0, length, !extend);
            break;
        }
        const auto op = step.op == Op::WordLeft ? QTextCursor::WordLeft : QTextCursor::WordRight;
        m.position = qtMove(m.text, m.position, op);
        if (!extend)
            m.anchor = m.position;
        break;
    }
    case Op::DocStart:
        key(Qt::Key_Home, Qt::ControlModifier);
        m.anchor = m.position = 0;
        break;
    case Op::DocEnd:
    case Op::ShiftDocEnd:
        key(Qt::Key_End,
            step.op == Op::DocEnd ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        m.position = length;
        if (step.op == Op::DocEnd)
            m.anchor = length;
        break;
    case Op::PlaceNearBreak:
    case Op::PlaceAt: {
        const int at = step.op == Op::PlaceAt ? int(step.a) : breakNear(step.a) + int(step.b % 7) - 3;
        m.anchor = m.position = qBound(0, at, length);
        m_editor.setSelStart(m.position);
        note = QString::number(m.position);
        break;
    }
    case Op::SelectFromBreak:
    case Op::SelectAt: {
        const int at = qBound(0, step.op == Op::SelectAt ? int(step.a) : breakNear(step.a), length);
        const int count = int(step.b % 9);
        m_editor.setSelStart(at);
        m_editor.setSelLength(count);
        m.anchor = at;
        m.position = qMin(length, at + count);
        note = QStringLiteral("%1+%2").arg(at).arg(count);
        break;
    }
    case Op::Click:
    case Op::Drag:
    case Op::DoubleClick:
    case Op::TripleClick: {
        // A press inside the selection would start dragging it instead.
        m_editor.setSelStart(m.position);
        m.anchor = m.position;
        const QPoint from = nearCaret(step.a, step.b);
        const int clicked = textPosition(m_editor.document(), m_editor.cursorForPosition(from).position());
        QWidget* view = m_editor.viewport();
        if (step.op == Op::Drag) {
            const QPoint to = nearCaret(step.b, step.a);
            QTest::mousePress(view, Qt::LeftButton, {}, from);
            QTest::mouseMove(view, (from + to) / 2);
            QTest::mouseMove(view, to);
            QTest::mouseRelease(view, Qt::LeftButton, {}, to);
        } else if (step.op == Op::Click) {
            QTest::mouseClick(view, Qt::LeftButton, {}, from);
        } else {
            QTest::mouseDClick(view, Qt::LeftButton, {}, from);
            if (step.op == Op::TripleClick)
                QTest::mouseClick(view, Qt::LeftButton, {}, from);
        }
        // A click soon after a double click is a triple click, and takes the line.
        const bool soon =
            m_doubleClick.isValid() && m_doubleClick.elapsed() < QApplication::doubleClickInterval();
        failure = follow(0, length, step.op == Op::Click && !soon);
        if (failure.isEmpty() && !soon && (step.op == Op::DoubleClick || step.op == Op::TripleClick)) {
            // The word under the pointer, or its whole line with the line break, as Qt selects them in one
            // block.
            QTextDocument reference;
            reference.setPlainText(m.text);
            QTextCursor expected(&reference);
            expected.setPosition(clicked);
            if (step.op == Op::TripleClick) {
                expected.movePosition(QTextCursor::StartOfBlock);
                expected.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
                if (!expected.hasSelection())
                    expected.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            } else if (!expected.block().text().isEmpty()) {
                expected.select(QTextCursor::WordUnderCursor);
            }
            if (m.start() != expected.selectionStart() || m.end() != expected.selectionEnd())
                failure = QStringLiteral("a click at %1 selected %2..%3 where Qt selects %4..%5")
                              .arg(clicked)
                              .arg(m.start())
                              .arg(m.end())
                              .arg(expected.selectionStart())
                              .arg(expected.selectionEnd());
        }
        if (step.op == Op::DoubleClick || step.op == Op::TripleClick)
            m_doubleClick.start();
        break;
    }
    case Op::Find: {
        if (length == 0)
            break;
        const int at = int(step.a % length);
        const QString needle = m.text.mid(at, 1 + step.b % 12);
        const int start = int(step.b % length);
        const int options =
            int(step.a >> 24) % 2 * EntryEditor::WholeWord + int(step.b >> 24) % 2 * EntryEditor::MatchCase;
        const QString haystack = QString(m.text).replace(QChar::Nbsp, QLatin1Char(' '));
        const Qt::CaseSensitivity cs =
            options & EntryEditor::MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        int expected = -1;
        for (qsizetype from = start; from <= haystack.size();) {
            const qsizetype found = haystack.indexOf(needle, from, cs);
            if (found < 0)
                break;
            const qsizetype end = found + needle.size();
            if ((options & EntryEditor::WholeWord) &&
                ((found > 0 && haystack[found - 1].isLetterOrNumber()) ||
                 (end < haystack.size() && haystack[end].isLetterOrNumber()))) {
                from = end + 1;
                continue;
            }
            expected = int(found);
            break;
        }
        const int got = m_editor.Find(needle, start, options);
        if (got != expected)
            failure = QStringLiteral("Find gave %1 where the model has %2").arg(got).arg(expected);
        if (expected >= 0) {
            m.anchor = expected;
            m.position = expected + int(needle.size());
        }
        note = QStringLiteral("\"%1\" from %2, options %3").arg(excerpt(needle, 0)).arg(start).arg(options);
        break;
    }
    case Op::SetText:
        m_editor.setText(step.text);
        m.setText(step.text);
        note = QString::number(step.text.size());
        break;
    case Op::InputMethod: {
        if (step.a % 2) {
            QInputMethodEvent compose(QStringLiteral("ab"), {});
            QApplication::sendEvent(&m_editor, &compose);
        }
        QInputMethodEvent commit;
        commit.setCommitString(step.text);
        QApplication::sendEvent(&m_editor, &commit);
        // Composing or committing takes the selection out, and what is committed goes in its place.
        if (step.a % 2 || !step.text.isEmpty())
            m.replaceSelection({}, Kind::Other);
        if (!step.text.isEmpty())
            m.replaceSelection(withLineFeeds(step.text), Kind::Other);
        note = QString::number(step.text.size());
        break;
    }
    case Op::Drop: {
        const QPoint at = nearCaret(step.a, step.b);
        const int position = textPosition(m_editor.document(), m_editor.cursorForPosition(at).position());
        auto* data = new QMimeData;
        data->setText(step.text);
        // Another program's text, dragged in over the editor and dropped.
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(m_editor.viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(m_editor.viewport(), &move);
        QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(m_editor.viewport(), &drop);
        delete data;
        // Nothing to drop is refused as the drag comes in.
        if (!step.text.isEmpty()) {
            m.anchor = m.position = position;
            m.replace(position, position, withLineFeeds(step.text), Kind::Other);
        }
        note = QStringLiteral("%1 at %2").arg(step.text.size()).arg(position);
        break;
    }
    case Op::Format:
        m_editor.setSelBold(step.a % 2);
        m_editor.setSelItalic(step.b % 2);
        m_editor.setSelFontSize(8 + int(step.a % 9));
        note = m_editor.font().toString();
        break;
    case Op::Resize:
        m_editor.resize(260 + int(step.a % 440), 160 + int(step.b % 200));
        note = QStringLiteral("%1x%2").arg(m_editor.width()).arg(m_editor.height());
        break;
    }
    // Whatever the step set off (a resize, a cut of the chunks to whole rows) settles first.
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();
    log << QStringLiteral("%1 %2  (model: %3 characters, selection %4..%5, \"%6\")")
               .arg(QLatin1String(kOpNames[int(step.op)]), note)
               .arg(m.text.size())
               .arg(m.anchor)
               .arg(m.position)
               .arg(excerpt(m.text, m.position));
    return failure.isEmpty() ? check() : failure;
}

QString Run::check() const {
    const Model& m = m_model;
    if (m_editor.Text() != m.text)
        return firstDifference("Text()", m_editor.Text(), m.text);
    const Chunks chunks = readChunks(m_editor.document());
    if (chunks.text != m.text)
        return firstDifference("the document", chunks.text, m.text);
    if (m_editor.length() != m.text.size() || m_editor.isEmpty() != m.text.isEmpty())
        return QStringLiteral("length() is %1 for %2 characters").arg(m_editor.length()).arg(m.text.size());
    const auto [anchor, position] = selection();
    if (anchor != m.anchor || position != m.position || m_editor.SelStart() != m.start() ||
        m_editor.SelLength() != m.end() - m.start())
        return QStringLiteral("selection %1..%2 (SelStart %3, SelLength %4) where the model has %5..%6")
            .arg(anchor)
            .arg(position)
            .arg(m_editor.SelStart())
            .arg(m_editor.SelLength())
            .arg(m.anchor)
            .arg(m.position);
    if (m_editor.holdsCiphertext() != modCofra::IsEncryptedText(m.text))
        return QStringLiteral("holdsCiphertext() is %1").arg(m_editor.holdsCiphertext());

    const auto printable = [](QChar c) { return c > u' ' && c < u'\x7F'; };
    // Chunks: a soft break joins two chunks of one line, each of a bounded length.
    const QTextDocument* doc = m_editor.document();
    int lineChunks = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const bool softAfter = block.next().isValid() && SoftBreaks::isSoft(block.next());
        lineChunks = block != doc->begin() && SoftBreaks::isSoft(block) ? lineChunks + 1 : 1;
        const int size = block.length() - 1;
        const bool joined = lineChunks > 1 || softAfter;
        if (size > SoftBreaks::MaxChunk || (joined && size < SoftBreaks::MinChunk))
            return QStringLiteral("a chunk of %1 characters at %2").arg(size).arg(block.position());
        // Every chunk of a line of several is laid out in the line's direction.
        if (joined && block.blockFormat().layoutDirection() != lineDirection(block))
            return QStringLiteral("a chunk at %1 is laid out in another direction than its line")
                .arg(block.position());
        if (!softAfter)
            continue;
        const QString text = block.text();
        if (!m_editor.wrapsAnywhere()) {
            // A word-wrapped line is cut after a space, unless no space is within reach.
            const bool afterSpace = text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t'));
            const QString tail = text.right(SoftBreaks::Reach);
            if (!afterSpace && (tail.contains(QLatin1Char(' ')) || tail.contains(QLatin1Char('\t'))))
                return QStringLiteral("a soft break inside a word at \"%1\"")
                    .arg(excerpt(text, int(text.size())));
        } else if (QFontInfo(m_editor.font()).fixedPitch() && block.layout()->lineCount() > 1 &&
                   std::all_of(text.cbegin(), text.cend(), printable) &&
                   printable(block.next().text().front())) {
            // A ciphertext's chunk fills its last row: Qt would have ended
            // that row in the same place with no soft break after it (spaces
            // and marks make rows of other lengths).
            const QTextLayout* layout = block.layout();
            const QTextLine last = layout->lineAt(layout->lineCount() - 1);
            const QString row = text.mid(last.textStart());
            QTextLayout probe(row + block.next().text().left(200), m_editor.font());
            QTextOption option = m_editor.document()->defaultTextOption();
            option.setWrapMode(QTextOption::WrapAnywhere);
            probe.setTextOption(option);
            probe.beginLayout();
            QTextLine line = probe.createLine();
            line.setLineWidth(layout->lineAt(0).width());
            probe.endLayout();
            if (line.textLength() != row.size())
                return QStringLiteral("a chunk at %1 ends with a row of %2 characters where the row holds %3")
                    .arg(block.position())
                    .arg(row.size())
                    .arg(line.textLength());
        }
    }
    return {};
}

} // namespace

Outcome runSteps(const QList<Step>& steps) {
    Run run;
    Outcome outcome;
    for (int i = 0; i < steps.size(); ++i) {
        outcome.failure = run.apply(steps[i]);
        if (!outcome.failure.isEmpty()) {
            outcome.at = i;
            break;
        }
    }
    outcome.log = run.log;
    return outcome;
}

// Leaves out steps while the sequence still fails.
QList<Step> shortest(QList<Step> steps) {
    int attempts = 0;
    for (qsizetype cut = steps.size() / 2; cut >= 1 && attempts < 400; cut /= 2) {
        for (qsizetype i = 1; i + cut <= steps.size() && attempts < 400;) {
            QList<Step> fewer = steps;
            fewer.remove(i, cut);
            ++attempts;
            const Outcome outcome = runSteps(fewer);
            if (!outcome.failure.isEmpty())
                steps = fewer.mid(0, outcome.at + 1);
            else
                i += cut;
        }
    }
    return steps;
}

QString startingText(QRandomGenerator& random) {
    using namespace editortexts;
    switch (random.bounded(7)) {
    case 0:
        return ciphertext(20000, random.generate());
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
    static const char16_t* const pieces[] = {u"\n",     u"\r\n",   u"\r",
                                             u"\u2029", u"\u2028", u"one\ntwo\nthree",
                                             u"word ",  u"A1B2",   u"line\r\nnext\rlast\u2028",
                                             u"",       u"x",      u"737",
                                             u"737~",   u"~-_",    u"AbZ0"};
    switch (random.bounded(8)) {
    case 0:
        return blob(4000 + random.bounded(12000), random.generate());
    case 1:
        return ciphertext(3000 + random.bounded(6000), random.generate()).mid(3);
    case 2:
        return strongShaped(4 + random.bounded(200), random.generate()).mid(4);
    default:
        return QString::fromUtf16(pieces[random.bounded(int(std::size(pieces)))]);
    }
}

QList<Step> randomSteps(quint32 seed, int count) {
    static const char16_t* const typed[] = {u"a",      u"Z",      u"7",          u"F", u" ", u" ", u"\t",
                                            u"\u00E9", u"\u0301", u"\U0001F600", u"x", u"0", u"~", u"_"};
    QRandomGenerator random(seed);
    int total = 0;
    for (const int weight : kWeights)
        total += weight;
    QList<Step> steps{{Op::SetText, 0, 0, startingText(random)}};
    while (steps.size() < count) {
        int pick = random.bounded(total);
        int op = 0;
        while (pick >= kWeights[op])
            pick -= kWeights[op++];
        Step step{Op(op), random.generate(), random.generate(), {}};
        if (step.op == Op::Type)
            step.text = QString::fromUtf16(typed[random.bounded(int(std::size(typed)))]);
        else if (step.op == Op::SetText)
            step.text = startingText(random);
        else if (step.op == Op::Paste || step.op == Op::MenuPaste || step.op == Op::InputMethod ||
                 step.op == Op::Drop)
            step.text = insertedText(random);
        steps << step;
    }
    return steps;
}

QString describe(const Outcome& outcome, qsizetype steps) {
    QString text = QStringLiteral("%1\n  after %2 steps:").arg(outcome.failure).arg(steps);
    for (const QString& line : outcome.log)
        text += QStringLiteral("\n    ") + line;
    return text;
}

} // namespace editormodel
