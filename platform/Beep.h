#pragma once
#include <functional>

namespace platform {

// The warning beep. Tests replace the sound with a counter.
class Beep {
public:
    static void sound();
    // An empty hook restores the real beep.
    static void setHook(std::function<void()> hook);
};

} // namespace platform
