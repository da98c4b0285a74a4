#include "Closing.h"
#include "Failure.h"
#include "OfficeTime.h"
#include "TData.h"
#include "TestDatabase.h"
#include "Tfmain.h"

#include <QComboBox>
#include <QtTest/QTest>

using TestSupport::TestDatabase;

namespace {

const QDateTime monday(QDate(2026, 3, 9), QTime(8, 0));
const QDateTime tuesday(QDate(2026, 3, 10), QTime(7, 58, 12));

// What the clock did when it started for one employee.
struct ClockStart
{
    QStringList messages;
    int endRequests = 0;
    QString richtung;
    QString employee;
    qint32 offenId = -1;
};

// Starts the clock the way the program does: the data module on the configuration file,
// then the window's creation handler, with the platform replaced by fixed answers.
ClockStart startClock(const QString &executable, const QString &logon, const QDateTime &now)
{
    ClockStart start;
    TData data(executable, [&] { ++start.endRequests; });
    data.DataModuleCreate();
    ClockSeams seams;
    seams.now = [now] { return now; };
    seams.logonName = [logon] { return logon; };
    seams.showMessage = [&](const QString &text) { start.messages << text; };
    seams.requestEnd = [&] { ++start.endRequests; };
    seams.runHandler = [](const std::function<void()> &handler) { handler(); };
    Tfmain window(data, seams);
    window.FormCreate();
    start.richtung = window.Richtung->currentText();
    start.employee = window.panelText(1);
    start.offenId = window.FOffenID;
    return start;
}

} // namespace

class tst_OfficeClock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZE_INIT_ENGINE(); }
    void clockOpensAgainAfterClose();
};

void tst_OfficeClock::clockOpensAgainAfterClose()
{
    TestDatabase db;
    const int anna
        = db.addEmployee(QStringLiteral("anna"), QStringLiteral("Anna"), QStringLiteral("Berg"));
    TestSupport::ZeitenRow forgotten;
    forgotten.maid = anna;
    forgotten.anwesend = true;
    forgotten.zeitkommt = *OfficeTime::parse(QStringLiteral("2026-03-09 08:00"));
    const int id = db.addZeiten(forgotten);
    const QString executable = TestSupport::writeIni(db.directory(), db.main(), db.password());

    // On Tuesday the clock refuses Anna: Monday's record is still open.
    const ClockStart blocked = startClock(executable, QStringLiteral("anna"), tuesday);
    QCOMPARE(blocked.messages,
             QStringList {QStringLiteral("Gestern ist nicht ausgestempelt worden. Bitte bei Ilka "
                                         "Torwegge oder Jost Brandl melden")});
    QCOMPARE(blocked.endRequests, 1);

    Closing(db.connection(), ChangeContext {QStringLiteral("ilka"), [] { return tuesday; }})
        .close(id, *OfficeTime::parse(QStringLiteral("2026-03-09 17:00")),
               QStringLiteral("Gehen vergessen"));

    const ClockStart open = startClock(executable, QStringLiteral("anna"), tuesday);
    QVERIFY(open.messages.isEmpty());
    QCOMPARE(open.endRequests, 0);
    QCOMPARE(open.employee, QStringLiteral("Anna Berg"));
    QCOMPARE(open.richtung, QStringLiteral("Kommt"));
    QCOMPARE(open.offenId, 0);
}

QTEST_MAIN(tst_OfficeClock)
#include "tst_office_clock.moc"
