#include "editor/EditorInput.h"

#include "editor/EntryEditor.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <iterator>

namespace {

using Kind = EditHistory::Kind;

// What a key's text must be for Qt's editors to type it.
bool typeable(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c.category() == QChar::Other_Format)
        return true;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
           (c.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate()) || c == u'\t';
}

} // namespace

bool EditorInput::keyPress(QKeyEvent* event, const Base& base) {
    if (m_editor->isReadOnly())
        return false;
    if (editKey(event)) {
        event->accept();
        m_editor->ensureCursorVisible();
        return true;
    }
    return moveKey(event, base);
}

bool EditorInput::editKey(QKeyEvent* event) {
    EntryEditor& editor = *m_editor;
    const SoftBreaks& breaks = editor.m_breaks;
    const bool selected = editor.textCursor().hasSelection();
    const int caret = editor.SelStart();
    if (event->matches(QKeySequence::InsertParagraphSeparator) ||
        event->matches(QKeySequence::InsertLineSeparator)) {
        // Enter and Shift+Enter both make a line break of the text.
        editor.replaceSelection(QStringLiteral("\n"), Kind::Other);
    } else if ((event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) ||
               event == QKeySequence::Backspace) {
        if (selected) {
            editor.replaceSelection(QString(), Kind::Other);
        } else if (caret > 0) {
            int from = caret - 1;
            if (from > 0 && breaks.at(from).isLowSurrogate() && breaks.at(from - 1).isHighSurrogate())
                --from;
            editor.replace(from, caret, QString(), Kind::Backspace);
        }
    } else if (event == QKeySequence::Delete) {
        if (selected) {
            editor.replaceSelection(QString(), Kind::Other);
        } else if (caret < editor.length()) {
            // A whole character as the eye sees it: a letter with its marks.
            QTextCursor probe(editor.document());
            probe.setPosition(breaks.toDocument(caret, SoftBreaks::After));
            probe.movePosition(QTextCursor::NextCharacter);
            editor.replace(caret, breaks.toText(probe.position()), QString(), Kind::Delete);
        }
    } else if (event->matches(QKeySequence::DeleteStartOfWord) ||
               event->matches(QKeySequence::DeleteEndOfWord)) {
        removeWord(event->matches(QKeySequence::DeleteStartOfWord));
    } else if (event == QKeySequence::DeleteEndOfLine) {
        if (selected) {
            editor.replaceSelection(QString(), Kind::Other);
        } else {
            QTextBlock last = editor.document()->findBlock(breaks.toDocument(caret));
            while (SoftBreaks::isSoft(last.next()))
                last = last.next();
            const int end = breaks.toText(last.position() + last.length() - 1);
            // At the end of a line, the line break itself.
            editor.replace(caret, end > caret ? end : caret + 1, QString(), Kind::Other);
        }
    } else if (event == QKeySequence::Cut) {
        editor.cut();
    } else if (event == QKeySequence::Undo) {
        editor.undo();
    } else if (event == QKeySequence::Redo) {
        editor.redo();
    } else if (event->key() == Qt::Key_Direction_L || event->key() == Qt::Key_Direction_R) {
        // Qt would turn the direction of the chunk under the caret, not of the text.
    } else if (typeable(event)) {
        if (editor.overwriteMode() && !selected && caret < editor.length() && breaks.at(caret) != u'\n') {
            QTextCursor probe(editor.document());
            probe.setPosition(breaks.toDocument(caret, SoftBreaks::After));
            probe.movePosition(QTextCursor::NextCharacter);
            editor.replace(caret, breaks.toText(probe.position()), event->text(), Kind::Other);
        } else {
            editor.replaceSelection(event->text(), Kind::Typing);
        }
    } else {
        return false;
    }
    return true;
}

bool EditorInput::moveKey(QKeyEvent* event, const Base& base) {
    const SoftBreaks& breaks = m_editor->m_breaks;
    if (breaks.count() == 0)
        return false;
    struct WordMove {
        QKeySequence::StandardKey key;
        QTextCursor::MoveOperation op;
        QTextCursor::MoveMode mode;
    };
    static constexpr WordMove kWordMoves[] = {
        {QKeySequence::MoveToNextWord, QTextCursor::WordRight, QTextCursor::MoveAnchor},
        {QKeySequence::MoveToPreviousWord, QTextCursor::WordLeft, QTextCursor::MoveAnchor},
        {QKeySequence::SelectNextWord, QTextCursor::WordRight, QTextCursor::KeepAnchor},
        {QKeySequence::SelectPreviousWord, QTextCursor::WordLeft, QTextCursor::KeepAnchor},
    };
    for (const WordMove& move : kWordMoves) {
        if (event == move.key) {
            QTextCursor cursor = m_editor->textCursor();
            breaks.moveByWord(cursor, move.op, move.mode);
            m_editor->setTextCursor(cursor);
            event->accept();
            return true;
        }
    }
    const QKeySequence::StandardKey charSteps[] = {
        QKeySequence::MoveToNextChar, QKeySequence::MoveToPreviousChar, QKeySequence::SelectNextChar,
        QKeySequence::SelectPreviousChar};
    if (std::none_of(std::begin(charSteps), std::end(charSteps),
                     [event](auto step) { return event->matches(step); }))
        return false;
    // Stepping over a soft break is no move in the text: Qt's move is made again.
    for (int step = 0; step < 3; ++step) {
        const int before = m_editor->textCursor().position();
        base();
        const int after = m_editor->textCursor().position();
        if (after == before || breaks.toText(after) != breaks.toText(before))
            break;
    }
    return true;
}

