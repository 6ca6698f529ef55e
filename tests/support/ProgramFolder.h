#pragma once
#include <QString>
#include <QTemporaryDir>

// A throw-away program folder: modCofra::strAppPath points at it while the
// object lives, optionally with a fresh entry database and a help page in it.
class ProgramFolder {
public:
    enum Content { Empty = 0, WithDatabase = 1, WithHelp = 2 };
    explicit ProgramFolder(int content = WithDatabase);
    ~ProgramFolder();

    QString path() const { return m_dir.path(); }
    QString databasePath() const;
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previousAppPath;
};
