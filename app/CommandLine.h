#pragma once
#include <QString>
#include <QStringList>

// The program's command line: --help, --version, and --database FILE to open
// another entry database (a copy on a USB stick, say).
class CommandLine {
public:
    // Answers --help and --version, then ends the program. Runs before the
    // window system is opened, so both work in a terminal without a display.
    static void answerIfAsked(int argc, char** argv);

    // Reads the application's arguments, once Qt has taken its own (-platform
    // and the like) out of them. An unknown option ends the program with Qt's
    // message, as in every Qt program.
    explicit CommandLine(const QStringList& arguments);

    // Decides which entry database the store uses (store/DatabaseLocation.h).
    // A --database file that is not an entry database, or an argument that is
    // no option, is refused on the terminal and the result is false: the
    // program must not start. A user
    // database that could not be made is said in a message box; the program
    // starts, and every save then says the same.
    bool chooseDatabase() const;

    const QString& databaseFile() const { return m_databaseFile; }

private:
    QString m_databaseFile;
    QString m_unexpected;
};
