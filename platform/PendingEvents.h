#pragma once

namespace platform {

// Lets queued window events (input, paint, timers) run once, in the middle of a command.
class PendingEvents {
public:
    static void run();
};

} // namespace platform
