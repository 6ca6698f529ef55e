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
    // Only the pending timer holds the poll, and the timers belong to this
    // driver: a driver that goes away before a dialog came up leaves neither
    // a poll behind nor one that would reach it afterwards.
    auto poll = std::make_shared<std::function<void()>>();
    const std::weak_ptr<std::function<void()>> self = poll;
    *poll = [this, act = std::move(act), timeoutMs, clock, self]() {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            m_fired = true;
            act(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs)
            return;
        QTimer::singleShot(10, &m_timers, [next = self.lock()]() { (*next)(); });
    };
    QTimer::singleShot(0, &m_timers, [poll]() { (*poll)(); });
}
