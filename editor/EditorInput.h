#pragma once
#include <QElapsedTimer>
#include <QPoint>
#include <functional>

class EntryEditor;
class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QTextCursor;

// What the keyboard, input methods, the mouse, drag and drop and the context
// menu do to the editor. Every change of the text they ask for goes through
// the editor's one replacement (never through Qt's own editing, which knows
// nothing of chunks), and the caret meets the text, never the chunks it is
// held in: a caret move crosses a soft break without stopping on it, a word
// move and a word selection go on through a soft break inside a word, and a
// triple click takes the whole line. Moving the caret and selecting are left
// to Qt.
class EditorInput {
public:
    using Base = std::function<void()>;
    explicit EditorInput(EntryEditor* editor) : m_editor(editor) {}

    // Handles the key, or leaves it to `base`, Qt's handling, which it may
    // also call itself. False when the key is Qt's alone.
    bool keyPress(QKeyEvent* event, const Base& base);
    // A committed text is the editor's to insert; Qt shows what is composed.
    void inputMethod(QInputMethodEvent* event, const std::function<void(QInputMethodEvent*)>& base);
    // Cut, Delete, Undo and Redo of the standard context menu act through the editor.
    void adaptContextMenu(QMenu* menu);
    void drop(QDropEvent* event);

    // Around Qt's own handling of the mouse: a press inside the selection
    // may start dragging it, which the editor does itself; a double or
    // triple click over a soft break, and a drag after one, select whole
    // words or lines.
    void mousePress(QMouseEvent* event, const Base& base);
    void mouseDoubleClick(QMouseEvent* event, const Base& base);
    void mouseMove(QMouseEvent* event, const Base& base);
    // True when the selection was widened, so that the selection clipboard wants it again.
    bool mouseRelease(QMouseEvent* event, const Base& base);

private:
    enum class Widening { None, Words, Line };

    bool editKey(QKeyEvent* event);
    bool moveKey(QKeyEvent* event, const Base& base);
    void removeWord(bool backward);
    void startDrag();
    void widenSelection();
    void select(const QTextCursor& cursor);

    EntryEditor* m_editor;
    Widening m_widening = Widening::None;
    QElapsedTimer m_sinceDoubleClick;
    QPoint m_doubleClickAt;
    // Where a press inside the selection was, while it may become a drag.
    QPoint m_dragFrom;
    bool m_mayDrag = false;
    // Set when a drag of the selection was dropped into the editor itself.
    bool m_movedWithin = false;
};
