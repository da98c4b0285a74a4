#pragma once

#include "Employees.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// One employee's day: the records whose arrival lies on it.
struct DayRow
{
    enum Flag {
        OpenRecord = 1, // not counted in the worked time
        Over10Hours = 2,
        BreakUnder30 = 4, // more than 6 hours worked
        BreakUnder45 = 8, // more than 9 hours worked
        DepartureBeforeArrival = 16, // not counted in the worked time
    };

    QDate date;
    double firstArrival = 0;
    std::optional<double> lastDeparture; // none while no record of the day is closed
    qint64 workedMinutes = 0; // the closed records
    qint64 breakMinutes = 0; // gaps of 15 minutes or more between the records
    int records = 0;
    int openRecords = 0;
    int flags = 0;

    // Time beyond 8 hours, which the employer has to record.
    qint64 over8Minutes() const;
    // The flags in words, for the CSV and the timesheet ("offen", "über 10 Std", ...).
    QStringList notes() const;
};

struct EmployeeMonth
{
    Employee employee;
    QVector<DayRow> days; // days with records only, in order
    qint64 workedMinutes = 0;
    qint64 over8Minutes = 0;
    int workDays = 0;
    int flaggedDays = 0;
    int openRecords = 0;
};

struct MonthReportData
{
    QDate month; // first day
    QVector<EmployeeMonth> employees;
};

// The monthly working-time report: per employee and day the first arrival, the last
// departure and the worked time, with the month's totals. Days that break the working-time
// rules (more than 10 hours, too short a break) and open records are flagged, never left out.
namespace MonthReport {

// month is any day of the month. Without a login name, every employee with records in the
// month; with one, that employee even without records (Failure for an unknown name).
MonthReportData build(const QSqlDatabase &db, const QDate &month, const QString &logon = QString());

// "März 2026", the same on every machine.
QString monthTitle(const QDate &month);

} // namespace MonthReport
