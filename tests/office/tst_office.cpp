#include "AdminTool.h"
#include "Bookings.h"
#include "Closing.h"
#include "Configuration.h"
#include "Correction.h"
#include "CsvExport.h"
#include "DateTimeValue.h"
#include "Failure.h"
#include "MonthReport.h"
#include "OfficeCommands.h"
#include "OfficeTime.h"
#include "OpenRecords.h"
#include "PdfTimesheet.h"
#include "Presence.h"
#include "TestDatabase.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QtTest/QTest>

using TestSupport::TestDatabase;
using TestSupport::ZeitenRow;

namespace {

// The office works on Tuesday, 10 March 2026, at 09:00.
const QDateTime now(QDate(2026, 3, 10), QTime(9, 0));

ChangeContext context()
{
    return ChangeContext {QStringLiteral("ilka"), [] { return now; }};
}

double at(const QString &text)
{
    const std::optional<double> value = OfficeTime::parse(text);
    if (!value)
        throw Failure(QStringLiteral("bad fixture time ") + text);
    return *value;
}

// A month as the clock leaves it. Departures travel to the database as decimal numbers of 15
// significant digits, so they lie a few microseconds off their minute, as the clock's do.
struct Month
{
    int anna = 0;
    int bob = 0;
    int carl = 0;
    int annaMorning = 0; // 2 March, 08:00-12:00
    int annaForgotten = 0; // 9 March, 08:00, never closed: the clock blocks Anna on the 10th
    int bobToday = 0; // 10 March, 08:30, open: Bob is in
    int carlOlderOpen = 0; // 4 March, open, but a later record of Carl's is closed

    explicit Month(TestDatabase &db)
    {
        anna = db.addEmployee(QStringLiteral("anna"), QStringLiteral("Anna"),
                              QStringLiteral("Berg"));
        bob = db.addEmployee(QStringLiteral("bob"), QStringLiteral("Bert"), QStringLiteral("Ohm"));
        carl = db.addEmployee(QStringLiteral("carl"), QStringLiteral("Carl"),
                              QStringLiteral("Zahn"));
        db.addEmployee(QStringLiteral("dora"), QStringLiteral("Dora"), QStringLiteral("Abel"));

        const auto closed = [&](int maid, const QString &kommt, const QString &geht) {
            ZeitenRow row;
            row.maid = maid;
            row.anwesend = false;
            row.zeitkommt = at(kommt);
            row.zeitgeht = QString::number(at(geht), 'g', 15).toDouble();
            return db.addZeiten(row);
        };
        const auto open = [&](int maid, const QString &kommt) {
            ZeitenRow row;
            row.maid = maid;
            row.anwesend = true;
            row.zeitkommt = at(kommt);
            return db.addZeiten(row);
        };
        closed(anna, "2026-02-27 08:00", "2026-02-27 16:00"); // another month
        // A normal day: 8 hours with half an hour's break.
        annaMorning = closed(anna, "2026-03-02 08:00", "2026-03-02 12:00");
        closed(anna, "2026-03-02 12:30", "2026-03-02 16:30");
        // Two arrivals ten minutes apart: no break that counts, 8:20 worked.
        closed(anna, "2026-03-05 07:00", "2026-03-05 11:00");
        closed(anna, "2026-03-05 11:10", "2026-03-05 15:30");
        // Over ten hours in one go.
        closed(anna, "2026-03-06 06:00", "2026-03-06 17:30");
        annaForgotten = open(anna, "2026-03-09 08:00");

        closed(bob, "2026-03-02 09:00", "2026-03-02 13:00");
        closed(bob, "2026-03-02 13:45", "2026-03-02 17:00");
        // Arrived in February: the night counts there.
        closed(bob, "2026-02-28 22:00", "2026-03-01 06:00");
        bobToday = open(bob, "2026-03-10 08:30");

        carlOlderOpen = open(carl, "2026-03-04 10:00");
        closed(carl, "2026-03-05 10:00", "2026-03-05 12:00");
        // A night: the departure lies on the next day.
        closed(carl, "2026-03-06 22:00", "2026-03-07 06:00");
        closed(carl, "2026-04-01 00:00", "2026-04-01 06:00"); // another month
    }
};

const QStringList expectedCsv {
    "Mitarbeiter;Anmeldename;Datum;Kommt;Geht;Arbeitszeit (Std);Pause (Std);Über 8 Std;Hinweise",
    "Anna Berg;anna;02.03.2026;08:00;16:30;8,00;0,50;0,00;",
    "Anna Berg;anna;05.03.2026;07:00;15:30;8,33;0,00;0,33;Pause unter 30 Min",
    "Anna Berg;anna;06.03.2026;06:00;17:30;11,50;0,00;3,50;über 10 Std, Pause unter 45 Min",
    "Anna Berg;anna;09.03.2026;08:00;;0,00;0,00;0,00;offen",
    "Anna Berg;anna;Summe;;;27,83;;3,83;Arbeitstage: 3, Tage mit Hinweis: 3, offene Datensätze: 1",
    "Bert Ohm;bob;02.03.2026;09:00;17:00;7,25;0,75;0,00;",
    "Bert Ohm;bob;10.03.2026;08:30;;0,00;0,00;0,00;offen",
    "Bert Ohm;bob;Summe;;;7,25;;0,00;Arbeitstage: 1, Tage mit Hinweis: 1, offene Datensätze: 1",
    "Carl Zahn;carl;04.03.2026;10:00;;0,00;0,00;0,00;offen",
    "Carl Zahn;carl;05.03.2026;10:00;12:00;2,00;0,00;0,00;",
    "Carl Zahn;carl;06.03.2026;22:00;07.03.2026 06:00;8,00;0,00;0,00;Pause unter 30 Min",
    "Carl Zahn;carl;Summe;;;10,00;;0,00;Arbeitstage: 2, Tage mit Hinweis: 2, offene Datensätze: 1",
};

ZeitenRow rowOf(TestDatabase &db, int id)
{
    const QList<ZeitenRow> rows = db.zeiten();
    for (const ZeitenRow &row : rows)
        if (row.id == id)
            return row;
    throw Failure(QStringLiteral("no fixture row %1").arg(id));
}

// Runs zeiterfassung-admin with the office's commands in this process.
struct ToolRun
{
    int status = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &arguments)
{
    AdminTool tool(QStringLiteral("zeiterfassung-admin"));
    addOfficeCommands(tool, context());
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = tool.run(arguments, out, err);
    return run;
}

QStringList dbOptions(TestDatabase &db)
{
    QStringList options {QStringLiteral("--db"), QString::fromUtf8(db.main())};
    if (!db.password().isEmpty())
        options << QStringLiteral("--password") << QString::fromUtf8(db.password());
    return options;
}

} // namespace

