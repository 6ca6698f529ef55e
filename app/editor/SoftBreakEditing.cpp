#include "app/editor/SoftBreakEditing.h"

#include "app/editor/SoftBreaks.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>
#include <cmath>
#include <iterator>

bool SoftBreakEditing::keyPress(QKeyEvent* event, const std::function<void()>& base) {
    if (m_breaks.count() == 0 || m_editor->isReadOnly())
        return false;
    QTextCursor cursor = m_editor->textCursor();
    if (event == QKeySequence::InsertParagraphSeparator &&
        (cursor.hasSelection() || SoftBreaks::isSoft(cursor.block()))) {
        insertLineBreak();
        event->accept();
        return true;
    }
    if (deleteKey(event)) {
        event->accept();
        return true;
    }
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
            m_breaks.moveByWord(cursor, move.op, move.mode);
            m_editor->setTextCursor(cursor);
            event->accept();
            return true;
        }
    }
    const QKeySequence::StandardKey charSteps[] = {QKeySequence::MoveToNextChar, QKeySequence::MoveToPreviousChar,
                                                   QKeySequence::SelectNextChar, QKeySequence::SelectPreviousChar};
    if (std::any_of(std::begin(charSteps), std::end(charSteps), [event](auto step) { return event->matches(step); })) {
        // Stepping over a soft break is no move in the text: Qt's move is made again.
        for (int step = 0; step < 3; ++step) {
            const int before = m_editor->textCursor().position();
            base();
            const int after = m_editor->textCursor().position();
            if (after == before || m_breaks.toText(after) != m_breaks.toText(before))
                break;
        }
        return true;
    }
    return false;
}

bool SoftBreakEditing::deleteKey(QKeyEvent* event) {
    enum class Kind { Back, Forward, WordBack, WordForward, Cut };
    Kind kind;
    if ((event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) ||
        event == QKeySequence::Backspace)
        kind = Kind::Back;
    else if (event == QKeySequence::Delete)
        kind = Kind::Forward;
    else if (event == QKeySequence::DeleteStartOfWord)
        kind = Kind::WordBack;
    else if (event == QKeySequence::DeleteEndOfWord)
        kind = Kind::WordForward;
    else if (event == QKeySequence::Cut)
        kind = Kind::Cut;
    else
        return false;

    const QTextCursor cursor = m_editor->textCursor();
    if (cursor.hasSelection()) {
        if (kind == Kind::Cut)
            m_editor->copy();
        removeSelection();
        return true;
    }
    if (kind == Kind::Cut)
        return false;
    const int caret = m_breaks.toText(cursor.position());
    int from = caret;
    int to = caret;
    QTextCursor probe(m_editor->document());
    switch (kind) {
    case Kind::Back:
        if (caret == 0)
            return false;
        from = caret - 1;
        if (from > 0 && m_breaks.at(from).isLowSurrogate() && m_breaks.at(from - 1).isHighSurrogate())
            --from;
        break;
    case Kind::Forward:
        if (caret >= m_breaks.length())
            return false;
        probe.setPosition(m_breaks.toDocument(caret, SoftBreaks::After));
        probe.movePosition(QTextCursor::NextCharacter);
        to = m_breaks.toText(probe.position());
        break;
    case Kind::WordBack:
        probe.setPosition(m_breaks.toDocument(caret, SoftBreaks::Before));
        m_breaks.moveByWord(probe, QTextCursor::PreviousWord);
        from = m_breaks.toText(probe.position());
        break;
    default:
        probe.setPosition(m_breaks.toDocument(caret, SoftBreaks::After));
        m_breaks.moveByWord(probe, QTextCursor::NextWord);
        to = m_breaks.toText(probe.position());
        break;
    }
    if (from == to)
        return false;
    // Inside a chunk Qt's own deletion does the same, and an undo takes back a
    // run of them at once, as it always has.
    if ((kind == Kind::Back || kind == Kind::Forward) && !m_breaks.isBoundary(from) &&
        !m_breaks.isBoundary(to))
        return false;
    m_breaks.remove(from, to);
    m_editor->ensureCursorVisible();
    return true;
}

void SoftBreakEditing::removeSelection() {
    QTextCursor cursor = m_editor->textCursor();
    if (!cursor.hasSelection())
        return;
    const int from = m_breaks.toText(cursor.selectionStart());
    const int to = m_breaks.toText(cursor.selectionEnd());
    if (m_breaks.isBoundary(from) || m_breaks.isBoundary(to))
        m_breaks.remove(from, to);
    else
        cursor.removeSelectedText();
    m_editor->ensureCursorVisible();
}

