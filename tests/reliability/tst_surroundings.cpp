// The clock in broken surroundings (a database it may not write, a damaged file, a table
// or column missing or of another kind) and with hostile text in login names and remarks.
// The same cases on SQLite and on PostgreSQL, where they apply.

#include "ClockRun.h"
#include "DateTimeValue.h"
#include "DriverProcess.h"
#include "TestDatabase.h"

#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QStandardPaths>
#include <QtTest/QtTest>

#include <unistd.h>

using TestSupport::TestDatabase;
using TestSupport::ZeitenRow;

namespace {

double today(int hour, int minute)
{
    return DateTimeValue::fromDate(QDate::currentDate()) + (hour * 60 + minute) / 1440.0;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The first `count` characters, a character outside the Basic Multilingual Plane as one.
QString firstCharacters(const QString &text, int count)
{
    const QList<uint> characters = text.toUcs4();
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(characters.constData()),
                             qMin<qsizetype>(count, characters.size()));
}

enum class Breakage {
    ReadOnlyFile,
    FolderNotWritable,
    Truncated,
    Corrupt,
    NotADatabase,
    TableMissing,
    ColumnMissing,
    ColumnOfOtherKind,
};

// An office whose records must survive whatever the clock of "hans" does: a colleague who
// is present, with an earlier closed record.
struct Office
{
    Office()
    {
        const int kollege = db.addEmployee(QStringLiteral("kollege"), QStringLiteral("Karl"),
                                           QStringLiteral("Kollege"));
        db.addZeiten({0,
                      kollege,
                      false,
                      today(6, 0) - 1,
                      today(15, 0) - 1,
                      "gestern",
                      0,
                      0,
                      {},
                      "Feierabend"});
        db.addZeiten({0, kollege, true, today(6, 0), {}, "Frueh", 1});
        hans = db.addEmployee(QStringLiteral("hans"), QStringLiteral("Hans"),
                              QStringLiteral("Huber"));
        exe = TestSupport::writeIni(db.directory(), db.main(), db.password());
    }

    TestDatabase db;
    int hans = 0;
    QString exe;
};

} // namespace

class TestSurroundings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZE_INIT_ENGINE(); }

    void brokenSurroundings_data();
    void brokenSurroundings();
    void hostileRemark_data();
    void hostileRemark();
    void hostileLogonName_data();
    void hostileLogonName();

private:
    void breakDatabase(Office &office, Breakage breakage);
};

void TestSurroundings::brokenSurroundings_data()
{
    QTest::addColumn<Breakage>("breakage");
    QTest::addColumn<bool>("fileOnly"); // only an SQLite file can be broken this way
    QTest::addColumn<bool>("permissions");
    QTest::addColumn<QString>("message"); // a part of the message the user reads

    QTest::newRow("database file read-only")
        << Breakage::ReadOnlyFile << true << true << "nur zum Lesen";
    QTest::newRow("its folder not writable")
        << Breakage::FolderNotWritable << true << true << "readonly database";
    QTest::newRow("file cut in half") << Breakage::Truncated << true << false << "malformed";
    QTest::newRow("pages overwritten") << Breakage::Corrupt << true << false << "malformed";
    QTest::newRow("not a database")
        << Breakage::NotADatabase << true << false << "file is not a database";
    QTest::newRow("table Zeiten missing") << Breakage::TableMissing << false << false << "zeiten";
    QTest::newRow("column Bemerkung missing")
        << Breakage::ColumnMissing << false << false << "Das Feld 'Bemerkung' wurde nicht gefunden";
    QTest::newRow("column KorrekturKommt of another kind")
        << Breakage::ColumnOfOtherKind << false << false
        << "Unterschiedliche Typen für Feld 'KorrekturKommt'";
}

