#pragma once
#include "platform/MessageBoxes.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// Answers the program's message boxes from a queue and records every box shown.
// A box that finds the queue empty is recorded and answered with its default
// button (or its first button), and counts as unexpected.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void queue(QMessageBox::StandardButton answer) { m_answers.enqueue(answer); }
    const QList<platform::MessageBoxSpec>& shown() const { return m_shown; }
    // The titles of the boxes shown, in turn.
    QStringList titles() const {
        QStringList all;
        for (const platform::MessageBoxSpec& box : m_shown)
            all << box.title;
        return all;
    }
    int unexpected() const { return m_unexpected; }
    int pending() const { return static_cast<int>(m_answers.size()); }
    void clear() {
        m_shown.clear();
        m_answers.clear();
        m_unexpected = 0;
    }

private:
    QQueue<QMessageBox::StandardButton> m_answers;
    QList<platform::MessageBoxSpec> m_shown;
    int m_unexpected = 0;
};
