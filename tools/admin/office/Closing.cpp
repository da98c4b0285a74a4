#include "Closing.h"

#include "Database.h"
#include "DateTimeValue.h"
#include "Failure.h"
#include "OfficeChecks.h"
#include "OfficeSql.h"
#include "OfficeTime.h"
#include "ZeitenRecord.h"

Closing::Closing(const QSqlDatabase &db, ChangeContext context)
    : m_db(db)
    , m_context(std::move(context))
{
}

void Closing::close(int id, double departure, const QString &reason)
{
    const QString grund = requireReason(reason);
    const double now = DateTimeValue::fromDateTime(m_context.now());
    requireNotFuture(departure, now);
    AuditTrail::ensureTable(m_db);
    inTransaction(m_db, [&] {
        const ZeitenRecord record = ZeitenRecords::load(m_db, id, true);
        if (!record.open())
            throw Failure(QStringLiteral("record %1 is closed already (departure %2)")
                              .arg(id)
                              .arg(record.zeitgeht ? OfficeTime::format(*record.zeitgeht)
                                                   : QStringLiteral("without a time")));
        requireOrder(record.zeitkommt, departure);
        // The condition on anwesend keeps a departure that the clock booked meanwhile.
        QSqlQuery update = Database::execute(
            m_db,
            QStringLiteral(
                "update zeiten set anwesend=false, zeitgeht=? where id=? and anwesend=true"),
            {departure, id});
        if (update.numRowsAffected() != 1)
            throw Failure(QStringLiteral("record %1 is closed already").arg(id));
        AuditEntry entry;
        entry.zeitenId = id;
        entry.grund = grund;
        entry.benutzer = m_context.osUser;
        entry.zeitpunkt = now;
        entry.spalte = QStringLiteral("Zeitgeht");
        entry.alterWert = record.zeitgeht ? OfficeTime::formatPrecise(*record.zeitgeht) : QString();
        entry.neuerWert = OfficeTime::formatPrecise(departure);
        AuditTrail::record(m_db, entry);
        entry.spalte = QStringLiteral("Anwesend");
        entry.alterWert = QStringLiteral("ja");
        entry.neuerWert = QStringLiteral("nein");
        AuditTrail::record(m_db, entry);
    });
}
