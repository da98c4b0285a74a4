#include "CsvExport.h"
#include "DateTimeValue.h"

#include <QtTest/QTest>

// The fields that come from the database: names and login names are typed by people, so
// they may hold the separator, quotes or what a spreadsheet takes for a formula.
class tst_CsvExport : public QObject
{
    Q_OBJECT

private slots:
    void textFields_data();
    void textFields();
};

void tst_CsvExport::textFields_data()
{
    QTest::addColumn<QString>("nachname");
    QTest::addColumn<QString>("field");

    QTest::newRow("plain") << "Berg"
                           << "Anna Berg";
    QTest::newRow("umlaut") << "Müller"
                            << "Anna Müller";
    QTest::newRow("semicolon") << "Berg;Tal"
                               << "\"Anna Berg;Tal\"";
    QTest::newRow("quote") << "\"Ann\" Berg"
                           << "\"Anna \"\"Ann\"\" Berg\"";
    QTest::newRow("quote and semicolon") << "B\";x"
                                         << "\"Anna B\"\";x\"";
    QTest::newRow("line break") << "Berg\nTal"
                                << "\"Anna Berg\nTal\"";
}

void tst_CsvExport::textFields()
{
    QFETCH(QString, nachname);
    QFETCH(QString, field);

    MonthReportData report;
    report.month = QDate(2026, 3, 1);
    EmployeeMonth month;
    month.employee = Employee {1, QStringLiteral("Anna"), nachname, QStringLiteral("=cmd|x")};
    DayRow day;
    day.date = QDate(2026, 3, 2);
    day.firstArrival = DateTimeValue::fromDateTime(QDateTime(day.date, QTime(8, 0)));
    day.lastDeparture = DateTimeValue::fromDateTime(QDateTime(day.date, QTime(16, 0)));
    day.workedMinutes = 480;
    month.days.append(day);
    report.employees.append(month);

    const QString text = QString::fromUtf8(CsvExport::render(report).mid(3));
    const QString dayLine = text.split(QStringLiteral("\r\n")).at(1);
    // A login name that starts like a formula stays text in the spreadsheet.
    QCOMPARE(dayLine, field + QStringLiteral(";'=cmd|x;02.03.2026;08:00;16:00;8,00;0,00;0,00;"));
}

QTEST_APPLESS_MAIN(tst_CsvExport)
#include "tst_csvexport.moc"