class tst_Office : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZE_INIT_ENGINE(); }
    void reportCsvCellByCell();
    void reportForOneEmployee();
    void reportPdf();
    void openRecordsAndPresence();
    void closeBooksTheDepartureWithAuditRows();
    void correctKeepsTheOldValues();
    void refusals_data();
    void refusals();
    void noChangeWithoutItsAuditRow();
    void bookings();
    void commandLine_data();
    void commandLine();
    void commandsReadTheIni();
};

void tst_Office::reportCsvCellByCell()
{
    TestDatabase db;
    const Month month(db);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("März.csv"));
    CsvExport::write(path, MonthReport::build(db.connection(), QDate(2026, 3, 17)));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(bytes.startsWith("\xEF\xBB\xBF"), "a spreadsheet needs the byte order mark for UTF-8");
    QVERIFY(bytes.endsWith("\r\n"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), expectedCsv.size() + 1);
    for (int i = 0; i < expectedCsv.size(); ++i) {
        const QStringList cells = lines.at(i).split(QLatin1Char(';'));
        const QStringList expected = expectedCsv.at(i).split(QLatin1Char(';'));
        QCOMPARE(cells.size(), expected.size());
        for (int c = 0; c < cells.size(); ++c) {
            if (cells.at(c) != expected.at(c))
                QFAIL(qPrintable(QStringLiteral("line %1, column %2: '%3', expected '%4'")
                                     .arg(i + 1)
                                     .arg(c + 1)
                                     .arg(cells.at(c), expected.at(c))));
        }
    }
}

