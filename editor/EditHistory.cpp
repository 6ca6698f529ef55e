#include "editor/EditHistory.h"

void EditHistory::record(Step step) {
    m_redo.clear();
    Step* last = m_open && !m_undo.isEmpty() && m_undo.last().kind == step.kind ? &m_undo.last() : nullptr;
    m_open = true;
    if (last && step.kind == Kind::Typing && step.removed.isEmpty() &&
        step.at == last->at + last->inserted.size()) {
        last->inserted += step.inserted;
    } else if (last && step.kind == Kind::Backspace && step.at + step.removed.size() == last->at) {
        last->removed.prepend(step.removed);
        last->at = step.at;
    } else if (last && step.kind == Kind::Delete && step.at == last->at) {
        last->removed += step.removed;
    } else {
        m_undo.append(std::move(step));
    }
}

EditHistory::Step EditHistory::moveLast(QList<Step>& from, QList<Step>& to) {
    m_open = false;
    if (from.isEmpty())
        return {};
    to.append(from.takeLast());
    return to.last();
}

EditHistory::Step EditHistory::undo() {
    return moveLast(m_undo, m_redo);
}

EditHistory::Step EditHistory::redo() {
    return moveLast(m_redo, m_undo);
}

void EditHistory::clear() {
    m_undo.clear();
    m_redo.clear();
    m_open = false;
}
