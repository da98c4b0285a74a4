#include "AdminConnection.h"

#include "AdminCommand.h"
#include "ConfigurationFile.h"
#include "Database.h"
#include "Failure.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString dbOption = QStringLiteral("db");
const QString passwordOption = QStringLiteral("password");
const QString iniOption = QStringLiteral("ini");

} // namespace

namespace DatabaseOptions {

void add(QCommandLineParser &parser, Sources sources)
{
    parser.addOption(QCommandLineOption(dbOption, QStringLiteral("The database: file path or URL."),
                                        QStringLiteral("DB")));
    parser.addOption(QCommandLineOption(passwordOption,
                                        QStringLiteral("The database password (default: none)."),
                                        QStringLiteral("PW")));
    if (sources == Sources::DbOrIni)
        parser.addOption(QCommandLineOption(
            iniOption, QStringLiteral("Take database and password from this configuration file."),
            QStringLiteral("PATH")));
}

QString synopsis(Sources sources)
{
    return sources == Sources::DbOrIni ? QStringLiteral("(--db DB [--password PW] | --ini PATH)")
                                       : QStringLiteral("--db DB [--password PW]");
}

DatabaseTarget target(const QCommandLineParser &parser, Sources sources)
{
    if (sources == Sources::DbOrIni && parser.isSet(iniOption)) {
        if (parser.isSet(dbOption) || parser.isSet(passwordOption))
            throw UsageError(QStringLiteral("--ini excludes --db and --password"));
        const QString iniPath = requiredValue(parser, iniOption);
        const Configuration configuration = ConfigurationFile::read(iniPath);
        if (configuration.databasePath == "*")
            throw Failure(QStringLiteral("%1 names no database").arg(iniPath));
        return {QFile::decodeName(configuration.databasePath), configuration.password,
                QFileInfo(iniPath).absolutePath()};
    }
    if (sources == Sources::DbOrIni && !parser.isSet(dbOption))
        throw UsageError(QStringLiteral("missing option --db or --ini"));
    const QString path = requiredValue(parser, dbOption);
    return {path, parser.value(passwordOption).toLocal8Bit(), QFileInfo(path).absolutePath()};
}

} // namespace DatabaseOptions

AdminConnection::AdminConnection(const DatabaseTarget &target)
    : m_name(QStringLiteral("zeiterfassung-admin"))
{
    Database::open(m_name, target.path, target.password, target.programDirectory);
}

AdminConnection::~AdminConnection()
{
    {
        QSqlDatabase database = QSqlDatabase::database(m_name, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase AdminConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QSqlQuery AdminConnection::exec(const QString &statement, const QVariantList &bindings) const
{
    return Database::execute(database(), statement, bindings);
}