void EditorInput::removeWord(bool backward) {
    EntryEditor& editor = *m_editor;
    if (editor.textCursor().hasSelection()) {
        editor.replaceSelection(QString(), Kind::Other);
        return;
    }
    const SoftBreaks& breaks = editor.m_breaks;
    const int caret = editor.SelStart();
    QTextCursor probe(editor.document());
    probe.setPosition(breaks.toDocument(caret, backward ? SoftBreaks::Before : SoftBreaks::After));
    breaks.moveByWord(probe, backward ? QTextCursor::PreviousWord : QTextCursor::NextWord);
    const int other = breaks.toText(probe.position());
    editor.replace(qMin(caret, other), qMax(caret, other), QString(), Kind::Other);
}

void EditorInput::inputMethod(QInputMethodEvent* event, const std::function<void(QInputMethodEvent*)>& base) {
    EntryEditor& editor = *m_editor;
    if (editor.isReadOnly()) {
        base(event);
        return;
    }
    const QString composing = editor.textCursor().block().layout()->preeditAreaText();
    const bool commits = !event->commitString().isEmpty() || event->replacementLength() > 0;
    // What is composed or committed takes the place of the selection.
    if ((commits || event->preeditString() != composing) && editor.textCursor().hasSelection())
        editor.replaceSelection(QString(), Kind::Other);
    if (commits) {
        // What was shown as composed goes before the text changes under it.
        if (!composing.isEmpty()) {
            QInputMethodEvent none;
            base(&none);
        }
        const int from = qMax(0, editor.SelStart() + event->replacementStart());
        editor.replace(from, from + event->replacementLength(), event->commitString(), Kind::Other);
    }
    QInputMethodEvent composed(event->preeditString(), event->attributes());
    base(&composed);
    event->accept();
}

void EditorInput::adaptContextMenu(QMenu* menu) {
    EntryEditor* editor = m_editor;
    for (QAction* standard : menu->actions()) {
        const QString name = standard->objectName();
        std::function<void()> act;
        bool enabled = standard->isEnabled();
        if (name == QLatin1String("edit-undo")) {
            act = [editor] { editor->undo(); };
            enabled = editor->canUndo() && !editor->isReadOnly();
        } else if (name == QLatin1String("edit-redo")) {
            act = [editor] { editor->redo(); };
            enabled = editor->canRedo() && !editor->isReadOnly();
        } else if (name == QLatin1String("edit-cut")) {
            act = [editor] { editor->cut(); };
        } else if (name == QLatin1String("edit-delete")) {
            act = [editor] { editor->replaceSelection(QString(), Kind::Other); };
        } else {
            continue;
        }
        auto* ours = new QAction(standard->icon(), standard->text(), menu);
        ours->setObjectName(name);
        ours->setShortcut(standard->shortcut());
        ours->setEnabled(enabled);
        QObject::connect(ours, &QAction::triggered, editor, act);
        menu->insertAction(standard, ours);
        menu->removeAction(standard);
    }
}

void EditorInput::drop(QDropEvent* event) {
    EntryEditor& editor = *m_editor;
    const QMimeData* data = event->mimeData();
    if (editor.isReadOnly() || !data || !data->hasText()) {
        event->ignore();
        return;
    }
    const SoftBreaks& breaks = editor.m_breaks;
    const int at = breaks.toText(editor.cursorForPosition(event->position().toPoint()).position());
    const int start = editor.SelStart();
    const int end = start + editor.SelLength();
    if (event->source() == m_editor && event->dropAction() == Qt::MoveAction && end > start) {
        // The selection moved within the text: one step, over the span it crossed.
        m_movedWithin = true;
        if (at < start || at > end) {
            const QString all = editor.Text();
            const QString moved = all.mid(start, end - start);
            const int from = qMin(start, at);
            const int to = qMax(end, at);
            const QString span =
                at < start ? moved + all.mid(at, start - at) : all.mid(end, at - end) + moved;
            editor.replace(from, to, span, Kind::Other);
            const int movedTo = at < start ? at : at - int(moved.size());
            editor.select(movedTo, movedTo + int(moved.size()));
        }
    } else {
        editor.setSelStart(at);
        editor.replace(at, at, data->text(), Kind::Other);
    }
    event->acceptProposedAction();
    editor.ensureCursorVisible();
}

