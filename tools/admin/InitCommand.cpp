#include "InitCommand.h"

#include "AdminConnection.h"
#include "ConfigurationFile.h"
#include "Database.h"
#include "Failure.h"

namespace {

constexpr auto sources = DatabaseOptions::Sources::DbOnly;

} // namespace

QStringList InitCommand::words() const
{
    return {QStringLiteral("init")};
}

QString InitCommand::synopsis() const
{
    return DatabaseOptions::synopsis(sources);
}

QString InitCommand::summary() const
{
    return QStringLiteral("Creates the tables of the time clock in an empty database (an SQLite "
                          "file is created).");
}

void InitCommand::addOptions(QCommandLineParser &parser) const
{
    DatabaseOptions::add(parser, sources);
}

void InitCommand::run(const QCommandLineParser &parser, QTextStream &) const
{
    const DatabaseTarget target = DatabaseOptions::target(parser, sources);
    // The clock only ever learns the password from its configuration file; a database
    // whose password that file cannot carry could never be used.
    const QString problem = ConfigurationFile::passwordProblem(target.password);
    if (!problem.isEmpty())
        throw Failure(problem);
    Database::initialise(QStringLiteral("zeiterfassung-admin-init"), target.path, target.password);
}
