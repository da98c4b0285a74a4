#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <functional>

// Who changes records, and when: the login name of the person running the command and a
// reading of the local clock. Tests put fixed ones in.
struct ChangeContext
{
    QString osUser;
    std::function<QDateTime()> now;
};

// One changed column of one Zeiten record. A null old or new value means the column held
// no value.
struct AuditEntry
{
    int zeitenId = 0;
    QString spalte;
    QString alterWert;
    QString neuerWert;
    QString grund;
    QString benutzer;
    double zeitpunkt = 0; // date-time value, local time
};

// The audit table "Aenderungen": every change the office makes to a Zeiten record, column
// by column, with its reason. The clock never writes it, and its own bookings are not
// copied here: they are the records themselves.
namespace AuditTrail {

// Creates the table in a database that does not hold it yet.
void ensureTable(const QSqlDatabase &db);
void record(const QSqlDatabase &db, const AuditEntry &entry);
// The changes of one record in the order they were made (by ID: the local clock may have
// been set back in between); none when the table does not exist yet.
QVector<AuditEntry> history(const QSqlDatabase &db, int zeitenId);

} // namespace AuditTrail
