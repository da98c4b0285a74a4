#include "ConfigCommand.h"

#include "AdminConnection.h"
#include "ConfigurationFile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>

namespace {

constexpr auto sources = DatabaseOptions::Sources::DbOnly;

} // namespace

QStringList ConfigCommand::words() const
{
    return {QStringLiteral("config")};
}

QString ConfigCommand::synopsis() const
{
    return QStringLiteral("--ini PATH ") + DatabaseOptions::synopsis(sources);
}

QString ConfigCommand::summary() const
{
    return QStringLiteral("Writes the configuration file that points the clock at the database "
                          "(the clock reads the file beside it named like the program, with "
                          "\".ini\"). An existing file is replaced.");
}

void ConfigCommand::addOptions(QCommandLineParser &parser) const
{
    parser.addOption(QCommandLineOption(QStringLiteral("ini"),
                                        QStringLiteral("The configuration file to write."),
                                        QStringLiteral("PATH")));
    DatabaseOptions::add(parser, sources);
}

void ConfigCommand::run(const QCommandLineParser &parser, QTextStream &) const
{
    const QString iniPath = requiredValue(parser, QStringLiteral("ini"));
    const DatabaseTarget target = DatabaseOptions::target(parser, sources);
    // Encoded the way the clock decodes it again.
    ConfigurationFile::write(iniPath, QFile::encodeName(target.path), target.password);
}
