#include "ClockFixture.h"
#include "DateTimeValue.h"
#include "TData.h"
#include "TestDatabase.h"
#include "Tfmain.h"
#include "UpDown.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using TestSupport::ZeitenRow;

// The clock window on a real database: start-up state, correction and booking, the same
// cases on SQLite and on PostgreSQL.
class TestClockDb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZE_INIT_ENGINE(); }

    void startUpState_data();
    void startUpState();
    void loginNameIsNeverStatementText_data();
    void loginNameIsNeverStatementText();
    void failureEndsStartUpAtItsStep_data();
    void failureEndsStartUpAtItsStep();
    void arrivalBooksTheShownMinute_data();
    void arrivalBooksTheShownMinute();
    void arrivalThenDeparture();
    void departureWithoutOpenRecordChangesNothing();
    void arrivalWhilePresentAddsSecondOpenRecord();
    void failedBookingCanBeRepeated_data();
    void failedBookingCanBeRepeated();
    void remarkStoredAsTyped_data();
    void remarkStoredAsTyped();
    void enterInBemerkungBooks();
};

namespace {

const QDate today(2026, 12, 11);

double at(int dayOffset, int h, int m, int s = 0)
{
    return DateTimeValue::fromDate(today.addDays(dayOffset))
        + DateTimeValue::fromTime(QTime(h, m, s));
}

bool near(const QVariant &value, double expected, double toleranceMs)
{
    return value.isValid()
        && qAbs(value.toDouble() - expected) * DateTimeValue::msPerDay <= toleranceMs;
}

// One database with two employees. Jost has a record left open from yesterday, so every
// case also shows that nothing looks at another employee's records.
struct Office
{
    TestSupport::TestDatabase db;
    int ilka = db.addEmployee(QStringLiteral("ilka"), QStringLiteral("Ilka"),
                              QStringLiteral("Torwegge"));
    int jost
        = db.addEmployee(QStringLiteral("jost"), QStringLiteral("Jost"), QStringLiteral("Brandl"));
    int jostsOpen = 0;
    QString exe = TestSupport::writeIni(db.directory(), db.main(), db.password());

    Office()
    {
        ZeitenRow open;
        open.maid = jost;
        open.anwesend = true;
        open.zeitkommt = at(-1, 7, 0);
        jostsOpen = db.addZeiten(open);
    }

    int open(int maid, const QVariant &zeitkommt)
    {
        ZeitenRow row;
        row.maid = maid;
        row.anwesend = true;
        row.zeitkommt = zeitkommt;
        return db.addZeiten(row);
    }

    int closed(int maid, double zeitkommt)
    {
        ZeitenRow row;
        row.maid = maid;
        row.anwesend = false;
        row.zeitkommt = zeitkommt;
        row.zeitgeht = zeitkommt + 0.25;
        return db.addZeiten(row);
    }

    ZeitenRow row(int id)
    {
        const QList<ZeitenRow> rows = db.zeiten();
        for (const ZeitenRow &r : rows) {
            if (r.id == id)
                return r;
        }
        return {};
    }
};

// One start of the program: the data module, the window and what the shell would see.
struct Session
{
    SeamsRecorder recorder;
    std::unique_ptr<TData> data;
    std::unique_ptr<Tfmain> window;

    explicit Session(const QString &logon = QStringLiteral("ilka"),
                     QTime time = QTime(7, 45, 59, 400))
    {
        recorder.logon = logon;
        recorder.clockReadings = {QDateTime(today, time)};
    }

    // Returns false when FormCreate failed; the failure is recorded as the shell shows it.
    bool start(const QString &exe)
    {
        data = std::make_unique<TData>(exe, [] {});
        data->DataModuleCreate();
        window = std::make_unique<Tfmain>(*data, recorder.seams());
        try {
            window->FormCreate();
            return true;
        } catch (const Failure &failure) {
            recorder.failures << failure.message();
            recorder.events << QStringLiteral("failure");
            return false;
        }
    }

    void correct(int minutes)
    {
        auto *upDown = window->findChild<UpDown *>(QStringLiteral("UpDown1"));
        auto *arrow = upDown->findChild<QToolButton *>(minutes > 0 ? QStringLiteral("up")
                                                                   : QStringLiteral("down"));
        for (int i = 0; i < qAbs(minutes); ++i)
            QTest::mouseClick(arrow, Qt::LeftButton);
    }

    void book(int richtung, const QString &remark = QString(), int correction = 0)
    {
        window->Richtung->setCurrentIndex(richtung);
        window->Bemerkung->setText(remark);
        correct(correction);
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    }
};

const QString staleMessage = QStringLiteral(
    "Gestern ist nicht ausgestempelt worden. Bitte bei Ilka Torwegge oder Jost Brandl melden");

} // namespace

