#include "ZeitenRecord.h"

#include "Database.h"
#include "Failure.h"
#include "OfficeSql.h"

#include <QStringList>
#include <QVariant>

namespace ZeitenRecords {

QString columns(const QString &prefix)
{
    static const QStringList names {QStringLiteral("id"),
                                    QStringLiteral("maid"),
                                    QStringLiteral("anwesend"),
                                    QStringLiteral("zeitkommt"),
                                    QStringLiteral("zeitgeht"),
                                    QStringLiteral("korrekturkommt"),
                                    QStringLiteral("korrekturgeht"),
                                    QStringLiteral("bemerkung"),
                                    QStringLiteral("bemerkung2")};
    QStringList prefixed;
    for (const QString &name : names)
        prefixed.append(prefix + name);
    return prefixed.join(QStringLiteral(", "));
}

ZeitenRecord fromQuery(const QSqlQuery &query, int first)
{
    ZeitenRecord record;
    record.id = query.value(first).toInt();
    record.maid = query.value(first + 1).toInt();
    record.anwesend = query.value(first + 2).toBool();
    record.zeitkommt = query.value(first + 3).toDouble();
    const QVariant geht = query.value(first + 4);
    if (!geht.isNull())
        record.zeitgeht = geht.toDouble();
    record.korrekturKommt = query.value(first + 5).toInt();
    record.korrekturgeht = query.value(first + 6).toInt();
    record.bemerkung = query.value(first + 7).toString();
    record.bemerkung2 = query.value(first + 8).toString();
    return record;
}

ZeitenRecord load(const QSqlDatabase &db, int id, bool forChange)
{
    // SQLite locks the whole file at the first write of the transaction instead.
    const QString lock = forChange && isPostgreSQL(db) ? QStringLiteral(" for update") : QString();
    QSqlQuery query = Database::execute(
        db, QStringLiteral("select %1 from zeiten where id=?%2").arg(columns(), lock), {id});
    if (!query.next())
        throw Failure(QStringLiteral("no record with ID %1").arg(id));
    return fromQuery(query);
}

} // namespace ZeitenRecords
