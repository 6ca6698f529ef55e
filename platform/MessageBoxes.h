#pragma once
#include <QMessageBox>
#include <QString>
#include <functional>

namespace platform {

enum class MsgIcon { None, Question, Exclamation, Information };

// One message box as the program asks for it. Texts keep their CR LF line breaks.
struct MessageBoxSpec {
    QString title;
    QString text;
    MsgIcon icon = MsgIcon::None;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    // With a Help button: the anchor of the help page that the button opens.
    QString helpAnchor;
};

// Every message box of the program goes through here. A Help button opens the
// help page and leaves the box up; any other button closes it and is returned.
class MessageBoxes {
public:
    using Responder = std::function<QMessageBox::StandardButton(const MessageBoxSpec&)>;

    static QMessageBox::StandardButton show(QWidget* parent, const MessageBoxSpec& box);
    // What Escape (and the window's close button) answers in a box with these
    // buttons: Cancel, else No, else Abort, else OK; never Help. Every box of the
    // program can so be left from the keyboard without choosing the risky answer.
    static QMessageBox::StandardButton escapeAnswer(QMessageBox::StandardButtons buttons);
    // A responder returns this to stand for the user pressing Escape; the box
    // then answers as a shown box would.
    static constexpr QMessageBox::StandardButton EscapeKey = QMessageBox::Escape;
    // Tests answer boxes with a responder instead of a window; empty restores windows.
    static void setResponder(Responder responder);
};

} // namespace platform
