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

    static RegionalSettings fromLocale(const QLocale &locale);
};