void SoftBreakEditing::insertLineBreak() {
    // A new block takes the format of the block it splits, the soft break's mark included.
    QTextCursor cursor = m_editor->textCursor();
    cursor.beginEditBlock();
    removeSelection();
    cursor.insertBlock(SoftBreaks::blockFormat(cursor, false), cursor.charFormat());
    cursor.endEditBlock();
    m_editor->ensureCursorVisible();
}

void SoftBreakEditing::adaptContextMenu(QMenu* menu) {
    for (QAction* standard : menu->actions()) {
        const QString name = standard->objectName();
        const bool cut = name == QLatin1String("edit-cut");
        if (!cut && name != QLatin1String("edit-delete"))
            continue;
        auto* ours = new QAction(standard->icon(), standard->text(), menu);
        ours->setObjectName(name);
        ours->setEnabled(standard->isEnabled());
        QObject::connect(ours, &QAction::triggered, m_editor, [this, cut]() {
            if (cut)
                m_editor->copy();
            removeSelection();
        });
        menu->insertAction(standard, ours);
        menu->removeAction(standard);
    }
}

void SoftBreakEditing::beforeMousePress(QMouseEvent* event) {
    const bool tripleClick =
        event->button() == Qt::LeftButton && m_sinceDoubleClick.isValid() &&
        m_sinceDoubleClick.elapsed() < QApplication::doubleClickInterval() &&
        (event->position().toPoint() - m_doubleClickAt).manhattanLength() < QApplication::startDragDistance();
    m_sinceDoubleClick.invalidate();
    m_widening = tripleClick ? Widening::Line : Widening::None;
}

void SoftBreakEditing::afterMousePress() {
    widenSelection();
}

void SoftBreakEditing::afterDoubleClick(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_sinceDoubleClick.start();
    m_doubleClickAt = event->position().toPoint();
    m_widening = Widening::Words;
    widenSelection();
}

void SoftBreakEditing::afterMouseMove(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        widenSelection();
}

bool SoftBreakEditing::afterMouseRelease() {
    const bool widened = m_widening != Widening::None && m_breaks.count() > 0;
    m_widening = Widening::None;
    return widened;
}

void SoftBreakEditing::widenSelection() {
    if (m_widening == Widening::None || m_breaks.count() == 0)
        return;
    const QTextCursor before = m_editor->textCursor();
    if (!before.hasSelection())
        return;
    QTextCursor cursor = before;
    if (m_widening == Widening::Words)
        m_breaks.extendToWords(cursor);
    else
        m_breaks.extendToLine(cursor);
    if (cursor.anchor() == before.anchor() && cursor.position() == before.position())
        return;
    // A click selects without scrolling, however far the word or line runs.
    QScrollBar* vertical = m_editor->verticalScrollBar();
    QScrollBar* horizontal = m_editor->horizontalScrollBar();
    const int top = vertical->value();
    const int left = horizontal->value();
    m_editor->setTextCursor(cursor);
    vertical->setValue(top);
    horizontal->setValue(left);
}

void SoftBreakEditing::estimateRows() {
    // Qt counts a block it has not laid out as one row, which would make the
    // scroll bar over a long line as short as its number of chunks. Each
    // chunk not yet laid out is given the rows its length fills instead, until
    // Qt lays it out and counts its rows itself.
    if (m_breaks.count() == 0)
        return;
    QTextDocument* doc = m_editor->document();
    const qreal width = m_editor->viewport()->width() - 2 * doc->documentMargin();
    QTextBlock sample = doc->begin();
    while (sample.isValid() && sample.length() <= SoftBreaks::ChunkLength / 2)
        sample = sample.next();
    if (!sample.isValid() || width <= 0)
        return;
    const QString head = sample.text().left(512);
    const qreal perCharacter = QFontMetricsF(m_editor->font()).horizontalAdvance(head) / head.size();
    // A word wrap leaves part of a word's width unused at the end of each row.
    const bool anywhere = m_editor->wordWrapMode() == QTextOption::WrapAnywhere;
    const qreal row = width - perCharacter * (anywhere ? 1 : 6);
    if (row <= perCharacter)
        return;
    bool changed = false;
    for (QTextBlock block = sample; block.isValid(); block = block.next()) {
        if (block.length() <= SoftBreaks::ChunkLength / 2 || block.layout()->lineCount() > 0)
            continue;
        const int rows = qMax(1, int(std::ceil((block.length() - 1) * perCharacter / row)));
        if (block.lineCount() != rows) {
            block.setLineCount(rows);
            changed = true;
        }
    }
    if (changed) {
        QAbstractTextDocumentLayout* layout = doc->documentLayout();
        emit layout->documentSizeChanged(layout->documentSize());
    }
}
