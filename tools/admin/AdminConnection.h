#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QCommandLineParser;
class QSqlQuery;

// The database a command works on and its password, as the user named them.
struct DatabaseTarget
{
    QString path; // SQLite file path or postgresql:// URL
    QByteArray password;
    // Where a missing SQLite file is looked for by its name, as the clock looks in its own
    // directory: beside the configuration file, or for --db only where the path points.
    QString programDirectory;
};

// The options through which a command names its database: --db with an optional
// --password, or, where allowed, --ini with the configuration file the clock reads.
namespace DatabaseOptions {

enum class Sources { DbOnly, DbOrIni };

void add(QCommandLineParser &parser, Sources sources);
QString synopsis(Sources sources);
// Throws UsageError when the options are missing or contradict each other, Failure when
// the configuration file names no database.
DatabaseTarget target(const QCommandLineParser &parser, Sources sources);

} // namespace DatabaseOptions

// An open connection for the lifetime of one command; closed and unregistered again when
// it goes out of scope, so a command never leaves a Qt connection behind.
class AdminConnection
{
public:
    explicit AdminConnection(const DatabaseTarget &target);
    ~AdminConnection();

    AdminConnection(const AdminConnection &) = delete;
    AdminConnection &operator=(const AdminConnection &) = delete;

    QSqlDatabase database() const;

    // Prepares and runs a statement with its "?" markers bound in order; throws Failure
    // with the engine's message when the engine refuses it.
    QSqlQuery exec(const QString &statement, const QVariantList &bindings = {}) const;

private:
    QString m_name;
};
