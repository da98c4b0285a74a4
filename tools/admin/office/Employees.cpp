#include "Employees.h"

#include "Database.h"
#include "Failure.h"

QString Employee::name() const
{
    return QStringLiteral("%1 %2").arg(vorname, nachname);
}

namespace Employees {

namespace {

QVector<Employee> select(const QSqlDatabase &db, const QString &where, const QVariantList &bindings)
{
    QSqlQuery query
        = Database::execute(db,
                            QStringLiteral("select id, vorname, nachname, logon from mitarbeiter%1"
                                           " order by nachname, vorname, id")
                                .arg(where),
                            bindings);
    QVector<Employee> result;
    while (query.next())
        result.append(Employee {query.value(0).toInt(), query.value(1).toString(),
                                query.value(2).toString(), query.value(3).toString()});
    return result;
}

} // namespace

QVector<Employee> all(const QSqlDatabase &db)
{
    return select(db, QString(), {});
}

Employee byLogon(const QSqlDatabase &db, const QString &logon)
{
    const QVector<Employee> found = select(db, QStringLiteral(" where logon=?"), {logon});
    if (found.isEmpty())
        throw Failure(QStringLiteral("no employee has logon '%1'").arg(logon));
    if (found.size() > 1)
        throw Failure(QStringLiteral("more than one employee has logon '%1'").arg(logon));
    return found.first();
}

} // namespace Employees
