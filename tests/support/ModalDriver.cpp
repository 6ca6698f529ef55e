#include "tests/support/ModalDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>
#include <utility>

void ModalDriver::onNextModal(std::function<void(QWidget*)> act, int timeoutMs) {
    m_fired = false;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, act = std::move(act), timeoutMs, clock, poll]() {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            m_fired = true;
            act(modal);
            *poll = nullptr; // break the self-reference
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, [poll]() {
            if (*poll)
                (*poll)();
        });
    };
    QTimer::singleShot(0, [poll]() {
        if (*poll)
            (*poll)();
    });
}