void tst_Office::reportForOneEmployee()
{
    TestDatabase db;
    const Month month(db);
    // Dora has no records; named, she still gets her (empty) month.
    const MonthReportData dora
        = MonthReport::build(db.connection(), QDate(2026, 3, 1), QStringLiteral("dora"));
    QCOMPARE(dora.employees.size(), 1);
    QCOMPARE(dora.employees.first().employee.logon, QStringLiteral("dora"));
    QVERIFY(dora.employees.first().days.isEmpty());

    // A record belongs to the day of its arrival.
    const MonthReportData february
        = MonthReport::build(db.connection(), QDate(2026, 2, 1), QStringLiteral("bob"));
    QCOMPARE(february.employees.first().workedMinutes, 8 * 60);

    try {
        MonthReport::build(db.connection(), QDate(2026, 3, 1), QStringLiteral("nobody"));
        QFAIL("an unknown login name was taken");
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), QStringLiteral("no employee has logon 'nobody'"));
    }
}

void tst_Office::reportPdf()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is missing");
    TestDatabase db;
    const Month month(db);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("timesheet.pdf"));
    PdfTimesheet::write(path, MonthReport::build(db.connection(), QDate(2026, 3, 1)));

    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 3); // one per employee with records
    const QStringList names {"Anna Berg (anna)", "Bert Ohm (bob)", "Carl Zahn (carl)"};
    const QStringList totals {"27,83 Std (27:50)", "7,25 Std (7:15)", "10,00 Std (10:00)"};
    for (int i = 0; i < pages.size(); ++i) {
        QVERIFY2(pages.at(i).contains(QStringLiteral("Stundenzettel März 2026")),
                 qPrintable(pages.at(i)));
        QVERIFY2(pages.at(i).contains(names.at(i)), qPrintable(pages.at(i)));
        QVERIFY2(
            pages.at(i).contains(QRegularExpression(QStringLiteral("Summe Arbeitszeit\\s+")
                                                    + QRegularExpression::escape(totals.at(i)))),
            qPrintable(pages.at(i)));
    }
    QVERIFY(pages.at(0).contains(QStringLiteral("über 10 Std, Pause unter 45 Min")));
    QVERIFY(pages.at(2).contains(QStringLiteral("07.03. 06:00")));
}

void tst_Office::openRecordsAndPresence()
{
    TestDatabase db;
    const Month month(db);
    const QVector<OpenRecord> open = OpenRecords::list(db.connection(), now);
    QCOMPARE(open.size(), 3);
    // Oldest first. Carl's is from another day, but his later record is closed, so the
    // clock does not see it; Anna's is her latest and blocks the clock.
    QCOMPARE(open.at(0).record.id, month.carlOlderOpen);
    QVERIFY(open.at(0).fromOtherDay);
    QVERIFY(!open.at(0).blocksClock);
    QCOMPARE(open.at(1).record.id, month.annaForgotten);
    QCOMPARE(open.at(1).employee.name(), QStringLiteral("Anna Berg"));
    QVERIFY(open.at(1).blocksClock);
    QCOMPARE(open.at(1).ageMinutes, 25 * 60);
    QCOMPARE(open.at(2).record.id, month.bobToday);
    QVERIFY(!open.at(2).fromOtherDay);
    QVERIFY(!open.at(2).blocksClock);

    const QVector<OpenRecord> present = Presence::present(db.connection(), now);
    QCOMPARE(present.size(), 1);
    QCOMPARE(present.first().employee.logon, QStringLiteral("bob"));
}

void tst_Office::closeBooksTheDepartureWithAuditRows()
{
    TestDatabase db;
    const Month month(db);
    Closing(db.connection(), context())
        .close(month.annaForgotten, at("2026-03-09 17:00"), QStringLiteral(" vergessen "));

    const ZeitenRow row = rowOf(db, month.annaForgotten);
    QCOMPARE(row.anwesend, QVariant(false));
    QCOMPARE(row.zeitgeht.toDouble(), at("2026-03-09 17:00"));

    const QVector<AuditEntry> history = AuditTrail::history(db.connection(), month.annaForgotten);
    QCOMPARE(history.size(), 2);
    QCOMPARE(history.at(0).spalte, QStringLiteral("Zeitgeht"));
    QVERIFY(history.at(0).alterWert.isNull());
    QCOMPARE(history.at(0).neuerWert, QStringLiteral("2026-03-09 17:00:00"));
    QCOMPARE(history.at(1).spalte, QStringLiteral("Anwesend"));
    QCOMPARE(history.at(1).alterWert, QStringLiteral("ja"));
    QCOMPARE(history.at(1).neuerWert, QStringLiteral("nein"));
    for (const AuditEntry &entry : history) {
        QCOMPARE(entry.grund, QStringLiteral("vergessen"));
        QCOMPARE(entry.benutzer, QStringLiteral("ilka"));
        QCOMPARE(entry.zeitpunkt, DateTimeValue::fromDateTime(now));
    }

    // The day now counts: 9 hours without a break.
    const MonthReportData report
        = MonthReport::build(db.connection(), QDate(2026, 3, 1), QStringLiteral("anna"));
    const DayRow &day = report.employees.first().days.last();
    QCOMPARE(day.date, QDate(2026, 3, 9));
    QCOMPARE(day.workedMinutes, 9 * 60);
    QCOMPARE(day.notes(), QStringList {QStringLiteral("Pause unter 30 Min")});
}

