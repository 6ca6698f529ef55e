// Build step: creates the empty entry database beside the program, once.
#include "resources/DatabaseSchema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: cofra_makedb <database file>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(path))
        return 0; // never touch an existing database
    QString error;
    if (!resources::createDatabase(path, &error)) {
        std::fprintf(stderr, "cofra_makedb: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
