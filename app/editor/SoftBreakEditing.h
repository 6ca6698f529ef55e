#pragma once
#include <QElapsedTimer>
#include <QPoint>
#include <functional>

class QKeyEvent;
class QMenu;
class QMouseEvent;
class QPlainTextEdit;
class SoftBreaks;

// What the editor does differently from Qt's own handling where a line runs
// over soft breaks, so that the keyboard and the mouse meet the text and
// never the blocks it is held in: a caret move crosses a soft break without
// stopping on it, a word move and a word selection go on through a break in
// the middle of a word, a triple click takes the whole line, Enter after a
// soft break makes a real line break, and a deletion never leaves an empty
// chunk between two soft breaks. Everything else is Qt's.
class SoftBreakEditing {
public:
    SoftBreakEditing(QPlainTextEdit* editor, SoftBreaks& breaks) : m_editor(editor), m_breaks(breaks) {}

    // Handles the key or leaves it to `base`, Qt's handling, which it may call
    // itself. False when the key is Qt's alone.
    bool keyPress(QKeyEvent* event, const std::function<void()>& base);
    // Removes the selection as a cut or a deletion does.
    void removeSelection();
    // Cut and Delete of the standard context menu go through removeSelection.
    void adaptContextMenu(QMenu* menu);

    // Around Qt's own handling of the mouse: a double or triple click over a
    // soft break, and a drag after one, select whole words or lines.
    void beforeMousePress(QMouseEvent* event);
    void afterMousePress();
    void afterDoubleClick(QMouseEvent* event);
    void afterMouseMove(QMouseEvent* event);
    // True when the selection was widened, so that the selection clipboard wants it again.
    bool afterMouseRelease();

    // Gives each chunk Qt has not laid out the number of rows its length fills.
    void estimateRows();

private:
    enum class Widening { None, Words, Line };

    bool deleteKey(QKeyEvent* event);
    void insertLineBreak();
    void widenSelection();

    QPlainTextEdit* m_editor;
    SoftBreaks& m_breaks;
    Widening m_widening = Widening::None;
    QElapsedTimer m_sinceDoubleClick;
    QPoint m_doubleClickAt;
};
