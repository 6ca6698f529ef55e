#pragma once
#include <QWidget>

namespace platform {

// Shows a window (or brings an open one back) in front of the others, with the focus.
inline void bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace platform
