#include "flows/StoreErrorBox.h"

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
        switch (platform::MessageBoxes::show(QApplication::activeWindow(), box)) {
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
