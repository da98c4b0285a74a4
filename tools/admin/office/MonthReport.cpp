#include "MonthReport.h"

#include "Database.h"
#include "DateTimeValue.h"
#include "OfficeTime.h"
#include "ZeitenRecord.h"

#include <QMap>

#include <algorithm>

namespace {

// Working-time rules: a break counts from 15 minutes on; more than 6 hours need 30 minutes
// of break, more than 9 hours 45 minutes, and a day may not exceed 10 hours.
constexpr qint64 shortestBreak = 15;
constexpr qint64 recordedBeyond = 8 * 60;

DayRow dayOf(const QDate &date, const QVector<ZeitenRecord> &records)
{
    DayRow day;
    day.date = date;
    day.records = records.size();
    day.firstArrival = records.first().zeitkommt;
    // The latest known departure so far; none before the first record and after an open one.
    bool known = false;
    double end = 0;
    double last = 0;
    for (const ZeitenRecord &record : records) {
        if (known) {
            const qint64 gap = OfficeTime::minutesBetween(end, record.zeitkommt);
            if (gap >= shortestBreak)
                day.breakMinutes += gap;
        }
        if (record.open()) {
            ++day.openRecords;
            day.flags |= DayRow::OpenRecord;
            known = false; // nobody knows when this one ended
            continue;
        }
        const double geht = record.zeitgeht.value_or(record.zeitkommt);
        const qint64 minutes = OfficeTime::minutesBetween(record.zeitkommt, geht);
        if (minutes < 0) {
            day.flags |= DayRow::DepartureBeforeArrival;
            continue;
        }
        day.workedMinutes += minutes;
        end = known ? std::max(end, geht) : geht;
        known = true;
        last = day.lastDeparture ? std::max(last, geht) : geht;
        day.lastDeparture = last;
    }
    if (day.workedMinutes > 10 * 60)
        day.flags |= DayRow::Over10Hours;
    if (day.workedMinutes > 9 * 60 && day.breakMinutes < 45)
        day.flags |= DayRow::BreakUnder45;
    else if (day.workedMinutes > 6 * 60 && day.breakMinutes < 30)
        day.flags |= DayRow::BreakUnder30;
    return day;
}

EmployeeMonth monthOf(const Employee &employee, const QVector<ZeitenRecord> &records)
{
    EmployeeMonth month;
    month.employee = employee;
    QMap<QDate, QVector<ZeitenRecord>> byDay;
    for (const ZeitenRecord &record : records)
        byDay[DateTimeValue::toDate(record.zeitkommt)].append(record);
    for (auto it = byDay.cbegin(); it != byDay.cend(); ++it) {
        const DayRow day = dayOf(it.key(), it.value());
        month.days.append(day);
        month.workedMinutes += day.workedMinutes;
        month.over8Minutes += day.over8Minutes();
        month.openRecords += day.openRecords;
        if (day.workedMinutes > 0)
            ++month.workDays;
        if (day.flags != 0)
            ++month.flaggedDays;
    }
    return month;
}

} // namespace

qint64 DayRow::over8Minutes() const
{
    return std::max<qint64>(0, workedMinutes - recordedBeyond);
}

QStringList DayRow::notes() const
{
    QStringList notes;
    if (flags & OpenRecord)
        notes.append(openRecords == 1 ? QStringLiteral("offen")
                                      : QStringLiteral("%1 offen").arg(openRecords));
    if (flags & DepartureBeforeArrival)
        notes.append(QStringLiteral("Gehen vor Kommen"));
    if (flags & Over10Hours)
        notes.append(QStringLiteral("über 10 Std"));
    if (flags & BreakUnder45)
        notes.append(QStringLiteral("Pause unter 45 Min"));
    if (flags & BreakUnder30)
        notes.append(QStringLiteral("Pause unter 30 Min"));
    return notes;
}

namespace MonthReport {

MonthReportData build(const QSqlDatabase &db, const QDate &month, const QString &logon)
{
    MonthReportData report;
    report.month = QDate(month.year(), month.month(), 1);
    QVector<Employee> employees;
    QString where;
    QVariantList bindings {DateTimeValue::fromDate(report.month),
                           DateTimeValue::fromDate(report.month.addMonths(1))};
    if (!logon.isEmpty()) {
        employees.append(Employees::byLogon(db, logon));
        where = QStringLiteral(" and z.maid=?");
        bindings.append(employees.first().id);
    } else {
        employees = Employees::all(db);
    }
    QSqlQuery query = Database::execute(
        db,
        QStringLiteral("select %1 from zeiten z where z.zeitkommt>=? and z.zeitkommt<?%2"
                       " order by z.zeitkommt, z.id")
            .arg(ZeitenRecords::columns(QStringLiteral("z.")), where),
        bindings);
    QMap<int, QVector<ZeitenRecord>> byEmployee;
    while (query.next()) {
        const ZeitenRecord record = ZeitenRecords::fromQuery(query);
        byEmployee[record.maid].append(record);
    }
    for (const Employee &employee : std::as_const(employees)) {
        if (logon.isEmpty() && !byEmployee.contains(employee.id))
            continue;
        report.employees.append(monthOf(employee, byEmployee.value(employee.id)));
    }
    return report;
}

QString monthTitle(const QDate &month)
{
    static const char *const names[]
        = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
           "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    return QStringLiteral("%1 %2")
        .arg(QString::fromUtf8(names[month.month() - 1]))
        .arg(month.year());
}

} // namespace MonthReport