// Rows of Zeiten a case sets up: who, open or not, Zeitkommt (NULL when invalid).
struct Setup
{
    QString who; // "ilka" or "nobody" (MAid 0)
    bool open;
    QVariant zeitkommt;
};
Q_DECLARE_METATYPE(QList<Setup>)

void TestClockDb::startUpState_data()
{
    QTest::addColumn<QString>("logon");
    QTest::addColumn<QList<Setup>>("setup");
    QTest::addColumn<QString>("richtung");
    QTest::addColumn<QString>("panel1");
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<int>("offenRow"); // index into setup, -1: FOffenID 0
    QTest::addColumn<QStringList>("events");

    const QString name = QStringLiteral("Ilka Torwegge");
    const QStringList none;
    const QStringList end {QStringLiteral("end")};
    const QStringList stale {QStringLiteral("message"), QStringLiteral("end")};

    QTest::newRow("login name of no employee") << "niemand" << QList<Setup> {} << "Kommt"
                                               << ""
                                               << "" << -1 << end;
    QTest::newRow("login name 'logon' matches nobody") << "logon" << QList<Setup> {} << "Kommt"
                                                       << ""
                                                       << "" << -1 << end;
    QTest::newRow("login name differing in quotes")
        << "ilka\" or \"1\"=\"1" << QList<Setup> {} << "Kommt"
        << ""
        << "" << -1 << end;
    QTest::newRow("two employees share the login name") << "doppelt" << QList<Setup> {} << "Kommt"
                                                        << ""
                                                        << "" << -1 << end;
    QTest::newRow("no record") << "ilka" << QList<Setup> {} << "Kommt" << name << "" << -1 << none;
    QTest::newRow("latest record closed") << "ilka" << QList<Setup> {{"ilka", false, at(0, 6, 30)}}
                                          << "Kommt" << name << "" << -1 << none;
    QTest::newRow("latest closed, an older one open")
        << "ilka" << QList<Setup> {{"ilka", true, at(-2, 7, 0)}, {"ilka", false, at(-1, 7, 0)}}
        << "Kommt" << name << "" << -1 << none;
    QTest::newRow("open since today")
        << "ilka" << QList<Setup> {{"ilka", false, at(-1, 7, 0)}, {"ilka", true, at(0, 7, 45)}}
        << "Geht" << name << "Anwesend seit 11.12.2026 07:45:00" << 1 << none;
    QTest::newRow("open since exactly midnight")
        << "ilka" << QList<Setup> {{"ilka", true, at(0, 0, 0)}} << "Geht" << name
        << "Anwesend seit 11.12.2026" << 0 << none;
    QTest::newRow("open since yesterday")
        << "ilka" << QList<Setup> {{"ilka", true, at(-1, 16, 5, 30)}} << "Geht" << name
        << "Anwesend seit 10.12.2026 16:05:30" << 0 << stale;
    QTest::newRow("open since tomorrow")
        << "ilka" << QList<Setup> {{"ilka", true, at(1, 7, 0)}} << "Geht" << name
        << "Anwesend seit 12.12.2026 07:00:00" << 0 << stale;
    QTest::newRow("open without arrival time")
        << "ilka" << QList<Setup> {{"ilka", true, QVariant()}} << "Geht" << name
        << "Anwesend seit 30.12.1899" << 0 << stale;
    QTest::newRow("no employee, but an open record of MAid 0")
        << "niemand" << QList<Setup> {{"nobody", true, at(-3, 8, 0)}} << "Geht"
        << ""
        << "Anwesend seit 08.12.2026 08:00:00" << 0
        << QStringList {QStringLiteral("end"), QStringLiteral("message"), QStringLiteral("end")};
}

