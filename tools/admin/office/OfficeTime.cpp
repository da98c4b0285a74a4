#include "OfficeTime.h"

#include "DateTimeValue.h"

#include <QRegularExpression>

#include <cmath>

namespace OfficeTime {

QString format(double value)
{
    return DateTimeValue::toDateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString formatPrecise(double value)
{
    return DateTimeValue::toDateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<double> parse(const QString &text)
{
    // A strict pattern first: QDateTime would also take one-digit fields.
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm"));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return DateTimeValue::fromDate(date) + DateTimeValue::fromTime(time);
}

std::optional<QDate> parseDate(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDate> parseMonth(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d{2}$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    const QDate date
        = QDate::fromString(text + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

qint64 minutesBetween(double from, double to)
{
    const qint64 onTheClock = std::llround((to - from) * 1440.0);
    // Both values are what the local clock showed. Across a change to or from summer time
    // the clock jumps, and the time that passed differs from the difference of its readings
    // by the change of the zone's offset: a night shift then works 7 or 9 hours, not 8.
    const QDateTime start = DateTimeValue::toDateTime(from);
    const QDateTime end = DateTimeValue::toDateTime(to);
    if (!start.isValid() || !end.isValid())
        return onTheClock;
    return onTheClock - (end.offsetFromUtc() - start.offsetFromUtc()) / 60;
}

QString hoursMinutes(qint64 minutes)
{
    const QString sign = minutes < 0 ? QStringLiteral("-") : QString();
    const qint64 m = std::llabs(minutes);
    return QStringLiteral("%1%2:%3").arg(sign).arg(m / 60).arg(m % 60, 2, 10, QLatin1Char('0'));
}

QString decimalHours(qint64 minutes)
{
    // Whole hundredths, rounded half away from zero, written without the locale so the
    // file does not depend on the machine that made it.
    const qint64 hundredths = (std::llabs(minutes) * 100 + 30) / 60;
    const QString sign = minutes < 0 && hundredths > 0 ? QStringLiteral("-") : QString();
    return QStringLiteral("%1%2,%3")
        .arg(sign)
        .arg(hundredths / 100)
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

} // namespace OfficeTime
