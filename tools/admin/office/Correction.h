#pragma once

#include "AuditTrail.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

// Changes a booked arrival or departure, keeping the old value in the audit trail.
class Correction
{
public:
    Correction(const QSqlDatabase &db, ChangeContext context);

    // Sets the given times (date-time values) of record id. Refuses an empty reason, a
    // change that changes nothing, a departure for an open record (that is closing it),
    // times in the future and a departure before the arrival. Only changed columns are
    // written, each with an audit row, all in one transaction.
    void correct(int id, std::optional<double> arrival, std::optional<double> departure,
                 const QString &reason);

private:
    QSqlDatabase m_db;
    ChangeContext m_context;
};
