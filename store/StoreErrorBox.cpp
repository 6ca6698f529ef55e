#include "store/StoreErrorBox.h"

#include "platform/MessageBoxes.h"
#include "store/EntryStore.h"

#include <QApplication>

namespace store {

void installErrorBox() {
    setErrorPrompt([](const QString& text) {
        platform::MessageBoxSpec spec;
        spec.title = QStringLiteral("An Error Occured!");
        spec.text = text;
        spec.icon = platform::MsgIcon::Exclamation;
        spec.buttons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        spec.defaultButton = QMessageBox::Retry;
        switch (platform::MessageBoxes::show(QApplication::activeWindow(), spec)) {
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
