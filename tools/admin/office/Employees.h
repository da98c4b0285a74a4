#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVector>

struct Employee
{
    int id = 0;
    QString vorname;
    QString nachname;
    QString logon;

    // "Vorname Nachname", as the clock shows it.
    QString name() const;
};

namespace Employees {

// Every employee, by last and first name.
QVector<Employee> all(const QSqlDatabase &db);
// The one employee with this login name; throws Failure when there is none or more.
Employee byLogon(const QSqlDatabase &db, const QString &logon);

} // namespace Employees
