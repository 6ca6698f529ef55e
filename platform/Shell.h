#pragma once
#include <QString>
#include <QUrl>
#include <functional>

namespace modCofra {
// Opens a file (resolved in the program folder) or a web address with the
// desktop's default handler. An empty target opens the program's web page.
// Returns a value above 32 on success, 0 otherwise; never shows a message.
int OpenWithShell(QString& target);
} // namespace modCofra

namespace platform {

class Shell {
public:
    static constexpr int Success = 33;

    static bool openUrl(const QUrl& url);
    // Opens the help page beside the program, at an anchor when one is given.
    // A missing help page opens nothing.
    static bool openHelp(const QString& anchor = QString());
    // Tests record what would be opened; an empty opener restores the desktop's.
    static void setOpener(std::function<bool(const QUrl&)> opener);
};

} // namespace platform
