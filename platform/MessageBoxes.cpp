#include "platform/MessageBoxes.h"

#include "platform/Shell.h"

namespace platform {
namespace {

MessageBoxes::Responder& responder() {
    static MessageBoxes::Responder r;
    return r;
}

QMessageBox::Icon toQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ask(QWidget* parent, const MessageBoxSpec& request) {
    if (responder())
        return responder()(request);
    QString shown = request.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(toQtIcon(request.icon), request.title, shown, request.buttons, parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QMessageBox::StandardButton MessageBoxes::show(QWidget* parent, const MessageBoxSpec& box) {
    for (;;) {
        const QMessageBox::StandardButton answer = ask(parent, box);
        if (answer != QMessageBox::Help || !box.buttons.testFlag(QMessageBox::Help))
            return answer;
        Shell::openHelp(box.helpAnchor);
    }
}

void MessageBoxes::setResponder(Responder r) {
    responder() = std::move(r);
}

} // namespace platform
