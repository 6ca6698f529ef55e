#include "platform/ScrollBarNames.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace platform {

void nameScrollBars(QAbstractScrollArea* area) {
    const QString what = area->accessibleName();
    area->verticalScrollBar()->setAccessibleName(what + QStringLiteral(": scroll up and down"));
    area->horizontalScrollBar()->setAccessibleName(what + QStringLiteral(": scroll left and right"));
}

} // namespace platform