void tst_Office::correctKeepsTheOldValues()
{
    TestDatabase db;
    const Month month(db);
    Correction(db.connection(), context())
        .correct(month.annaMorning, at("2026-03-02 07:45"), at("2026-03-02 12:15"),
                 QStringLiteral("Zettel vom Pförtner"));

    const ZeitenRow row = rowOf(db, month.annaMorning);
    QCOMPARE(row.zeitkommt.toDouble(), at("2026-03-02 07:45"));
    QCOMPARE(row.zeitgeht.toDouble(), at("2026-03-02 12:15"));
    QCOMPARE(row.anwesend, QVariant(false));

    const QVector<AuditEntry> history = AuditTrail::history(db.connection(), month.annaMorning);
    QCOMPARE(history.size(), 2);
    QCOMPARE(history.at(0).spalte, QStringLiteral("Zeitkommt"));
    QCOMPARE(history.at(0).alterWert, QStringLiteral("2026-03-02 08:00:00"));
    QCOMPARE(history.at(0).neuerWert, QStringLiteral("2026-03-02 07:45:00"));
    // The clock's departure lay microseconds off 12:00; the trail shows the minute it meant.
    QCOMPARE(history.at(1).spalte, QStringLiteral("Zeitgeht"));
    QCOMPARE(history.at(1).alterWert, QStringLiteral("2026-03-02 12:00:00"));
    QCOMPARE(history.at(1).neuerWert, QStringLiteral("2026-03-02 12:15:00"));
    QCOMPARE(history.at(1).grund, QStringLiteral("Zettel vom Pförtner"));
}

void tst_Office::refusals_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("arrival");
    QTest::addColumn<QString>("departure");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("message");

    QTest::newRow("close a closed record")
        << "close"
        << "annaMorning"
        << ""
        << "2026-03-02 13:00"
        << "r"
        << "record %1 is closed already (departure 2026-03-02 12:00)";
    QTest::newRow("close before the arrival")
        << "close"
        << "annaForgotten"
        << ""
        << "2026-03-09 07:59"
        << "r"
        << "departure 2026-03-09 07:59 lies before the arrival 2026-03-09 08:00";
    QTest::newRow("close without a reason") << "close"
                                            << "annaForgotten"
                                            << ""
                                            << "2026-03-09 17:00"
                                            << " \t "
                                            << "a change needs a reason (--reason)";
    QTest::newRow("close in the future") << "close"
                                         << "annaForgotten"
                                         << ""
                                         << "2026-03-10 09:01"
                                         << "r"
                                         << "2026-03-10 09:01 lies in the future";
    QTest::newRow("close an unknown record") << "close"
                                             << "none"
                                             << ""
                                             << "2026-03-09 17:00"
                                             << "r"
                                             << "no record with ID %1";
    QTest::newRow("correct the departure of an open record")
        << "correct"
        << "annaForgotten"
        << ""
        << "2026-03-09 17:00"
        << "r"
        << "record %1 is open: book its missing departure with 'close'";
    QTest::newRow("correct the departure before the arrival")
        << "correct"
        << "annaMorning"
        << ""
        << "2026-03-02 07:00"
        << "r"
        << "departure 2026-03-02 07:00 lies before the arrival 2026-03-02 08:00";
    QTest::newRow("correct the arrival after the departure")
        << "correct"
        << "annaMorning"
        << "2026-03-02 12:01"
        << ""
        << "r"
        << "departure 2026-03-02 12:00 lies before the arrival 2026-03-02 12:01";
    QTest::newRow("correct to the same times") << "correct"
                                               << "annaMorning"
                                               << "2026-03-02 08:00"
                                               << "2026-03-02 12:00"
                                               << "r"
                                               << "record %1 holds these times already";
    QTest::newRow("correct without a reason") << "correct"
                                              << "annaMorning"
                                              << "2026-03-02 07:00"
                                              << ""
                                              << ""
                                              << "a change needs a reason (--reason)";
    QTest::newRow("correct nothing") << "correct"
                                     << "annaMorning"
                                     << ""
                                     << ""
                                     << "r"
                                     << "nothing to change: give --arrival or --departure";
}

