#include "DateTimeValue.h"
#include "Failure.h"
#include "RegionalSettings.h"
#include "TimeFormat.h"

#include <QTest>

namespace {

RegionalSettings german()
{
    return RegionalSettings {};
}

RegionalSettings american()
{
    RegionalSettings s;
    s.twelveHourClock = true;
    s.hourLeadingZero = false;
    s.amDesignator = QStringLiteral("AM");
    s.pmDesignator = QStringLiteral("PM");
    s.shortDateFormat = QStringLiteral("M/d/yyyy");
    s.decimalSeparator = QLatin1Char('.');
    return s;
}

RegionalSettings oneDigitHourDots()
{
    RegionalSettings s;
    s.timeSeparator = QLatin1Char('.');
    s.hourLeadingZero = false;
    return s;
}

RegionalSettings designatorInFront()
{
    RegionalSettings s = american();
    s.designatorBeforeTime = true;
    s.hourLeadingZero = true;
    return s;
}

double day()
{
    return DateTimeValue::fromDate(QDate(2026, 12, 11));
}

} // namespace

class TestTimeFormat : public QObject
{
    Q_OBJECT

private slots:
    void longTime_data();
    void longTime();
    void shownTimeReadsBackAsTheSameMinute_data();
    void shownTimeReadsBackAsTheSameMinute();
    void readTimeRefusesWhatIsNoTime_data();
    void readTimeRefusesWhatIsNoTime();
    void dateTime_data();
    void dateTime();
    void numberText_data();
    void numberText();
    void settingsFromLocale_data();
    void settingsFromLocale();
};

void TestTimeFormat::longTime_data()
{
    QTest::addColumn<RegionalSettings>("settings");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("german morning") << german() << QTime(7, 45, 12) << "07:45:12";
    QTest::newRow("12-hour afternoon") << american() << QTime(19, 5, 30) << "7:05:30 PM";
    QTest::newRow("12-hour midnight") << american() << QTime(0, 0, 0) << "12:00:00 AM";
    QTest::newRow("12-hour noon") << american() << QTime(12, 0, 1) << "12:00:01 PM";
    QTest::newRow("designator in front") << designatorInFront() << QTime(8, 5, 0) << "AM 08:05:00";
    QTest::newRow("milliseconds never show") << german() << QTime(7, 45, 0, 999) << "07:45:00";
}

void TestTimeFormat::longTime()
{
    QFETCH(RegionalSettings, settings);
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    QCOMPARE(TimeFormat(settings).longTime(time), expected);
}

void TestTimeFormat::shownTimeReadsBackAsTheSameMinute_data()
{
    QTest::addColumn<RegionalSettings>("settings");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("shown");

    QTest::newRow("german") << german() << QTime(8, 5, 59) << "08:05";
    QTest::newRow("german after midnight") << german() << QTime(0, 1, 30) << "00:01";
    QTest::newRow("12-hour morning") << american() << QTime(8, 5, 0) << "08:05";
    QTest::newRow("12-hour afternoon keeps the afternoon")
        << american() << QTime(20, 5, 0) << "20:05";
    QTest::newRow("12-hour midnight") << american() << QTime(0, 30, 0) << "00:30";
    QTest::newRow("one-digit hour") << oneDigitHourDots() << QTime(8, 5, 0) << "08.05";
    QTest::newRow("designator in front") << designatorInFront() << QTime(16, 30, 0) << "16:30";
}

void TestTimeFormat::shownTimeReadsBackAsTheSameMinute()
{
    QFETCH(RegionalSettings, settings);
    QFETCH(QTime, time);
    QFETCH(QString, shown);

    const TimeFormat format(settings);
    QCOMPARE(format.shownTime(time), shown);
    // What is shown is what is booked.
    QCOMPARE(format.readTime(shown), (time.hour() * 60 + time.minute()) / 1440.0);
}

void TestTimeFormat::readTimeRefusesWhatIsNoTime_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("initial text") << "Zeit";
    QTest::newRow("empty") << "";
    QTest::newRow("hour 24") << "24:00";
    QTest::newRow("minute 60") << "08:60";
    QTest::newRow("other separator") << "08.05";
    QTest::newRow("cut 12-hour text") << "8:05:";
}

