#include "DateTimeValue.h"

#include <cmath>

namespace DateTimeValue {

namespace {
// A function, not a file-level object: other files' static values may be built from
// date-time values before a file-level date here would exist.
QDate epoch()
{
    return QDate(1899, 12, 30);
}
} // namespace

double fromDate(const QDate &date)
{
    return static_cast<double>(epoch().daysTo(date));
}

double fromTime(const QTime &time)
{
    return time.msecsSinceStartOfDay() / msPerDay;
}

double fromDateTime(const QDateTime &dateTime)
{
    return fromDate(dateTime.date()) + fromTime(dateTime.time());
}

double wholeDays(double value)
{
    return std::trunc(value);
}

QDate toDate(double value)
{
    // The date of the value rounded to the millisecond, as toTime rounds it: a value a hair
    // short of midnight is the next day at 00:00, not this day at 00:00.
    const qint64 msPerWholeDay = static_cast<qint64>(msPerDay);
    return epoch().addDays(std::llround(value * msPerDay) / msPerWholeDay);
}

QTime toTime(double value)
{
    const double fraction = std::fabs(value - wholeDays(value));
    // A value a fraction of a microsecond short of the next minute belongs to that minute.
    qint64 ms = std::llround(fraction * msPerDay);
    if (ms >= static_cast<qint64>(msPerDay))
        ms -= static_cast<qint64>(msPerDay);
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

QDateTime toDateTime(double value)
{
    return QDateTime(toDate(value), toTime(value));
}

} // namespace DateTimeValue
