#pragma once

#include "AuditTrail.h"

#include <QSqlDatabase>
#include <QString>

// Books the departure that an employee forgot, so that the clock opens for them again.
class Closing
{
public:
    Closing(const QSqlDatabase &db, ChangeContext context);

    // Closes the open record id at the given time (a date-time value). Refuses a closed
    // record, a time before the arrival or in the future, and an empty reason. The record
    // and its audit rows are written in one transaction.
    void close(int id, double departure, const QString &reason);

private:
    QSqlDatabase m_db;
    ChangeContext m_context;
};
