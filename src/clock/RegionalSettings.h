#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

// The workstation's regional settings that the window renders times and dates with.
// A plain value: tests build the settings they need directly.
struct RegionalSettings
{
    QChar timeSeparator = QLatin1Char(':');
    bool twelveHourClock = false;
    QString amDesignator;
    QString pmDesignator;
    bool designatorBeforeTime = false;
    bool hourLeadingZero = true;
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy"); // QDate::toString pattern
    QChar decimalSeparator = QLatin1Char(',');

    // The settings of a locale, taken from its long time format and its short date format.
    // A two-digit year in the short date format is widened to four digits: the date of an
    // empty arrival time is 30.12.1899, which "30.12.99" would misstate by a century.
    static RegionalSettings fromLocale(const QLocale &locale);
};
