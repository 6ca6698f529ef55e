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

QMessageBox::StandardButton ask(QWidget* parent, const MessageBoxSpec& spec) {
    if (responder())
        return responder()(spec);
    QString shown = spec.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(toQtIcon(spec.icon), spec.title, shown, spec.buttons, parent);
    if (spec.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(spec.defaultButton);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QMessageBox::StandardButton MessageBoxes::show(QWidget* parent, const MessageBoxSpec& spec) {
    for (;;) {
        const QMessageBox::StandardButton answer = ask(parent, spec);
        if (answer != QMessageBox::Help || !spec.buttons.testFlag(QMessageBox::Help))
            return answer;
        Shell::openHelp(spec.helpAnchor);
    }
}

void MessageBoxes::setResponder(Responder r) {
    responder() = std::move(r);
}

} // namespace platform