void TestClockDb::startUpState()
{
    QFETCH(QString, logon);
    QFETCH(QList<Setup>, setup);
    QFETCH(QString, richtung);
    QFETCH(QString, panel1);
    QFETCH(QString, panel2);
    QFETCH(int, offenRow);
    QFETCH(QStringList, events);

    Office office;
    office.db.addEmployee(QStringLiteral("doppelt"), QStringLiteral("Erst"),
                          QStringLiteral("Eine"));
    office.db.addEmployee(QStringLiteral("doppelt"), QStringLiteral("Dann"),
                          QStringLiteral("Andere"));
    QList<int> ids;
    for (const Setup &s : setup)
        ids << office.open(s.who == QLatin1String("ilka") ? office.ilka : 0, s.zeitkommt);
    for (int i = 0; i < setup.size(); ++i) {
        if (!setup.at(i).open)
            office.db.execute(QStringLiteral("update zeiten set anwesend=? where id=?"),
                              {false, ids.at(i)});
    }
    const QList<ZeitenRow> before = office.db.zeiten();

    Session session(logon);
    QVERIFY(session.start(office.exe));
    Tfmain &window = *session.window;

    QCOMPARE(window.Richtung->currentText(), richtung);
    QCOMPARE(window.panelText(1), panel1);
    QCOMPARE(window.panelText(2), panel2);
    QCOMPARE(window.FOffenID, offenRow < 0 ? 0 : ids.at(offenRow));
    QCOMPARE(window.FMAid, panel1.isEmpty() ? 0 : office.ilka);
    QCOMPARE(window.FLogon, logon);
    QCOMPARE(session.recorder.events, events);
    if (events.contains(QStringLiteral("message")))
        QCOMPARE(session.recorder.messages, QStringList {staleMessage});
    // Seconds are cut, never carried: 07:45:59 shows 07:45.
    QCOMPARE(window.Zeit->text(), QStringLiteral("07:45"));
    QCOMPARE(window.FHeute, DateTimeValue::fromDate(today));
    QCOMPARE(window.FStartzeit, DateTimeValue::fromTime(QTime(7, 45, 59, 400)));
    QCOMPARE(office.db.zeiten(), before);
}

void TestClockDb::loginNameIsNeverStatementText_data()
{
    QTest::addColumn<QString>("logon");
    QTest::newRow("the column's own name") << "logon";
    QTest::newRow("a condition in quotes") << "x\" or \"1\"=\"1";
    QTest::newRow("a condition in single quotes") << "x' or '1'='1";
}

void TestClockDb::loginNameIsNeverStatementText()
{
    QFETCH(QString, logon);

    // With one employee, a login name that became part of the statement would match that
    // employee and book for them.
    TestSupport::TestDatabase db;
    db.addEmployee(QStringLiteral("anna"), QStringLiteral("Anna"), QStringLiteral("Berg"));
    Session session(logon);
    QVERIFY(session.start(TestSupport::writeIni(db.directory(), db.main(), db.password())));
    QCOMPARE(session.window->FMAid, 0);
    QCOMPARE(session.window->panelText(1), QString());
    QCOMPARE(session.recorder.events, QStringList {QStringLiteral("end")});
}

void TestClockDb::failureEndsStartUpAtItsStep_data()
{
    QTest::addColumn<QString>("drop");
    QTest::addColumn<QString>("zeit");
    QTest::addColumn<QString>("panel1");

    QTest::newRow("employee lookup fails") << "mitarbeiter"
                                           << "Zeit"
                                           << "";
    QTest::newRow("presence query fails") << "zeiten"
                                          << "07:45"
                                          << "Ilka Torwegge";
}

void TestClockDb::failureEndsStartUpAtItsStep()
{
    QFETCH(QString, drop);
    QFETCH(QString, zeit);
    QFETCH(QString, panel1);

    Office office;
    office.open(office.ilka, at(-1, 7, 0));
    office.db.execute(QStringLiteral("drop table %1").arg(drop));

    Session session;
    QVERIFY(!session.start(office.exe));
    Tfmain &window = *session.window;
    QCOMPARE(session.recorder.failures.size(), 1);
    QVERIFY(!session.recorder.failures.first().isEmpty());
    QCOMPARE(session.recorder.endRequests(), 0);
    QCOMPARE(window.Zeit->text(), zeit);
    QCOMPARE(window.Richtung->currentText(), QStringLiteral("Kommt"));
    QCOMPARE(window.panelText(1), panel1);
    QCOMPARE(window.panelText(2), QString());
    QCOMPARE(window.FOffenID, 0);
}

void TestClockDb::arrivalBooksTheShownMinute_data()
{
    QTest::addColumn<QTime>("opened");
    QTest::addColumn<int>("correction");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("booked");

    QTest::newRow("08:04:59 books 08:04") << QTime(8, 4, 59, 999) << 0 << "08:04" << at(0, 8, 4);
    QTest::newRow("corrected by +5") << QTime(8, 4, 59) << 5 << "08:09" << at(0, 8, 9);
    QTest::newRow("corrected by -5") << QTime(8, 4, 59) << -5 << "07:59" << at(0, 7, 59);
    QTest::newRow("past midnight stays on the date")
        << QTime(23, 58, 30) << 3 << "00:01" << at(0, 0, 1);
    QTest::newRow("before midnight stops at 00:00")
        << QTime(0, 2, 30) << -5 << "00:00" << at(0, 0, 0);
    QTest::newRow("opened before midnight, booked after")
        << QTime(23, 59, 50) << 0 << "23:59" << at(0, 23, 59);
}

