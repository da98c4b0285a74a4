#pragma once

#include "RegionalSettings.h"

#include <QString>
#include <QTime>

// Every time and date text of the clock window, rendered by the regional settings, and the
// number text that statements carry. One place, so the text the window shows and the text
// the booking reads back always agree.
class TimeFormat
{
public:
    explicit TimeFormat(const RegionalSettings &settings);

    // Hour, separator, two-digit minutes, separator, two-digit seconds, and under a 12-hour
    // clock the AM/PM designator after or before the time. Milliseconds never show.
    QString longTime(const QTime &time) const;

    // The text of Zeit: the first five characters of the long time when those are the
    // two-digit 24-hour hour and the minutes. Otherwise (a one-digit hour, a 12-hour clock,
    // a designator in front) the first five characters would either not read back or lose
    // the afternoon, so Zeit shows the two-digit 24-hour hour, the separator and the minutes.
    QString shownTime(const QTime &time) const;

    // The short date, and after a blank the long time unless hours, minutes and seconds
    // are all 0.
    QString dateTime(double value) const;

    // Reads the text of Zeit back as a time of day: hour, separator, minutes. Throws Failure
    // "'<text>' ist keine gültige Uhrzeit" for anything else.
    double readTime(const QString &text) const;

    // The value with 15 significant digits in fixed-point form, no trailing zeros, and "."
    // as decimal separator whatever the regional settings say: statements need it so.
    static QString numberText(double value);

private:
    bool longTimeBeginsWithHourAndMinutes() const;

    RegionalSettings m_settings;
};
