#pragma once

#include "Employees.h"
#include "ZeitenRecord.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QVector>

struct OpenRecord
{
    ZeitenRecord record;
    Employee employee; // id 0 and empty names when MAid names no employee
    qint64 ageMinutes = 0;
    // No later arrival of the same employee follows: this record decides presence.
    bool latest = false;
    // The arrival lies on another day than today.
    bool fromOtherDay = false;
    // It is the employee's latest record as well: the clock shows the stale-record
    // message and books nothing until the record is closed.
    bool blocksClock = false;
};

namespace OpenRecords {

// Every open record, oldest arrival first, as seen at the local time now.
QVector<OpenRecord> list(const QSqlDatabase &db, const QDateTime &now);

} // namespace OpenRecords