void tst_Office::refusals()
{
    QFETCH(QString, action);
    QFETCH(QString, record);
    QFETCH(QString, arrival);
    QFETCH(QString, departure);
    QFETCH(QString, reason);
    QFETCH(QString, message);

    TestDatabase db;
    const Month month(db);
    const int id = record == "annaMorning" ? month.annaMorning
        : record == "annaForgotten"        ? month.annaForgotten
                                           : 9999;
    const QList<ZeitenRow> before = db.zeiten();
    try {
        if (action == "close") {
            Closing(db.connection(), context()).close(id, at(departure), reason);
        } else {
            std::optional<double> kommt;
            std::optional<double> geht;
            if (!arrival.isEmpty())
                kommt = at(arrival);
            if (!departure.isEmpty())
                geht = at(departure);
            Correction(db.connection(), context()).correct(id, kommt, geht, reason);
        }
        QFAIL("the change was taken");
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(),
                 QString(message).replace(QLatin1String("%1"), QString::number(id)));
    }
    QCOMPARE(db.zeiten(), before);
    QVERIFY(AuditTrail::history(db.connection(), id).isEmpty());
}

void tst_Office::noChangeWithoutItsAuditRow()
{
    TestDatabase db;
    const Month month(db);
    // An audit table that cannot take the row: the departure must not be stored either.
    db.execute(QStringLiteral("create table Aenderungen (id integer)"));
    const QList<ZeitenRow> before = db.zeiten();
    try {
        Closing(db.connection(), context())
            .close(month.annaForgotten, at("2026-03-09 17:00"), QStringLiteral("vergessen"));
        QFAIL("the record was closed without its audit row");
    } catch (const Failure &) {
    }
    QCOMPARE(db.zeiten(), before);
    try {
        Correction(db.connection(), context())
            .correct(month.annaMorning, at("2026-03-02 07:30"), std::nullopt,
                     QStringLiteral("Zettel"));
        QFAIL("the record was corrected without its audit row");
    } catch (const Failure &) {
    }
    QCOMPARE(db.zeiten(), before);
}

void tst_Office::bookings()
{
    TestDatabase db;
    const Month month(db);
    BookingFilter filter;
    filter.logon = QStringLiteral("anna");
    filter.from = QDate(2026, 3, 5);
    filter.to = QDate(2026, 3, 6);
    const QVector<Booking> found = Bookings::list(db.connection(), filter);
    QCOMPARE(found.size(), 3);
    QCOMPARE(OfficeTime::format(found.first().record.zeitkommt),
             QStringLiteral("2026-03-05 07:00"));
    QCOMPARE(OfficeTime::format(found.last().record.zeitkommt), QStringLiteral("2026-03-06 06:00"));
    QCOMPARE(found.last().employee.name(), QStringLiteral("Anna Berg"));

    QCOMPARE(Bookings::list(db.connection(), {}).size(), 15);
}

