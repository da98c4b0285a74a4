#include "Bookings.h"

#include "Database.h"
#include "DateTimeValue.h"
#include "Failure.h"

#include <QStringList>

namespace Bookings {

QVector<Booking> list(const QSqlDatabase &db, const BookingFilter &filter)
{
    if (filter.from && filter.to && *filter.from > *filter.to)
        throw Failure(QStringLiteral("--from lies after --to"));
    QStringList conditions;
    QVariantList bindings;
    if (!filter.logon.isEmpty()) {
        conditions.append(QStringLiteral("z.maid=?"));
        bindings.append(Employees::byLogon(db, filter.logon).id);
    }
    if (filter.from) {
        conditions.append(QStringLiteral("z.zeitkommt>=?"));
        bindings.append(DateTimeValue::fromDate(*filter.from));
    }
    if (filter.to) {
        conditions.append(QStringLiteral("z.zeitkommt<?"));
        bindings.append(DateTimeValue::fromDate(filter.to->addDays(1)));
    }
    const QString where = conditions.isEmpty()
        ? QString()
        : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    QSqlQuery query
        = Database::execute(db,
                            QStringLiteral("select %1, m.id, m.vorname, m.nachname, m.logon"
                                           " from zeiten z left join mitarbeiter m on m.id=z.maid%2"
                                           " order by z.zeitkommt, z.id")
                                .arg(ZeitenRecords::columns(QStringLiteral("z.")), where),
                            bindings);
    QVector<Booking> result;
    while (query.next())
        result.append(Booking {ZeitenRecords::fromQuery(query),
                               Employee {query.value(9).toInt(), query.value(10).toString(),
                                         query.value(11).toString(), query.value(12).toString()}});
    return result;
}

} // namespace Bookings
