#include "platform/ProcessGuard.h"

#include <cerrno>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace platform {

QString ProcessGuard::keepMemoryPrivate() {
    QString failures;
    const rlimit none{0, 0};
    if (setrlimit(RLIMIT_CORE, &none) != 0)
        failures += QStringLiteral("Core dumps could not be turned off (%1). ").arg(qt_error_string(errno));
    if (prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
        failures +=
            QStringLiteral("Other programs could not be kept from reading the program's memory (%1). ")
                .arg(qt_error_string(errno));
    return failures.trimmed();
}

} // namespace platform
