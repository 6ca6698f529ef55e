#include "platform/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace modCofra {

void SetBusyCursor(bool busy) {
    if (busy) {
        if (!QGuiApplication::overrideCursor())
            QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
        else
            QGuiApplication::changeOverrideCursor(QCursor(Qt::BusyCursor));
        return;
    }
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

bool IsBusyCursor() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::BusyCursor;
}

} // namespace modCofra
