#pragma once

#include "OpenRecords.h"

// Who is in now: employees whose latest record is open since today, exactly what the clock
// shows as "Anwesend seit". Ordered by arrival.
namespace Presence {

QVector<OpenRecord> present(const QSqlDatabase &db, const QDateTime &now);

} // namespace Presence
