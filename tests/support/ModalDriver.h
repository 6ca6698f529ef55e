#pragma once
#include <QObject>
#include <QWidget>
#include <functional>

// Acts on the next modal dialog as a user would: once a modal widget is up,
// `act` runs with it (type, click, close). Call it before the command that
// opens the dialog. `act` runs at most once; after timeoutMs without a modal
// dialog it is dropped and fired() stays false.
class ModalDriver {
public:
    void onNextModal(std::function<void(QWidget*)> act, int timeoutMs = 5000);
    bool fired() const { return m_fired; }

private:
    bool m_fired = false;
    QObject m_timers; // the context of the polls, so that they end with the driver
};
