#include "CsvExport.h"

#include "DateTimeValue.h"
#include "Failure.h"
#include "OfficeTime.h"

#include <QSaveFile>
#include <QStringList>

namespace CsvExport {

namespace {

QString field(const QString &text)
{
    QString value = text;
    // A name that starts like a formula must stay a name in the spreadsheet.
    if (!value.isEmpty() && QStringLiteral("=+-@").contains(value.front()))
        value.prepend(QLatin1Char('\''));
    if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('"'))
        || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        value = QLatin1Char('"') + value.replace(QLatin1String("\""), QLatin1String("\"\""))
            + QLatin1Char('"');
    return value;
}

QString timeOf(double value, const QDate &day)
{
    const QDateTime dateTime = DateTimeValue::toDateTime(value);
    // A departure after midnight keeps its date, so nobody reads it as the same day's.
    return dateTime.date() == day ? dateTime.toString(QStringLiteral("HH:mm"))
                                  : dateTime.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString line(const QStringList &fields)
{
    return fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
}

} // namespace

QByteArray render(const MonthReportData &report)
{
    QString text = line({QStringLiteral("Mitarbeiter"), QStringLiteral("Anmeldename"),
                         QStringLiteral("Datum"), QStringLiteral("Kommt"), QStringLiteral("Geht"),
                         QStringLiteral("Arbeitszeit (Std)"), QStringLiteral("Pause (Std)"),
                         QStringLiteral("Über 8 Std"), QStringLiteral("Hinweise")});
    for (const EmployeeMonth &month : report.employees) {
        const QString name = field(month.employee.name());
        const QString logon = field(month.employee.logon);
        for (const DayRow &day : month.days) {
            text += line({name, logon, day.date.toString(QStringLiteral("dd.MM.yyyy")),
                          timeOf(day.firstArrival, day.date),
                          day.lastDeparture ? timeOf(*day.lastDeparture, day.date) : QString(),
                          OfficeTime::decimalHours(day.workedMinutes),
                          OfficeTime::decimalHours(day.breakMinutes),
                          OfficeTime::decimalHours(day.over8Minutes()),
                          field(day.notes().join(QStringLiteral(", ")))});
        }
        QStringList notes;
        notes.append(QStringLiteral("Arbeitstage: %1").arg(month.workDays));
        if (month.flaggedDays > 0)
            notes.append(QStringLiteral("Tage mit Hinweis: %1").arg(month.flaggedDays));
        if (month.openRecords > 0)
            notes.append(QStringLiteral("offene Datensätze: %1").arg(month.openRecords));
        text += line({name, logon, QStringLiteral("Summe"), QString(), QString(),
                      OfficeTime::decimalHours(month.workedMinutes), QString(),
                      OfficeTime::decimalHours(month.over8Minutes),
                      field(notes.join(QStringLiteral(", ")))});
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

void write(const QString &path, const MonthReportData &report)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    file.write(render(report));
    if (!file.commit())
        throw Failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
}

} // namespace CsvExport
