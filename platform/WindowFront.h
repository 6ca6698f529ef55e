#pragma once
#include <QPointer>
#include <QWidget>

namespace platform {

// Shows a window (or brings an open one back) in front of the others, with the focus.
inline void bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// The one instance of a window the program keeps single, null when there is none.
template <typename Window> QPointer<Window>& soleInstance() {
    static QPointer<Window> window;
    return window;
}

} // namespace platform
