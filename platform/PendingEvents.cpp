#include "platform/PendingEvents.h"

#include <QCoreApplication>

namespace platform {

void PendingEvents::run() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace platform