void TestSurroundings::breakDatabase(Office &office, Breakage breakage)
{
    TestDatabase &db = office.db;
    const QString file = QString::fromUtf8(db.main());
    const bool sqlite = db.engine() == Database::Engine::SQLite;
    {
        // The fixture's connection would keep the file open and its pages cached.
        QSqlDatabase connection = db.connection();
        connection.close();
    }
    switch (breakage) {
    case Breakage::ReadOnlyFile:
        QVERIFY(
            QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        break;
    case Breakage::FolderNotWritable:
        QVERIFY(QFile::setPermissions(file,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                          | QFile::WriteGroup | QFile::ReadOther
                                          | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(db.directory(),
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                          | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        break;
    case Breakage::Truncated:
        QVERIFY(QFile::resize(file, QFileInfo(file).size() / 2));
        break;
    case Breakage::Corrupt: {
        // Every page after the first, where the tables' rows lie.
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek(4096));
        f.write(QByteArray(int(f.size() - 4096), '\xa5'));
        break;
    }
    case Breakage::NotADatabase: {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("Zeiterfassung, Sicherung vom Montag\n").repeated(200));
        break;
    }
    case Breakage::TableMissing:
        db.execute(QStringLiteral("drop table Zeiten"));
        break;
    case Breakage::ColumnMissing:
        db.execute(QStringLiteral("alter table Zeiten drop column Bemerkung"));
        break;
    case Breakage::ColumnOfOtherKind:
        if (!sqlite) {
            db.execute(QStringLiteral("alter table Zeiten alter column KorrekturKommt "
                                      "type varchar(10)"));
            break;
        }
        // SQLite changes no column's type in place: the table is made again.
        db.execute(QStringLiteral("create table Zeiten2 (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                  "MAid INTEGER, Anwesend BOOLEAN NOT NULL DEFAULT 0, "
                                  "Zeitkommt DOUBLE, Zeitgeht DOUBLE, Bemerkung TEXT, "
                                  "KorrekturKommt TEXT, Korrekturgeht INTEGER, typgeht INTEGER, "
                                  "Bemerkung2 TEXT)"));
        db.execute(QStringLiteral("insert into Zeiten2 select ID, MAid, Anwesend, Zeitkommt, "
                                  "Zeitgeht, Bemerkung, KorrekturKommt, Korrekturgeht, typgeht, "
                                  "Bemerkung2 from Zeiten"));
        db.execute(QStringLiteral("drop table Zeiten"));
        db.execute(QStringLiteral("alter table Zeiten2 rename to Zeiten"));
        break;
    }
}

void TestSurroundings::brokenSurroundings()
{
    QFETCH(Breakage, breakage);
    QFETCH(bool, fileOnly);
    QFETCH(bool, permissions);
    QFETCH(QString, message);

    if (fileOnly && TestSupport::engine() != Database::Engine::SQLite)
        QSKIP("a PostgreSQL database has no file of its own");
    // Root writes whatever the permissions say: the clock then runs as "nobody", from a
    // copy of the driver in a folder every user can reach (the build tree may lie in a
    // folder that is root's alone, such as a clone under /root).
    QStringList prefix;
    QTemporaryDir driverFolder;
    QString program;
    if (permissions && geteuid() == 0) {
        const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
        if (runuser.isEmpty())
            QSKIP("running as root, and runuser is missing to run the clock as another user");
        prefix << runuser << QStringLiteral("-u") << QStringLiteral("nobody")
               << QStringLiteral("--");
        const QFile::Permissions everyoneRuns = QFile::ReadOwner | QFile::WriteOwner
            | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::ExeOther;
        QVERIFY(driverFolder.isValid());
        program = driverFolder.filePath(QStringLiteral("ze-clock-driver"));
        QVERIFY(QFile::copy(driverProgram(), program));
        QVERIFY(QFile::setPermissions(driverFolder.path(), everyoneRuns));
        QVERIFY(QFile::setPermissions(program, everyoneRuns));
    }

    Office office;
    const QList<ZeitenRow> before = office.db.zeiten();
    const QString file = QString::fromUtf8(office.db.main());
    // The temporary folder is the owner's alone; the other user must reach the file.
    QFile::setPermissions(office.db.directory(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                              | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    breakDatabase(office, breakage);
    if (QTest::currentTestFailed())
        return;
    const QByteArray hashBefore = fileOnly ? fileHash(file) : QByteArray();

    // Whatever the outcome, the folder can be cleared away again afterwards.
    struct RestorePermissions
    {
        QString directory, file;
        void operator()() const
        {
            QFile::setPermissions(directory,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        }
        ~RestorePermissions() { (*this)(); }
    } restore {office.db.directory(), file};

    QStringList failures;
    {
        DriverProcess clock(office.exe, QStringLiteral("hans"), prefix, program);
        QVERIFY2(clock.waitReady(), qPrintable(clock.transcript()));
        failures = clock.startFailures;
        clock.book(QStringLiteral("trotzdem"));
        QVERIFY2(clock.waitReply(), qPrintable(clock.transcript()));
        QVERIFY2(!clock.booked, "a booking into a broken database reported success");
        QVERIFY(!clock.endAfterBooking); // the window stays open for another try
        failures << clock.failure;
    }
    restore(); // the checks below read the file as its owner

    // Clear: the user reads what is wrong, at start-up or at the booking.
    const QString shown = failures.join(QLatin1Char('\n'));
    QVERIFY2(shown.contains(message, Qt::CaseInsensitive), qPrintable(shown));
    // Nothing lost: a damaged file is left as it was, a readable database keeps its rows.
    if (fileOnly && !permissions)
        QCOMPARE(fileHash(file), hashBefore);
    else if (breakage == Breakage::ColumnMissing)
        QCOMPARE(office.db.scalar(QStringLiteral("select count(*) from Zeiten")).toInt(),
                 before.size());
    else if (breakage != Breakage::TableMissing)
        QCOMPARE(office.db.zeiten(), before);
}

void TestSurroundings::hostileRemark_data()
{
    QTest::addColumn<bool>("departure");
    QTest::addColumn<QString>("typed");
    // The message that refuses the text, with nothing stored; empty when it is stored.
    QTest::addColumn<QString>("refusal");

    const QString nulRefused
        = QStringLiteral("Ein Text enthält das Zeichen NUL (#0); die Datenbank nimmt ihn nicht an");
    const struct
    {
        const char *name;
        QString text;
        QString refusal;
    } remarks[] = {
        {"quotes", QStringLiteral("O'Brien sagt \"Tsch\u00fcss\" ''"), {}},
        {"statement after a quote", QStringLiteral("x'); delete from zeiten; --"), {}},
        {"departure's own columns",
         QStringLiteral("', bemerkung2='', anwesend=true where 1=1 --"),
         {}},
        {"colons and markers", QStringLiteral("Termin: :id :1 ? $1 %s"), {}},
        {"NUL inside", QStringLiteral("vor") + QChar(0) + QStringLiteral("nach"), nulRefused},
        {"NUL beyond the cut", QString(50, QLatin1Char('x')) + QChar(0), {}},
        {"8-bit characters",
         QStringLiteral("Gr\u00fc\u00dfe, \u00c4rger, \u00a9 \u00b0 \u00b1"),
         {}},
        {"multi-byte characters",
         QStringLiteral("\u65e5\u672c\u8a9e \U0001F600 \u0639\u0631\u0628\u064a"),
         {}},
        {"character outside the BMP at the cut",
         QString(49, QLatin1Char('x')) + QStringLiteral("\U0001F600yy"),
         {}},
        {"50 characters outside the BMP", QString(QStringLiteral("\U0001F600")).repeated(60), {}},
        {"10,000 characters", QString(10000, QLatin1Char('z')), {}},
    };
    for (bool departure : {false, true}) {
        for (const auto &remark : remarks)
            QTest::addRow("%s, %s", departure ? "departure" : "arrival", remark.name)
                << departure << remark.text << remark.refusal;
    }
}

void TestSurroundings::hostileRemark()
{
    QFETCH(bool, departure);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);

    Office office;
    const int open = departure ? office.db.addZeiten({0, office.hans, true, today(7, 0)}) : 0;
    const QList<ZeitenRow> before = office.db.zeiten();

    ClockRun run(QStringLiteral("hans"));
    run.start(office.exe);
    QCOMPARE(run.failures, QStringList());
    QCOMPARE(run.offenId(), open);
    run.book(typed);
    const QList<ZeitenRow> after = office.db.zeiten();

    if (!refusal.isEmpty()) {
        // The same words on both engines, and the window stays open.
        QCOMPARE(run.failures, QStringList {refusal});
        QVERIFY(!run.endRequested);
        QCOMPARE(after, before);
        return;
    }
    QCOMPARE(run.failures, QStringList());
    QVERIFY(run.endRequested);
    QCOMPARE(after.size(), before.size() + (departure ? 0 : 1));
    ZeitenRow changed = after.last();
    for (const ZeitenRow &row : after) {
        if (departure && row.id == open)
            changed = row;
    }
    QCOMPARE(changed.maid, QVariant(office.hans));
    QCOMPARE((departure ? changed.bemerkung2 : changed.bemerkung).toString(),
             firstCharacters(typed, 50));
    for (const ZeitenRow &row : before) {
        if (row.id != open)
            QVERIFY2(after.contains(row), qPrintable(toString(row)));
    }
}

void TestSurroundings::hostileLogonName_data()
{
    QTest::addColumn<QString>("logon");
    QTest::addColumn<bool>("isEmployee"); // an employee has exactly this login name

    QTest::newRow("single quote") << "o'neil" << true;
    QTest::newRow("double quotes") << "ein\"zwei" << true;
    QTest::newRow("condition in double quotes") << "x\" or \"1\"=\"1" << true;
    QTest::newRow("condition after a quote") << "' or 1=1 --" << true;
    QTest::newRow("colon and markers") << "a:b ? $1" << true;
    QTest::newRow("domain and backslash") << "FIRMA\\hans" << true;
    QTest::newRow("8-bit characters") << QStringLiteral("j\u00fcrgen.wei\u00df") << true;
    QTest::newRow("multi-byte characters") << QStringLiteral("\u540d\u524d\U0001F600") << true;
    QTest::newRow("NUL after another's name") << QStringLiteral("x") + QChar(0) + "y" << false;
    QTest::newRow("another's name and a blank") << "x " << false;
    QTest::newRow("10,000 characters, the first 128 another's")
        << QString(10000, QLatin1Char('a')) << false;
}

void TestSurroundings::hostileLogonName()
{
    QFETCH(QString, logon);
    QFETCH(bool, isEmployee);

    Office office;
    // Everyone's login name is hostile; "x" and 128 times "a" stand beside the rows' names.
    int expected = 0;
    QStringList names;
    for (const char *name :
         {"o'neil", "ein\"zwei", "x\" or \"1\"=\"1", "' or 1=1 --", "a:b ? $1", "FIRMA\\hans", "x"})
        names << QString::fromUtf8(name);
    names << QStringLiteral("j\u00fcrgen.wei\u00df") << QStringLiteral("\u540d\u524d\U0001F600")
          << QString(128, QLatin1Char('a'));
    for (const QString &name : names) {
        const int id = office.db.addEmployee(name, QStringLiteral("Vor"), QStringLiteral("Nach"));
        if (name == logon)
            expected = id;
    }
    QCOMPARE(expected != 0, isEmployee);
    const QList<ZeitenRow> before = office.db.zeiten();

    ClockRun run(logon);
    run.start(office.exe);
    QCOMPARE(run.maid(), expected);
    if (!isEmployee) {
        // No employee: the program ends without a message, or says why it cannot look.
        QVERIFY(run.endRequested || !run.failures.isEmpty());
        QCOMPARE(office.db.zeiten(), before);
        return;
    }
    QCOMPARE(run.failures, QStringList());
    QVERIFY(!run.endRequested);
    run.book(QStringLiteral("da"));
    QCOMPARE(run.failures, QStringList());
    const QList<ZeitenRow> after = office.db.zeiten();
    QCOMPARE(after.size(), before.size() + 1);
    QCOMPARE(after.last().maid, QVariant(expected));
    QCOMPARE(after.mid(0, before.size()), before);
}

QTEST_MAIN(TestSurroundings)
#include "tst_surroundings.moc"
