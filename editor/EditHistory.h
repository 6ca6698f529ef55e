#pragma once
#include <QList>
#include <QString>

// The editor's undo and redo, kept as changes of the text rather than of
// its document, so that cutting the chunks of a line again (after a resize,
// say) never becomes a step of its own. Typed characters, a run of Backspace
// and a run of Delete each undo as one step, as in Qt's own editors; any
// other change is a step of its own.
class EditHistory {
public:
    enum class Kind { Other, Typing, Backspace, Delete };
    struct Step {
        int at = 0;
        QString removed;
        QString inserted;
        // The selection just before the step, which its undo brings back.
        int anchor = 0;
        int position = 0;
        Kind kind = Kind::Other;
    };

    // Records the replacement of `removed` at `at` by `inserted`.
    void record(Step step);
    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    // The step to take back (or to make again), moved to the other list.
    Step undo();
    Step redo();
    void clear();

private:
    // Moves the last step of one list to the other and gives it; nothing when `from` is empty.
    Step moveLast(QList<Step>& from, QList<Step>& to);

    QList<Step> m_undo;
    QList<Step> m_redo;
    // Whether the last step may take in the next one: not after an undo or a redo.
    bool m_open = false;
};
