#include "DateTimeValue.h"
#include "OfficeTime.h"

#include <QtTest/QTest>

#include <time.h>

class tst_OfficeTime : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void hours_data();
    void hours();
    void minutesAcrossSummerTime_data();
    void minutesAcrossSummerTime();
};

void tst_OfficeTime::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QDateTime>("expected");

    QTest::newRow("minute") << "2026-03-02 08:05" << true
                            << QDateTime(QDate(2026, 3, 2), QTime(8, 5));
    QTest::newRow("midnight") << "2026-03-02 00:00" << true
                              << QDateTime(QDate(2026, 3, 2), QTime(0, 0));
    QTest::newRow("one-digit hour") << "2026-03-02 8:05" << false << QDateTime();
    QTest::newRow("seconds") << "2026-03-02 08:05:00" << false << QDateTime();
    QTest::newRow("no such day") << "2026-02-30 08:05" << false << QDateTime();
    QTest::newRow("hour 24") << "2026-03-02 24:00" << false << QDateTime();
    QTest::newRow("German date") << "02.03.2026 08:05" << false << QDateTime();
    QTest::newRow("trailing blank") << "2026-03-02 08:05 " << false << QDateTime();
}

void tst_OfficeTime::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QDateTime, expected);

    const std::optional<double> value = OfficeTime::parse(text);
    QCOMPARE(value.has_value(), valid);
    if (valid) {
        // Local wall-clock time, no zone: the day number plus the fraction of the day.
        QCOMPARE(*value, DateTimeValue::fromDateTime(expected));
        QCOMPARE(OfficeTime::format(*value), text);
    }
}

void tst_OfficeTime::hours_data()
{
    QTest::addColumn<qint64>("minutes");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("clock");

    QTest::newRow("zero") << qint64(0) << "0,00"
                          << "0:00";
    QTest::newRow("eight hours twenty") << qint64(500) << "8,33"
                                        << "8:20";
    QTest::newRow("rounded up") << qint64(485) << "8,08"
                                << "8:05";
    QTest::newRow("one minute") << qint64(1) << "0,02"
                                << "0:01";
    QTest::newRow("month") << qint64(10000) << "166,67"
                           << "166:40";
}

void tst_OfficeTime::hours()
{
    QFETCH(qint64, minutes);
    QFETCH(QString, decimal);
    QFETCH(QString, clock);

    QCOMPARE(OfficeTime::decimalHours(minutes), decimal);
    QCOMPARE(OfficeTime::hoursMinutes(minutes), clock);
}

void tst_OfficeTime::minutesAcrossSummerTime_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<qint64>("minutes");

    QTest::newRow("ordinary night") << "2026-03-27 22:00"
                                    << "2026-03-28 06:00" << qint64(480);
    QTest::newRow("night into summer time") << "2026-03-28 22:00"
                                            << "2026-03-29 06:00" << qint64(420);
    QTest::newRow("night out of summer time") << "2026-10-24 22:00"
                                              << "2026-10-25 06:00" << qint64(540);
    QTest::newRow("departure before the arrival") << "2026-03-29 06:00"
                                                  << "2026-03-28 22:00" << qint64(-420);
}

void tst_OfficeTime::minutesAcrossSummerTime()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(qint64, minutes);

    // The clock books German local time; a night shift across the change works one hour
    // less or more than its two readings say.
    const bool zoneSet = qEnvironmentVariableIsSet("TZ");
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const qint64 passed
        = OfficeTime::minutesBetween(*OfficeTime::parse(from), *OfficeTime::parse(to));
    if (zoneSet)
        qputenv("TZ", zone);
    else
        qunsetenv("TZ");
    tzset();
    QCOMPARE(passed, minutes);
}

QTEST_APPLESS_MAIN(tst_OfficeTime)
#include "tst_officetime.moc"