void TestTimeFormat::readTimeRefusesWhatIsNoTime()
{
    QFETCH(QString, text);
    try {
        TimeFormat(german()).readTime(text);
        QFAIL("no failure");
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), QStringLiteral("'%1' ist keine gültige Uhrzeit").arg(text));
    }
}

void TestTimeFormat::dateTime_data()
{
    QTest::addColumn<RegionalSettings>("settings");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("arrival at 07:45")
        << german() << day() + DateTimeValue::fromTime(QTime(7, 45)) << "11.12.2026 07:45:00";
    QTest::newRow("midnight leaves the time out") << german() << day() << "11.12.2026";
    QTest::newRow("milliseconds alone count as midnight")
        << german() << day() + DateTimeValue::fromTime(QTime(0, 0, 0, 400)) << "11.12.2026";
    QTest::newRow("empty arrival time") << german() << 0.0 << "30.12.1899";
    QTest::newRow("12-hour") << american() << day() + DateTimeValue::fromTime(QTime(16, 30))
                             << "12/11/2026 4:30:00 PM";
}

void TestTimeFormat::dateTime()
{
    QFETCH(RegionalSettings, settings);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(TimeFormat(settings).dateTime(value), expected);
}

void TestTimeFormat::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("08:05") << 46000 + (8 * 60 + 5) / 1440.0 << "46000.3368055556";
    QTest::newRow("16:30") << 46000 + 16 / 24.0 + 30 / 1440.0 << "46000.6875";
    QTest::newRow("midnight") << 46000.0 << "46000";
    QTest::newRow("day zero") << 0.0 << "0";
    QTest::newRow("before 1899") << -1.25 << "-1.25";
}

void TestTimeFormat::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(TimeFormat::numberText(value), expected);
}

void TestTimeFormat::settingsFromLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("twelveHour");
    QTest::addColumn<bool>("leadingZero");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("longAt2005");
    QTest::addColumn<QString>("shownAt2005");
    QTest::addColumn<QString>("dateOfDayZero");

    QTest::newRow("German") << "de_DE" << false << true << QChar(':') << "20:05:42"
                            << "20:05"
                            << "30.12.1899";
    QTest::newRow("US English") << "en_US" << true << false << QChar(':') << "8:05:42 PM"
                                << "20:05"
                                << "12/30/1899";
    QTest::newRow("Finnish, dots and a one-digit hour")
        << "fi_FI" << false << false << QChar('.') << "20.05.42"
        << "20.05"
        << "30.12.1899";
    QTest::newRow("Hong Kong, designator in front")
        << "zh_HK" << true << false << QChar(':')
        << QLocale(QStringLiteral("zh_HK")).pmText() + QStringLiteral(" 8:05:42") << "20:05"
        << "30/12/1899";
}

void TestTimeFormat::settingsFromLocale()
{
    QFETCH(QString, locale);
    QFETCH(bool, twelveHour);
    QFETCH(bool, leadingZero);
    QFETCH(QChar, separator);
    QFETCH(QString, longAt2005);
    QFETCH(QString, shownAt2005);
    QFETCH(QString, dateOfDayZero);

    const RegionalSettings settings = RegionalSettings::fromLocale(QLocale(locale));
    QCOMPARE(settings.twelveHourClock, twelveHour);
    QCOMPARE(settings.hourLeadingZero, leadingZero);
    QCOMPARE(settings.timeSeparator, separator);

    const TimeFormat format(settings);
    QCOMPARE(format.longTime(QTime(20, 5, 42)), longAt2005);
    QCOMPARE(format.shownTime(QTime(20, 5, 42)), shownAt2005);
    QCOMPARE(format.readTime(shownAt2005), 20 / 24.0 + 5 / 1440.0);
    QCOMPARE(format.dateTime(0), dateOfDayZero);
}

QTEST_GUILESS_MAIN(TestTimeFormat)
#include "tst_timeformat.moc"
