#include "EmployeeCommands.h"

#include "AdminConnection.h"
#include "Failure.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QSqlQuery>
#include <QTextStream>

namespace {

constexpr auto sources = DatabaseOptions::Sources::DbOrIni;

// Vorname and Nachname hold 50 characters. A login name of more than 127 characters
// never reaches the clock's lookup, so such a logon could never be used.
constexpr qsizetype longestName = 50;
constexpr qsizetype longestLogon = 127;

void checkText(const QString &option, const QString &value, qsizetype longest)
{
    // A tab or line break would also break the one-a-line listing.
    for (const QChar c : value) {
        if (c.category() == QChar::Other_Control)
            throw Failure(
                QStringLiteral("--%1 holds a control character (tab, line break)").arg(option));
    }
    // Characters as the engines count them, not UTF-16 units.
    const qsizetype length = value.toUcs4().size();
    if (length > longest)
        throw Failure(QStringLiteral("--%1 holds %2 characters; at most %3 are allowed")
                          .arg(option)
                          .arg(length)
                          .arg(longest));
}

} // namespace

QStringList EmployeeAddCommand::words() const
{
    return {QStringLiteral("employee"), QStringLiteral("add")};
}

QString EmployeeAddCommand::synopsis() const
{
    return DatabaseOptions::synopsis(sources)
        + QStringLiteral(" --logon LOGON --first VORNAME --last NACHNAME");
}

QString EmployeeAddCommand::summary() const
{
    return QStringLiteral("Adds an employee and prints the new ID.");
}

void EmployeeAddCommand::addOptions(QCommandLineParser &parser) const
{
    DatabaseOptions::add(parser, sources);
    parser.addOption(QCommandLineOption(
        QStringLiteral("logon"),
        QStringLiteral("The employee's login name, exactly as the system gives it."),
        QStringLiteral("LOGON")));
    parser.addOption(QCommandLineOption(QStringLiteral("first"), QStringLiteral("First name."),
                                        QStringLiteral("VORNAME")));
    parser.addOption(QCommandLineOption(QStringLiteral("last"), QStringLiteral("Last name."),
                                        QStringLiteral("NACHNAME")));
}

void EmployeeAddCommand::run(const QCommandLineParser &parser, QTextStream &out) const
{
    const QString logon = requiredValue(parser, QStringLiteral("logon"));
    const QString first = requiredValue(parser, QStringLiteral("first"));
    const QString last = requiredValue(parser, QStringLiteral("last"));
    const DatabaseTarget target = DatabaseOptions::target(parser, sources);
    checkText(QStringLiteral("logon"), logon, longestLogon);
    checkText(QStringLiteral("first"), first, longestName);
    checkText(QStringLiteral("last"), last, longestName);

    const AdminConnection connection(target);
    // The clock ends silently for a login name that matches two employees, so a second
    // one must never come in.
    QSqlQuery existing
        = connection.exec(QStringLiteral("select id from mitarbeiter where logon=?"), {logon});
    if (existing.next())
        throw Failure(QStringLiteral("an employee with logon '%1' exists already (ID %2)")
                          .arg(logon, existing.value(0).toString()));
    existing.finish();

    connection.exec(QStringLiteral("insert into mitarbeiter (vorname, nachname, logon) "
                                   "values (?, ?, ?)"),
                    {first, last, logon});
    QSqlQuery added
        = connection.exec(QStringLiteral("select id from mitarbeiter where logon=?"), {logon});
    if (!added.next())
        throw Failure(QStringLiteral("the new employee '%1' cannot be found again").arg(logon));
    out << added.value(0).toLongLong() << '\n';
}

QStringList EmployeeListCommand::words() const
{
    return {QStringLiteral("employee"), QStringLiteral("list")};
}

QString EmployeeListCommand::synopsis() const
{
    return DatabaseOptions::synopsis(sources);
}

QString EmployeeListCommand::summary() const
{
    return QStringLiteral(
        "Prints ID, logon and name of every employee, one a line, separated by tabs.");
}

void EmployeeListCommand::addOptions(QCommandLineParser &parser) const
{
    DatabaseOptions::add(parser, sources);
}

void EmployeeListCommand::run(const QCommandLineParser &parser, QTextStream &out) const
{
    const AdminConnection connection(DatabaseOptions::target(parser, sources));
    QSqlQuery query = connection.exec(
        QStringLiteral("select id, logon, vorname, nachname from mitarbeiter order by id"));
    while (query.next()) {
        // The name as the clock's status bar shows it: first name, a blank, last name.
        out << query.value(0).toLongLong() << '\t' << query.value(1).toString() << '\t'
            << query.value(2).toString() << ' ' << query.value(3).toString() << '\n';
    }
}
