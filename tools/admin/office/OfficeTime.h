#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// How the office commands read and show times. Stored values are local wall-clock times
// (date-time values, no time zone), exactly as the clock books them, so times are shown
// as stored; only durations heed the machine's zone (minutesBetween).
namespace OfficeTime {

// "2026-03-02 08:00": the form the commands take and show.
QString format(double value);
// The same with seconds, for the audit trail, which must show what was stored.
QString formatPrecise(double value);
// Reads "YYYY-MM-DD HH:MM"; nothing else is a time.
std::optional<double> parse(const QString &text);
// Reads "YYYY-MM-DD".
std::optional<QDate> parseDate(const QString &text);
// Reads "YYYY-MM"; returns the first day of the month.
std::optional<QDate> parseMonth(const QString &text);

// Whole minutes that passed between two values, rounded: a departure sent as a 15-digit
// decimal may lie a few microseconds off its minute. A change to or from summer time in
// between counts as the hour it takes or adds.
qint64 minutesBetween(double from, double to);

// "8:05" for 485 minutes; "-0:10" for negative ones.
QString hoursMinutes(qint64 minutes);
// "8,08" for 485 minutes: decimal hours with a German decimal comma, two places.
QString decimalHours(qint64 minutes);

} // namespace OfficeTime
