#include "tests/support/ScriptedMessages.h"

ScriptedMessages::ScriptedMessages() {
    platform::MessageBoxes::setResponder([this](const platform::MessageBoxSpec& box) {
        m_shown.append(box);
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        ++m_unexpected;
        if (box.defaultButton != QMessageBox::NoButton)
            return box.defaultButton;
        for (int bit = 0; bit < 32; ++bit) {
            const auto button = static_cast<QMessageBox::StandardButton>(1u << bit);
            if (box.buttons.testFlag(button) && button != QMessageBox::Help)
                return button;
        }
        return QMessageBox::Ok;
    });
}

ScriptedMessages::~ScriptedMessages() {
    platform::MessageBoxes::setResponder({});
}
