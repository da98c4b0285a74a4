#include "Booking.h"
#include "DateTimeValue.h"
#include "TimeFormat.h"

#include <QTest>

namespace {

double timeOf(int h, int m, int s, int ms = 0)
{
    return DateTimeValue::fromTime(QTime(h, m, s, ms));
}

const double day = 46000;

} // namespace

class TestBooking : public QObject
{
    Q_OBJECT

private slots:
    void correctedTime_data();
    void correctedTime();
    void bookedMinuteIsTheShownOne();
    void departureStatement_data();
    void departureStatement();
    void departureRemark_data();
    void departureRemark();
};

void TestBooking::correctedTime_data()
{
    QTest::addColumn<double>("startzeit");
    QTest::addColumn<int>("correction");
    QTest::addColumn<QString>("shown");

    for (int p = -5; p <= 5; ++p) {
        QTest::addRow("08:04:59 %+d", p)
            << timeOf(8, 4, 59) << p << QTime(8, 4).addSecs(60 * p).toString(u"HH:mm");
    }
    QTest::newRow("past midnight") << timeOf(23, 58, 30) << 3 << "00:01";
    QTest::newRow("a hair short of the minute")
        << (8 * 3600000 + 5 * 60000 + 59999.9996) / 86400000.0 << 0 << "08:06";
    QTest::newRow("before midnight stops at 00:00") << timeOf(0, 2, 30) << -5 << "00:00";
    QTest::newRow("exactly midnight") << timeOf(0, 5, 0) << -5 << "00:00";
    QTest::newRow("early but not before midnight") << timeOf(0, 2, 30) << -2 << "00:00";
}

void TestBooking::correctedTime()
{
    QFETCH(double, startzeit);
    QFETCH(int, correction);
    QFETCH(QString, shown);
    QCOMPARE(
        TimeFormat(RegionalSettings {}).shownTime(Booking::correctedTime(startzeit, correction)),
        shown);
}

void TestBooking::bookedMinuteIsTheShownOne()
{
    // A window opened at 08:04:59 books 08:04 on the captured date, seconds zero.
    const TimeFormat format {RegionalSettings {}};
    const QString shown = format.shownTime(Booking::correctedTime(timeOf(8, 4, 59, 999), 0));
    const double booked = Booking::bookingTime(day, format.readTime(shown));
    QCOMPARE(booked, day + (8 * 60 + 4) / 1440.0);
    QCOMPARE(DateTimeValue::toDateTime(booked).time(), QTime(8, 4));
}

void TestBooking::departureStatement_data()
{
    QTest::addColumn<double>("bookingTime");
    QTest::addColumn<int>("correction");
    QTest::addColumn<int>("offenId");
    QTest::addColumn<QString>("expected");

    QTest::newRow("16:30, -2, record 17")
        << day + 16.5 / 24 << -2 << 17
        << "update zeiten set anwesend=false, zeitgeht=46000.6875, bemerkung2=?,korrekturgeht=-2 "
           "where id=17";
    QTest::newRow("midnight, +5")
        << day << 5 << 3
        << "update zeiten set anwesend=false, zeitgeht=46000, bemerkung2=?,korrekturgeht=5 where "
           "id=3";
}

void TestBooking::departureStatement()
{
    QFETCH(double, bookingTime);
    QFETCH(int, correction);
    QFETCH(int, offenId);
    QFETCH(QString, expected);
    QCOMPARE(Booking::departureStatement(bookingTime, correction, offenId), expected);
}

void TestBooking::departureRemark_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("bound");

    QTest::newRow("plain") << "Arzt"
                           << "Arzt";
    QTest::newRow("empty edit") << QString() << "";
    QTest::newRow("quotes and statement text") << "it's'; delete from zeiten; --"
                                               << "it's'; delete from zeiten; --";
    QTest::newRow("60 characters")
        << QString(60, QLatin1Char('x')) << QString(50, QLatin1Char('x'));
}

void TestBooking::departureRemark()
{
    QFETCH(QString, typed);
    QFETCH(QString, bound);
    const QString remark = Booking::departureRemark(typed);
    QCOMPARE(remark, bound);
    // A null text would reach the database as NULL instead of the empty text.
    QVERIFY(!remark.isNull());
}

QTEST_GUILESS_MAIN(TestBooking)
#include "tst_booking.moc"
