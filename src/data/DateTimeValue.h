#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// Every date and time of the system is a date-time value: the number of days since
// 30 December 1899 as a double, whose fraction is the time of day. The database holds
// the same numbers, so statements such as "zeitgeht=46000.6875" compare like values.
namespace DateTimeValue {

constexpr double msPerDay = 86400000.0;

// The day number of a date (a whole number, fraction 0).
double fromDate(const QDate &date);
// The time of day as a fraction of a day, to the millisecond.
double fromTime(const QTime &time);
double fromDateTime(const QDateTime &dateTime);

// The date of the value rounded to the millisecond (the whole days truncated toward zero),
// so that toDate and toTime of one value always belong together.
QDate toDate(double value);
// The time of day of a value, rounded to the nearest millisecond. A negative value has
// the time of day of its absolute value, as the date-time arithmetic always did.
QTime toTime(double value);
QDateTime toDateTime(double value);

// Whole-day part, truncated toward zero.
double wholeDays(double value);

} // namespace DateTimeValue
