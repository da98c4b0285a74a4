#pragma once

#include "Failure.h"

#include <QString>
#include <QStringList>

class QCommandLineParser;
class QTextStream;

// A command line that cannot be carried out as written: unknown command, missing or
// repeated option, stray argument. The tool exits with 2 on it, where any other Failure
// (the command ran but the database or the file system refused) exits with 1; catch it
// before Failure.
class UsageError : public Failure
{
public:
    using Failure::Failure;
};

// One command of zeiterfassung-admin, named by one or more words ("init",
// "employee add"). The tool parses the options a command declares and hands it the
// parser; the command reports failures by throwing Failure or UsageError.
class AdminCommand
{
public:
    virtual ~AdminCommand() = default;

    // The words that select the command, as typed: {"employee", "add"}.
    virtual QStringList words() const = 0;
    // The options after the command words, as shown in the usage line.
    virtual QString synopsis() const = 0;
    // One sentence for the overview and the command's own help.
    virtual QString summary() const = 0;

    // Whether arguments may follow the command words ("close 17"); the command checks them
    // itself. For every other command the tool refuses them as stray.
    virtual bool takesArguments() const { return false; }

    virtual void addOptions(QCommandLineParser &parser) const = 0;
    // Writes its result to out; nothing else goes to standard output.
    virtual void run(const QCommandLineParser &parser, QTextStream &out) const = 0;
};

// The value of a mandatory option that the user has to give.
QString requiredValue(const QCommandLineParser &parser, const QString &option);