void TestClockDb::arrivalBooksTheShownMinute()
{
    QFETCH(QTime, opened);
    QFETCH(int, correction);
    QFETCH(QString, shown);
    QFETCH(double, booked);

    Office office;
    Session session(QStringLiteral("ilka"), opened);
    QVERIFY(session.start(office.exe));
    // The clock runs on into the next day while the window is open; the booking keeps the
    // moment it was opened.
    session.recorder.clockReadings << QDateTime(today.addDays(1), QTime(0, 0, 20));
    session.correct(correction);
    QCOMPARE(session.window->Zeit->text(), shown);
    session.book(0, QStringLiteral("Bahn"));
    QCOMPARE(session.recorder.failures, QStringList());

    const QList<ZeitenRow> rows = office.db.zeiten();
    QCOMPARE(rows.size(), 2);
    const ZeitenRow &arrival = rows.last();
    QCOMPARE(arrival.maid.toInt(), office.ilka);
    QCOMPARE(arrival.anwesend.toBool(), true);
    QVERIFY2(near(arrival.zeitkommt, booked, 0.5), qPrintable(arrival.zeitkommt.toString()));
    QCOMPARE(arrival.korrekturKommt.toInt(), correction);
    QCOMPARE(arrival.bemerkung.toString(), QStringLiteral("Bahn"));
}

void TestClockDb::arrivalThenDeparture()
{
    Office office;
    {
        Session morning(QStringLiteral("ilka"), QTime(7, 58, 10));
        QVERIFY(morning.start(office.exe));
        morning.book(0, QString(), 2);
        QCOMPARE(morning.recorder.events, QStringList {QStringLiteral("end")});
        // A click still queued after the close must not book twice.
        QTest::mouseClick(morning.window->BitBtn1, Qt::LeftButton);
    }
    QCOMPARE(office.db.zeiten().size(), 2);
    const int arrivalId = office.db.zeiten().last().id;
    ZeitenRow expected = office.row(arrivalId);
    QVERIFY(near(expected.zeitkommt, at(0, 8, 0), 0.5));
    QCOMPARE(expected.korrekturKommt.toInt(), 2);
    QVERIFY(expected.bemerkung.isNull());

    Session evening(QStringLiteral("ilka"), QTime(16, 32, 40));
    QVERIFY(evening.start(office.exe));
    QCOMPARE(evening.window->Richtung->currentText(), QStringLiteral("Geht"));
    QCOMPARE(evening.window->FOffenID, arrivalId);
    QCOMPARE(evening.window->panelText(2), QStringLiteral("Anwesend seit 11.12.2026 08:00:00"));
    evening.book(1, QStringLiteral("Arzt"), -2);
    QCOMPARE(evening.recorder.events, QStringList {QStringLiteral("end")});

    const ZeitenRow departed = office.row(arrivalId);
    QVERIFY2(near(departed.zeitgeht, at(0, 16, 30), 0.005),
             qPrintable(departed.zeitgeht.toString()));
    expected.anwesend = false;
    expected.zeitgeht = departed.zeitgeht;
    expected.korrekturgeht = -2;
    expected.bemerkung2 = QStringLiteral("Arzt");
    QCOMPARE(departed, expected);
    QCOMPARE(office.row(office.jostsOpen).anwesend.toBool(), true);
}

void TestClockDb::departureWithoutOpenRecordChangesNothing()
{
    Office office;
    const QList<ZeitenRow> before = office.db.zeiten();
    Session session;
    QVERIFY(session.start(office.exe));
    session.book(1, QStringLiteral("vergessen"));
    QCOMPARE(session.recorder.events, QStringList {QStringLiteral("end")});
    QCOMPARE(office.db.zeiten(), before);
}

void TestClockDb::arrivalWhilePresentAddsSecondOpenRecord()
{
    Office office;
    const int first = office.open(office.ilka, at(0, 7, 0));
    const ZeitenRow firstBefore = office.row(first);
    Session session;
    QVERIFY(session.start(office.exe));
    QCOMPARE(session.window->FOffenID, first);
    session.book(0);

    const QList<ZeitenRow> rows = office.db.zeiten();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(office.row(first), firstBefore);
    QCOMPARE(rows.last().anwesend.toBool(), true);
    QVERIFY(near(rows.last().zeitkommt, at(0, 7, 45), 0.5));
}

