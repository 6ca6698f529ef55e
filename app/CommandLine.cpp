#include "app/CommandLine.h"

#include "platform/AppInfo.h"
#include "platform/AppPath.h"
#include "platform/MessageBoxes.h"
#include "store/DatabaseLocation.h"
#include "store/EntryStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

const QString DatabaseOption = QStringLiteral("database");

// Qt's own options are single-dash words (-platform, -reverse, -stylesheet):
// read as words they are never taken for -v or -h.
void describe(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromLatin1(appinfo::Description));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({DatabaseOption,
                      QStringLiteral("Use the entry database <FILE> instead of the usual one, "
                                     "for example a copy on a USB stick."),
                      QStringLiteral("FILE")});
}

void tellTerminal(const QString& text) {
    std::fprintf(stderr, "%s: %s\n", appinfo::ExeName, qPrintable(text));
}

} // namespace

void CommandLine::answerIfAsked(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    describe(parser);
    parser.parse(arguments); // mistakes are told once the whole program reads them
    if (!parser.isSet(QStringLiteral("help")) && !parser.isSet(QStringLiteral("version")))
        return;
    // The application object names the program in the usage line.
    QCoreApplication core(argc, argv);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    parser.showVersion();
}

CommandLine::CommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    parser.process(arguments);
    m_databaseFile = parser.value(DatabaseOption);
    m_unexpected = parser.positionalArguments().value(0);
}

bool CommandLine::chooseDatabase() const {
    if (!m_unexpected.isEmpty()) {
        tellTerminal(
            QStringLiteral("unexpected argument \"%1\" (to open an entry database, give --database FILE)")
                .arg(m_unexpected));
        return false;
    }
    if (modCofra::strAppPath.isEmpty())
        platform::initAppPath();
    const QString folder = modCofra::strAppPath;
    const store::DatabaseChoice choice =
        store::chooseDatabase(m_databaseFile, folder, store::mayWriteIn(folder));
    if (!m_databaseFile.isEmpty() && !choice.problem.isEmpty()) {
        tellTerminal(QStringLiteral("cannot use --database %1: %2").arg(m_databaseFile, choice.problem));
        return false;
    }
    store::useDatabaseFile(choice.path);
    if (!choice.problem.isEmpty()) {
        platform::MessageBoxSpec box;
        box.title = QString::fromLatin1(appinfo::AppTitle);
        box.text =
            choice.problem + QStringLiteral("\r\n\r\nUntil it is made, entries can be neither saved nor "
                                            "opened. Make room or mend the folder, then start again.");
        box.icon = platform::MsgIcon::Exclamation;
        platform::MessageBoxes::show(nullptr, box);
    }
    return true;
}
