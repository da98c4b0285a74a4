#pragma once

#include "AdminCommand.h"

#include <QStringList>

#include <memory>
#include <vector>

class QTextStream;

// The dispatcher of zeiterfassung-admin: picks the command named by the leading
// arguments, parses its options, runs it and turns the outcome into an exit status.
class AdminTool
{
public:
    enum ExitStatus { Success = 0, Failed = 1, Usage = 2 };

    explicit AdminTool(const QString &programName);

    void add(std::unique_ptr<AdminCommand> command);

    // arguments excludes the program name. Messages go to err as one line each.
    int run(const QStringList &arguments, QTextStream &out, QTextStream &err) const;

private:
    const AdminCommand *find(const QStringList &arguments) const;
    QStringList groupCommands(const QString &word) const;
    QString overview(const QStringList &onlyWords = {}) const;
    QString commandHelp(const AdminCommand &command, const QCommandLineParser &parser) const;
    int runCommand(const AdminCommand &command, const QStringList &options, QTextStream &out,
                   QTextStream &err) const;

    QString m_programName;
    std::vector<std::unique_ptr<AdminCommand>> m_commands;
};

// The tool with every command it knows.
AdminTool makeAdminTool();
