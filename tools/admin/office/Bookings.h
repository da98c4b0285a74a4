#pragma once

#include "Employees.h"
#include "ZeitenRecord.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <optional>

struct Booking
{
    ZeitenRecord record;
    Employee employee; // id 0 and empty names when MAid names no employee
};

struct BookingFilter
{
    QString logon; // empty: every employee
    std::optional<QDate> from; // arrivals on or after this day
    std::optional<QDate> to; // arrivals on or before this day
};

// The raw Zeiten records, by arrival, for checking what the clock booked.
namespace Bookings {

// Throws Failure for an unknown login name or a from date after the to date.
QVector<Booking> list(const QSqlDatabase &db, const BookingFilter &filter);

} // namespace Bookings
