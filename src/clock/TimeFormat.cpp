#include "TimeFormat.h"

#include "DateTimeValue.h"
#include "Failure.h"

#include <QRegularExpression>

#include <cmath>

namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

TimeFormat::TimeFormat(const RegionalSettings &settings)
    : m_settings(settings)
{
}

QString TimeFormat::longTime(const QTime &time) const
{
    int hour = time.hour();
    if (m_settings.twelveHourClock) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    const QString hourText = m_settings.hourLeadingZero ? twoDigits(hour) : QString::number(hour);
    const QString clock = hourText + m_settings.timeSeparator + twoDigits(time.minute())
        + m_settings.timeSeparator + twoDigits(time.second());
    if (!m_settings.twelveHourClock)
        return clock;
    const QString designator = time.hour() < 12 ? m_settings.amDesignator : m_settings.pmDesignator;
    if (designator.isEmpty())
        return clock;
    return m_settings.designatorBeforeTime ? designator + QLatin1Char(' ') + clock
                                           : clock + QLatin1Char(' ') + designator;
}

bool TimeFormat::longTimeBeginsWithHourAndMinutes() const
{
    return !m_settings.twelveHourClock && m_settings.hourLeadingZero;
}

QString TimeFormat::shownTime(const QTime &time) const
{
    if (longTimeBeginsWithHourAndMinutes())
        return longTime(time).left(5);
    return twoDigits(time.hour()) + m_settings.timeSeparator + twoDigits(time.minute());
}

QString TimeFormat::dateTime(double value) const
{
    const QDate date = DateTimeValue::toDate(value);
    const QTime time = DateTimeValue::toTime(value);
    QString text = date.toString(m_settings.shortDateFormat);
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        text += QLatin1Char(' ') + longTime(time);
    return text;
}

double TimeFormat::readTime(const QString &text) const
{
    const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2})%1(\\d{1,2})\\s*$")
            .arg(QRegularExpression::escape(QString(m_settings.timeSeparator))));
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch()) {
        const int hour = match.captured(1).toInt();
        const int minute = match.captured(2).toInt();
        if (hour < 24 && minute < 60)
            return hour / 24.0 + minute / 1440.0;
    }
    throw Failure(QStringLiteral("'%1' ist keine gültige Uhrzeit").arg(text));
}

QString TimeFormat::numberText(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    const int integerDigits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
    const int decimals = std::max(0, 15 - integerDigits);
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}
