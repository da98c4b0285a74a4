// Date-time values: days since 30.12.1899 as a double, the fraction the time of day.

#include "DateTimeValue.h"

#include <QtTest/QtTest>

class TestDateTimeValue : public QObject
{
    Q_OBJECT

private slots:
    void toDateTime_data();
    void toDateTime();
};

void TestDateTimeValue::toDateTime_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QDateTime>("expected");
    QTest::addColumn<bool>("exact"); // fromDateTime(expected) gives the value back

    const QDate day(2025, 12, 11); // 46002
    QTest::newRow("day zero") << 0.0 << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << true;
    QTest::newRow("noon") << 0.5 << QDateTime(QDate(1899, 12, 30), QTime(12, 0)) << true;
    QTest::newRow("08:02") << 46002 + (8 * 60 + 2) / 1440.0 << QDateTime(day, QTime(8, 2)) << true;
    // A departure travels as 15 significant digits and lies a few microseconds off its minute.
    QTest::newRow("15 digits, short of the minute")
        << 46002.3347222222 << QDateTime(day, QTime(8, 2)) << false;
    QTest::newRow("15 digits, past the minute")
        << 46002.6875000001 << QDateTime(day, QTime(16, 30)) << false;
    QTest::newRow("a hair short of midnight is the next day")
        << 46002.9999999999 << QDateTime(day.addDays(1), QTime(0, 0)) << false;
    QTest::newRow("before 30.12.1899: whole days toward zero, time of the fraction")
        << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0)) << false;
}

void TestDateTimeValue::toDateTime()
{
    QFETCH(double, value);
    QFETCH(QDateTime, expected);
    QFETCH(bool, exact);

    QCOMPARE(DateTimeValue::toDateTime(value), expected);
    QCOMPARE(DateTimeValue::toDate(value), expected.date());
    QCOMPARE(DateTimeValue::toTime(value), expected.time());
    if (exact)
        QCOMPARE(DateTimeValue::fromDateTime(expected), value);
}

QTEST_APPLESS_MAIN(TestDateTimeValue)

#include "tst_datetimevalue.moc"
