#pragma once
#include <QStringList>
#include <functional>

namespace platform {

// Finding and starting other programs of the desktop.
class Programs {
public:
    // The full path of the first of the names found on PATH, or empty.
    static QString findOnPath(const QStringList& names);
    // Starts a program on its own, not waiting for it.
    static bool startDetached(const QString& program);
    // Tests record starts instead; an empty starter restores real starts.
    static void setStarter(std::function<bool(const QString&)> starter);
};

} // namespace platform
