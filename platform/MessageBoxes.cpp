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
    if (responder()) {
        const QMessageBox::StandardButton answer = responder()(request);
        return answer == MessageBoxes::EscapeKey ? MessageBoxes::escapeAnswer(request.buttons) : answer;
    }
    QString shown = request.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(toQtIcon(request.icon), request.title, shown, request.buttons, parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    // Qt finds an Escape button only among buttons that reject: a box with OK
    // and Help would otherwise ignore Escape and its close button.
    box.setEscapeButton(MessageBoxes::escapeAnswer(request.buttons));
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

QMessageBox::StandardButton MessageBoxes::escapeAnswer(QMessageBox::StandardButtons buttons) {
    for (const QMessageBox::StandardButton button :
         {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Abort, QMessageBox::Ok, QMessageBox::Close}) {
        if (buttons.testFlag(button))
            return button;
    }
    // Any other set: its first button that is not Help.
    for (int bit = 0; bit < 32; ++bit) {
        const auto button = static_cast<QMessageBox::StandardButton>(1u << bit);
        if (buttons.testFlag(button) && button != QMessageBox::Help)
            return button;
    }
    return QMessageBox::NoButton;
}

void MessageBoxes::setResponder(Responder r) {
    responder() = std::move(r);
}

} // namespace platform