void tst_Office::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // %1 is the forgotten record, %2 a closed one
    QTest::addColumn<bool>("withDatabase");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // a line of standard output, or of standard error

    const auto help = [](const char *command) {
        return QStringList {QString::fromLatin1(command), QStringLiteral("--help")};
    };
    for (const char *command :
         {"open", "close", "correct", "history", "present", "report", "bookings"})
        QTest::newRow(qPrintable(QStringLiteral("%1 --help").arg(command)))
            << help(command) << false << 0
            << QStringLiteral("Usage: zeiterfassung-admin %1").arg(command);

    QTest::newRow("close") << QStringList {"close",    "%1",       "--at", "2026-03-09 17:00",
                                           "--reason", "vergessen"}
                           << true << 0 << "record %1 closed at 2026-03-09 17:00";
    QTest::newRow("close a closed record")
        << QStringList {"close", "%2", "--at", "2026-03-02 17:00", "--reason", "x"} << true << 1
        << "zeiterfassung-admin close: record %2 is closed already (departure 2026-03-02 12:00)";
    QTest::newRow("close without an ID")
        << QStringList {"close", "--at", "2026-03-09 17:00", "--reason", "x"} << true << 2
        << "zeiterfassung-admin close: missing record ID; see 'zeiterfassung-admin close --help'";
    QTest::newRow("close with a date only")
        << QStringList {"close", "%1", "--at", "2026-03-09", "--reason", "x"} << true << 2
        << "zeiterfassung-admin close: --at '2026-03-09' is no time of the form YYYY-MM-DD HH:MM; "
           "see 'zeiterfassung-admin close --help'";
    QTest::newRow("close without a reason")
        << QStringList {"close", "%1", "--at", "2026-03-09 17:00"} << true << 2
        << "zeiterfassung-admin close: missing option --reason; see 'zeiterfassung-admin close "
           "--help'";
    QTest::newRow("correct") << QStringList {"correct",          "%2",       "--arrival",
                                             "2026-03-02 07:50", "--reason", "Zettel"}
                             << true << 0 << "record %2 corrected";
    QTest::newRow("history of an unchanged record")
        << QStringList {"history", "%2"} << true << 0
        << "record %2\temployee 1\tarrival 2026-03-02 08:00\tdeparture 2026-03-02 12:00";
    QTest::newRow("open") << QStringList {"open"} << true << 0
                          << "%1\tanna\tAnna Berg\t2026-03-09 08:00\t25:00\tblocks the clock";
    QTest::newRow("present") << QStringList {"present"} << true << 0
                             << "bob\tBert Ohm\t2026-03-10 08:30";
    QTest::newRow("report")
        << QStringList {"report", "--month", "2026-03", "--employee", "anna"} << true << 0
        << "  2026-03-06\t06:00\t17:30\t11:30\tbreak 0:00\tover 10 hours, break under 45 minutes";
    QTest::newRow("report of a month that is none")
        << QStringList {"report", "--month", "2026-13"} << true << 2
        << "zeiterfassung-admin report: --month '2026-13' is no month of the form YYYY-MM; see "
           "'zeiterfassung-admin report --help'";
    QTest::newRow("bookings of an unknown employee")
        << QStringList {"bookings", "--employee", "nobody"} << true << 1
        << "zeiterfassung-admin bookings: no employee has logon 'nobody'";
    QTest::newRow("bookings")
        << QStringList {"bookings",   "--employee", "carl",      "--from",
                        "2026-03-06", "--to",       "2026-03-06"}
        << true << 0 << "\tcarl\tCarl Zahn\t2026-03-06 22:00\t2026-03-07 06:00\tclosed\t0\t0\t\t";
}

void tst_Office::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, withDatabase);
    QFETCH(int, status);
    QFETCH(QString, output);

    TestDatabase db;
    const Month month(db);
    for (QString &argument : arguments)
        argument = argument.replace(QLatin1String("%1"), QString::number(month.annaForgotten))
                       .replace(QLatin1String("%2"), QString::number(month.annaMorning));
    if (withDatabase)
        arguments += dbOptions(db);
    const QString line = QString(output)
                             .replace(QLatin1String("%1"), QString::number(month.annaForgotten))
                             .replace(QLatin1String("%2"), QString::number(month.annaMorning));

    const ToolRun run = runTool(arguments);
    QCOMPARE(run.status, status);
    const QString &stream = status == 0 ? run.out : run.err;
    QVERIFY2(stream.contains(line), qPrintable(stream));
    if (status != 0)
        QVERIFY(run.out.isEmpty());
}

void tst_Office::commandsReadTheIni()
{
    TestDatabase db;
    const Month month(db);
    const QString ini
        = configurationPathFor(TestSupport::writeIni(db.directory(), db.main(), db.password()));

    const QString id = QString::number(month.annaForgotten);
    ToolRun run
        = runTool({"close", id, "--ini", ini, "--at", "2026-03-09 16:45", "--reason", "vergessen"});
    QCOMPARE(run.status, 0);
    run = runTool({"history", id, "--ini", ini});
    QCOMPARE(run.status, 0);
    QVERIFY2(
        run.out.contains(QStringLiteral(
            "2026-03-10 09:00:00\tilka\tZeitgeht\t(none) -> 2026-03-09 16:45:00\tvergessen\n")),
        qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("\tilka\tAnwesend\tja -> nein\tvergessen\n")),
             qPrintable(run.out));
    run = runTool({"open", "--ini", ini});
    QVERIFY(!run.out.contains(QStringLiteral("blocks the clock")));
}

QTEST_MAIN(tst_Office)
#include "tst_office.moc"
