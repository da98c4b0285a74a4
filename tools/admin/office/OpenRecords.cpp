#include "OpenRecords.h"

#include "Database.h"
#include "DateTimeValue.h"
#include "OfficeTime.h"

namespace OpenRecords {

QVector<OpenRecord> list(const QSqlDatabase &db, const QDateTime &now)
{
    // Presence is decided by the latest record alone, so only an open record that no later
    // arrival of the same employee follows is the one the clock sees.
    QSqlQuery query
        = Database::execute(db,
                            QStringLiteral("select %1, m.id, m.vorname, m.nachname, m.logon,"
                                           " (select count(*) from zeiten y where y.maid=z.maid"
                                           " and y.zeitkommt>z.zeitkommt)"
                                           " from zeiten z left join mitarbeiter m on m.id=z.maid"
                                           " where z.anwesend=true order by z.zeitkommt, z.id")
                                .arg(ZeitenRecords::columns(QStringLiteral("z."))));
    const double nowValue = DateTimeValue::fromDateTime(now);
    const double today = DateTimeValue::wholeDays(nowValue);
    QVector<OpenRecord> result;
    while (query.next()) {
        OpenRecord open;
        open.record = ZeitenRecords::fromQuery(query);
        open.employee = Employee {query.value(9).toInt(), query.value(10).toString(),
                                  query.value(11).toString(), query.value(12).toString()};
        open.ageMinutes = OfficeTime::minutesBetween(open.record.zeitkommt, nowValue);
        open.fromOtherDay = DateTimeValue::wholeDays(open.record.zeitkommt) != today;
        open.latest = query.value(13).toInt() == 0;
        open.blocksClock = open.fromOtherDay && open.latest;
        result.append(open);
    }
    return result;
}

} // namespace OpenRecords
