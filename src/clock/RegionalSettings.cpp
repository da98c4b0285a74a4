#include "RegionalSettings.h"

namespace {

// Calls visit(position) for every format character outside quoted text.
template<typename Visit> void forEachPatternChar(const QString &format, Visit visit)
{
    bool quoted = false;
    for (int i = 0; i < format.size(); ++i) {
        if (format.at(i) == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted)
            visit(i);
    }
}

QString withFourDigitYear(const QString &format)
{
    QString result;
    int yearRun = 0;
    auto flushYear = [&] {
        if (yearRun > 0)
            result += QString(yearRun >= 4 ? yearRun : 4, QLatin1Char('y'));
        yearRun = 0;
    };
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('y')) {
            ++yearRun;
            continue;
        }
        flushYear();
        result += c;
    }
    flushYear();
    return result;
}

} // namespace

RegionalSettings RegionalSettings::fromLocale(const QLocale &locale)
{
    RegionalSettings settings;
    const QString timeFormat = locale.timeFormat(QLocale::LongFormat);

    int hourStart = -1;
    int hourLength = 0;
    int designatorAt = -1;
    forEachPatternChar(timeFormat, [&](int i) {
        const QChar c = timeFormat.at(i);
        if (c == QLatin1Char('h') || c == QLatin1Char('H')) {
            if (hourStart < 0)
                hourStart = i;
            if (i == hourStart + hourLength)
                ++hourLength;
        } else if ((c == QLatin1Char('A') || c == QLatin1Char('a')) && designatorAt < 0) {
            designatorAt = i;
        }
    });

    if (hourStart >= 0) {
        settings.hourLeadingZero = hourLength >= 2;
        const int afterHour = hourStart + hourLength;
        if (afterHour < timeFormat.size() && timeFormat.at(afterHour) != QLatin1Char('\''))
            settings.timeSeparator = timeFormat.at(afterHour);
    }
    // In Qt's patterns the hour runs from 1 to 12 exactly when an AM/PM marker is present.
    settings.twelveHourClock = designatorAt >= 0;
    settings.designatorBeforeTime = designatorAt >= 0 && hourStart >= 0 && designatorAt < hourStart;
    settings.amDesignator = locale.amText();
    settings.pmDesignator = locale.pmText();
    settings.shortDateFormat = withFourDigitYear(locale.dateFormat(QLocale::ShortFormat));
    const QString decimalPoint = locale.decimalPoint();
    if (!decimalPoint.isEmpty())
        settings.decimalSeparator = decimalPoint.at(0);
    return settings;
}
