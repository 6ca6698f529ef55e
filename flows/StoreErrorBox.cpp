#include "flows/StoreErrorBox.h"

#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"
#include "store/EntryStore.h"

#include <QApplication>

namespace store {

void installErrorBox() {
    setErrorPrompt([](const QString& text) {
        platform::MessageBoxSpec box;
        box.title = QStringLiteral("An Error Occured!");
        box.text = text;
        box.icon = platform::MsgIcon::Exclamation;
        box.buttons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        box.defaultButton = QMessageBox::Retry;
        // The question waits for the user, not the program: the pointer says so
        // while it is up, and goes back to busy for the work that follows.
        const bool busy = QGuiApplication::overrideCursor() != nullptr;
        modCofra::SetBusyCursor(false);
        const QMessageBox::StandardButton answer =
            platform::MessageBoxes::show(QApplication::activeWindow(), box);
        if (busy)
            modCofra::SetBusyCursor(true);
        switch (answer) {
        case QMessageBox::Retry:
            return ErrorAnswer::Retry;
        case QMessageBox::Ignore:
            return ErrorAnswer::Ignore;
        default:
            return ErrorAnswer::Abort;
        }
    });
}

} // namespace store
