#pragma once
#include <QString>

namespace platform {

// Keeps what the program holds in memory (keys, plain text) out of reach of a
// crash dump and of other processes of the same user: no core file, and no
// tracing or reading of the process's memory through /proc.
class ProcessGuard {
public:
    // Empty when both took effect; otherwise what did not, in words.
    static QString keepMemoryPrivate();
};

} // namespace platform