void EditorInput::mousePress(QMouseEvent* event, const Base& base) {
    const bool tripleClick =
        event->button() == Qt::LeftButton && m_sinceDoubleClick.isValid() &&
        m_sinceDoubleClick.elapsed() < QApplication::doubleClickInterval() &&
        (event->position().toPoint() - m_doubleClickAt).manhattanLength() < QApplication::startDragDistance();
    // As Qt's own, a press elsewhere leaves the triple click to come.
    if (tripleClick)
        m_sinceDoubleClick.invalidate();
    m_widening = tripleClick ? Widening::Line : Widening::None;
    // Qt would drag the selection itself and take it out of the document
    // when it went elsewhere: a press inside the selection is watched here.
    const QTextCursor cursor = m_editor->textCursor();
    const int at = m_editor->cursorForPosition(event->position().toPoint()).position();
    m_mayDrag = !tripleClick && event->button() == Qt::LeftButton && !m_editor->isReadOnly() &&
                !(event->modifiers() & Qt::ShiftModifier) && cursor.hasSelection() &&
                at >= cursor.selectionStart() && at <= cursor.selectionEnd();
    m_dragFrom = event->position().toPoint();
    if (tripleClick) {
        // The line under the pointer, whatever Qt makes of the press: it
        // misses a triple click when taking a word whole scrolled the view.
        QTextCursor line = m_editor->cursorForPosition(m_dragFrom);
        m_editor->m_breaks.widenToLine(line);
        select(line);
        event->accept();
        return;
    }
    base();
    widenSelection();
}

void EditorInput::mouseDoubleClick(QMouseEvent* event, const Base& base) {
    m_mayDrag = false;
    base();
    if (event->button() != Qt::LeftButton)
        return;
    m_sinceDoubleClick.start();
    m_doubleClickAt = event->position().toPoint();
    m_widening = Widening::Words;
    const SoftBreaks& breaks = m_editor->m_breaks;
    if (breaks.count() == 0)
        return;
    // Qt takes the word in the chunk under the pointer, which at the edge
    // of a chunk is not the word it takes in the line.
    const int at = breaks.toText(m_editor->cursorForPosition(m_doubleClickAt).position());
    const auto [start, end] = breaks.wordAt(at);
    QTextCursor word(m_editor->document());
    word.setPosition(breaks.toDocument(start, SoftBreaks::After));
    word.setPosition(breaks.toDocument(end, end > start ? SoftBreaks::Before : SoftBreaks::After),
                     QTextCursor::KeepAnchor);
    select(word);
}

void EditorInput::mouseMove(QMouseEvent* event, const Base& base) {
    if (m_mayDrag) {
        if ((event->buttons() & Qt::LeftButton) &&
            (event->position().toPoint() - m_dragFrom).manhattanLength() > QApplication::startDragDistance())
            startDrag();
        return;
    }
    base();
    if (event->buttons() & Qt::LeftButton)
        widenSelection();
}

bool EditorInput::mouseRelease(QMouseEvent* /*event*/, const Base& base) {
    m_mayDrag = false;
    base();
    const bool widened = m_widening != Widening::None && m_editor->m_breaks.count() > 0;
    m_widening = Widening::None;
    return widened;
}

void EditorInput::startDrag() {
    EntryEditor& editor = *m_editor;
    m_mayDrag = false;
    m_movedWithin = false;
    const int start = editor.SelStart();
    const int end = start + editor.SelLength();
    auto* drag = new QDrag(m_editor);
    drag->setMimeData(editor.createMimeDataFromSelection());
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // Qt still waits for the release of the press that started the drag.
    QMouseEvent release(QEvent::MouseButtonRelease, m_dragFrom, editor.viewport()->mapToGlobal(m_dragFrom),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &release);
    if (m_movedWithin)
        return;
    if (action == Qt::MoveAction) {
        editor.replace(start, end, QString(), Kind::Other);
    } else {
        editor.select(start, end);
    }
}

void EditorInput::widenSelection() {
    const SoftBreaks& breaks = m_editor->m_breaks;
    if (m_widening == Widening::None || breaks.count() == 0)
        return;
    const QTextCursor before = m_editor->textCursor();
    if (!before.hasSelection())
        return;
    QTextCursor cursor = before;
    if (m_widening == Widening::Words)
        breaks.widenToWords(cursor);
    else
        breaks.widenToLine(cursor);
    if (cursor.anchor() != before.anchor() || cursor.position() != before.position())
        select(cursor);
}

void EditorInput::select(const QTextCursor& cursor) {
    // A click selects without scrolling, however far the word or line runs.
    QScrollBar* vertical = m_editor->verticalScrollBar();
    QScrollBar* horizontal = m_editor->horizontalScrollBar();
    const int top = vertical->value();
    const int left = horizontal->value();
    m_editor->setTextCursor(cursor);
    vertical->setValue(top);
    horizontal->setValue(left);
}
