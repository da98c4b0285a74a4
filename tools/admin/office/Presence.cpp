#include "Presence.h"

namespace Presence {

QVector<OpenRecord> present(const QSqlDatabase &db, const QDateTime &now)
{
    QVector<OpenRecord> result;
    const QVector<OpenRecord> open = OpenRecords::list(db, now);
    for (const OpenRecord &record : open) {
        if (record.latest && !record.fromOtherDay && record.employee.id != 0)
            result.append(record);
    }
    return result;
}

} // namespace Presence