void TestClockDb::failedBookingCanBeRepeated_data()
{
    QTest::addColumn<int>("richtung");
    QTest::newRow("arrival") << 0;
    QTest::newRow("departure") << 1;
}

void TestClockDb::failedBookingCanBeRepeated()
{
    QFETCH(int, richtung);

    Office office;
    const int open = richtung == 1 ? office.open(office.ilka, at(0, 7, 0)) : 0;
    Session session(QStringLiteral("ilka"), QTime(12, 0, 0));
    QVERIFY(session.start(office.exe));
    const QList<ZeitenRow> before = office.db.zeiten();

    office.db.execute(QStringLiteral("alter table zeiten rename to zeiten_weg"));
    session.book(richtung, QStringLiteral("Mittag"), 1);
    QCOMPARE(session.recorder.failures.size(), 1);
    QCOMPARE(session.recorder.endRequests(), 0);
    QCOMPARE(session.window->Zeit->text(), QStringLiteral("12:01"));
    QCOMPARE(session.window->Bemerkung->text(), QStringLiteral("Mittag"));
    office.db.execute(QStringLiteral("alter table zeiten_weg rename to zeiten"));
    QCOMPARE(office.db.zeiten(), before);

    QTest::mouseClick(session.window->BitBtn1, Qt::LeftButton);
    QCOMPARE(session.recorder.failures.size(), 1);
    QCOMPARE(session.recorder.endRequests(), 1);
    const QList<ZeitenRow> after = office.db.zeiten();
    if (richtung == 0) {
        QCOMPARE(after.size(), before.size() + 1);
        QVERIFY(near(after.last().zeitkommt, at(0, 12, 1), 0.5));
    } else {
        QCOMPARE(after.size(), before.size());
        QVERIFY(near(office.row(open).zeitgeht, at(0, 12, 1), 0.005));
        QCOMPARE(office.row(open).bemerkung2.toString(), QStringLiteral("Mittag"));
    }
}

void TestClockDb::remarkStoredAsTyped_data()
{
    QTest::addColumn<int>("richtung");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("stored");

    const QString hostile = QStringLiteral("Termin: Arzt's'; delete from zeiten; --\"x\"");
    for (int richtung : {0, 1}) {
        const char *kind = richtung == 0 ? "arrival" : "departure";
        QTest::addRow("%s, quotes, semicolon, colon and SQL", kind)
            << richtung << hostile << QVariant(hostile);
        QTest::addRow("%s, 60 characters", kind)
            << richtung << QString(60, QLatin1Char('y')) << QVariant(QString(50, QLatin1Char('y')));
    }
    QTest::newRow("arrival, empty remark") << 0 << QString() << QVariant();
    QTest::newRow("departure, empty remark") << 1 << QString() << QVariant(QString(""));
}

void TestClockDb::remarkStoredAsTyped()
{
    QFETCH(int, richtung);
    QFETCH(QString, typed);
    QFETCH(QVariant, stored);

    Office office;
    const int open = office.open(office.ilka, at(0, 7, 0));
    const QList<ZeitenRow> before = office.db.zeiten();
    Session session;
    QVERIFY(session.start(office.exe));
    session.book(richtung, typed);
    QCOMPARE(session.recorder.failures, QStringList());

    const QList<ZeitenRow> after = office.db.zeiten();
    const ZeitenRow &changed = richtung == 0 ? after.last() : office.row(open);
    const QVariant remark = richtung == 0 ? changed.bemerkung : changed.bemerkung2;
    QCOMPARE(remark.isNull(), stored.isNull());
    QCOMPARE(remark.toString(), stored.toString());
    // Every other record is as it was.
    QCOMPARE(after.size(), before.size() + (richtung == 0 ? 1 : 0));
    for (const ZeitenRow &row : before) {
        if (row.id != open || richtung == 0)
            QCOMPARE(office.row(row.id), row);
    }
}

void TestClockDb::enterInBemerkungBooks()
{
    Office office;
    Session session;
    QVERIFY(session.start(office.exe));
    Tfmain &window = *session.window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.Bemerkung->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), window.Bemerkung);
    QTest::keyClicks(window.Bemerkung, QStringLiteral("Zug fiel aus"));
    QTest::keyClick(window.Bemerkung, Qt::Key_Return);

    QCOMPARE(session.recorder.events, QStringList {QStringLiteral("end")});
    const QList<ZeitenRow> rows = office.db.zeiten();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.last().bemerkung.toString(), QStringLiteral("Zug fiel aus"));
}

QTEST_MAIN(TestClockDb)
#include "tst_clockdb.moc"
