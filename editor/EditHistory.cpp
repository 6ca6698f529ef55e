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

EditHistory::Step EditHistory::undo() {
    m_open = false;
    if (m_undo.isEmpty())
        return {};
    m_redo.append(m_undo.takeLast());
    return m_redo.last();
}

EditHistory::Step EditHistory::redo() {
    m_open = false;
    if (m_redo.isEmpty())
        return {};
    m_undo.append(m_redo.takeLast());
    return m_undo.last();
}

void EditHistory::clear() {
    m_undo.clear();
    m_redo.clear();
    m_open = false;
}
