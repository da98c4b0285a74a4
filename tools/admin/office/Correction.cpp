#include "Correction.h"

#include "Database.h"
#include "DateTimeValue.h"
#include "Failure.h"
#include "OfficeChecks.h"
#include "OfficeSql.h"
#include "OfficeTime.h"
#include "ZeitenRecord.h"

#include <cmath>

namespace {

// Times are set to the minute; a stored value less than a millisecond away is the same
// time, written by the clock as a decimal number.
bool sameTime(double a, double b)
{
    return std::fabs(a - b) * DateTimeValue::msPerDay < 1.0;
}

} // namespace

Correction::Correction(const QSqlDatabase &db, ChangeContext context)
    : m_db(db)
    , m_context(std::move(context))
{
}

void Correction::correct(int id, std::optional<double> arrival, std::optional<double> departure,
                         const QString &reason)
{
    if (!arrival && !departure)
        throw Failure(QStringLiteral("nothing to change: give --arrival or --departure"));
    const QString grund = requireReason(reason);
    const double now = DateTimeValue::fromDateTime(m_context.now());
    if (arrival)
        requireNotFuture(*arrival, now);
    if (departure)
        requireNotFuture(*departure, now);
    AuditTrail::ensureTable(m_db);
    inTransaction(m_db, [&] {
        const ZeitenRecord record = ZeitenRecords::load(m_db, id, true);
        if (departure && record.open())
            throw Failure(QStringLiteral("record %1 is open: book its missing departure "
                                         "with 'close'")
                              .arg(id));
        const bool newArrival = arrival && !sameTime(*arrival, record.zeitkommt);
        const bool newDeparture
            = departure && !(record.zeitgeht && sameTime(*departure, *record.zeitgeht));
        if (!newArrival && !newDeparture)
            throw Failure(QStringLiteral("record %1 holds these times already").arg(id));
        const double kommt = newArrival ? *arrival : record.zeitkommt;
        if (!record.open())
            requireOrder(kommt, newDeparture ? *departure : record.zeitgeht.value_or(kommt));

        AuditEntry entry;
        entry.zeitenId = id;
        entry.grund = grund;
        entry.benutzer = m_context.osUser;
        entry.zeitpunkt = now;
        if (newArrival) {
            Database::execute(m_db, QStringLiteral("update zeiten set zeitkommt=? where id=?"),
                              {*arrival, id});
            entry.spalte = QStringLiteral("Zeitkommt");
            entry.alterWert = OfficeTime::formatPrecise(record.zeitkommt);
            entry.neuerWert = OfficeTime::formatPrecise(*arrival);
            AuditTrail::record(m_db, entry);
        }
        if (newDeparture) {
            Database::execute(m_db, QStringLiteral("update zeiten set zeitgeht=? where id=?"),
                              {*departure, id});
            entry.spalte = QStringLiteral("Zeitgeht");
            entry.alterWert
                = record.zeitgeht ? OfficeTime::formatPrecise(*record.zeitgeht) : QString();
            entry.neuerWert = OfficeTime::formatPrecise(*departure);
            AuditTrail::record(m_db, entry);
        }
    });
}
