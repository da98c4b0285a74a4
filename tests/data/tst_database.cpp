// The time-recording database itself: engines, tables and their limits, creation and
// protection. The same cases on SQLite and on PostgreSQL where both have them.

#include "Database.h"
#include "Failure.h"
#include "TestDatabase.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest/QtTest>

using TestSupport::failureOf;
using TestSupport::TestDatabase;

namespace {

bool isSQLite()
{
    return TestSupport::engine() == Database::Engine::SQLite;
}

// Opens a connection of the test's own, runs `use` on it and removes it again.
void withConnection(const QString &path, const QByteArray &password,
                    const std::function<void(QSqlDatabase &)> &use)
{
    const QString name = QStringLiteral("tst_database");
    {
        QSqlDatabase db = Database::open(name, path, password, QString());
        use(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QString journalMode(QSqlDatabase &db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("PRAGMA journal_mode")) && query.next()
        ? query.value(0).toString()
        : query.lastError().text();
}

} // namespace

class TestDatabaseTables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZE_INIT_ENGINE(); }

    void engineOf_data();
    void engineOf();
    void zeitenColumnOrder();
    void textLimits_data();
    void textLimits();
    void idsAreNotReused();
    void initialiseRefusesInitialisedDatabase();
    void sqliteInitialiseCreatesNothingOnFailure();
    void sqliteUsesRollbackJournal();
    void sqlitePasswordIsNotStored();
    void sqliteDamagedProtection_data();
    void sqliteDamagedProtection();
};

void TestDatabaseTables::engineOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("postgresql");
    QTest::newRow("postgresql URL") << "postgresql://u@host:5432/zeit" << true;
    QTest::newRow("postgres URL") << "postgres://host/zeit" << true;
    QTest::newRow("scheme in capitals") << "PostgreSQL://host/zeit" << true;
    QTest::newRow("absolute file") << "/srv/zeit/zeiterfassung.db" << false;
    QTest::newRow("file named like the engine") << "postgresql.db" << false;
    QTest::newRow("file in a folder named like a URL") << "data/postgresql://x" << false;
    QTest::newRow("Windows path") << "X:\\zeit\\zeiten.mdb" << false;
}

void TestDatabaseTables::engineOf()
{
    QFETCH(QString, path);
    QFETCH(bool, postgresql);
    QCOMPARE(Database::engineOf(path) == Database::Engine::PostgreSQL, postgresql);
}

void TestDatabaseTables::zeitenColumnOrder()
{
    TestDatabase db;
    QSqlQuery query(db.connection());
    QVERIFY(query.exec(QStringLiteral("select * from zeiten")));
    QStringList names;
    for (int i = 0; i < query.record().count(); ++i)
        names << query.record().fieldName(i).toLower();
    QCOMPARE(names,
             (QStringList {"id", "maid", "anwesend", "zeitkommt", "zeitgeht", "bemerkung",
                           "korrekturkommt", "korrekturgeht", "typgeht", "bemerkung2"}));
}

void TestDatabaseTables::textLimits_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stored");

    const QString m = QStringLiteral("mitarbeiter");
    const QString z = QStringLiteral("zeiten");
    const QString smiley = QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("Vorname of 50 characters") << m << "vorname" << QString(50, 'v') << true;
    QTest::newRow("Vorname of 51 characters") << m << "vorname" << QString(51, 'v') << false;
    QTest::newRow("Nachname of 51 characters") << m << "nachname" << QString(51, 'n') << false;
    QTest::newRow("logon of 128 characters") << m << "logon" << QString(128, 'l') << true;
    QTest::newRow("logon of 129 characters") << m << "logon" << QString(129, 'l') << false;
    QTest::newRow("Bemerkung of 51 characters") << z << "bemerkung" << QString(51, 'b') << false;
    QTest::newRow("Bemerkung2 of 51 characters") << z << "bemerkung2" << QString(51, 'b') << false;
    QTest::newRow("50 umlauts are 50 characters")
        << z << "bemerkung" << QString(50, QChar(0xE4)) << true;
    QTest::newRow("50 characters outside the BMP")
        << z << "bemerkung2" << smiley.repeated(50) << true;
    QTest::newRow("51 characters outside the BMP")
        << z << "bemerkung2" << smiley.repeated(51) << false;
}

void TestDatabaseTables::textLimits()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(bool, stored);

    TestDatabase db;
    {
        QSqlQuery query(db.connection());
        QVERIFY(query.prepare(QStringLiteral("insert into %1 (%2) values (?)").arg(table, column)));
        query.addBindValue(text);
        QCOMPARE(query.exec(), stored);
    }
    QCOMPARE(db.scalar(QStringLiteral("select %1 from %2").arg(column, table)),
             stored ? QVariant(text) : QVariant());
}

void TestDatabaseTables::idsAreNotReused()
{
    TestDatabase db;
    const int first = db.addZeiten({0, 1, true, 46000.0});
    const int second = db.addZeiten({0, 1, true, 46001.0});
    QVERIFY(second > first);
    db.execute(QStringLiteral("delete from zeiten where id=?"), {second});
    // An ID once handed out never names another record later.
    QVERIFY(db.addZeiten({0, 1, true, 46002.0}) > second);
}

void TestDatabaseTables::initialiseRefusesInitialisedDatabase()
{
    TestDatabase db;
    db.addEmployee(QStringLiteral("anna"), QStringLiteral("Anna"), QStringLiteral("Berg"));
    const QString failure = failureOf([&] {
        Database::initialise(QStringLiteral("again"), QString::fromUtf8(db.main()), db.password());
    });
    QVERIFY2(failure.startsWith(QLatin1String("The database already holds the table ")),
             qPrintable(failure));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from mitarbeiter")).toInt(), 1);
}

void TestDatabaseTables::sqliteInitialiseCreatesNothingOnFailure()
{
    if (!isSQLite())
        QSKIP("SQLite files only");
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notizen.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray content(2048, 'n');
    file.write(content);
    file.close();

    QCOMPARE(failureOf([&] { Database::initialise(QStringLiteral("init"), text, QByteArray()); }),
             QStringLiteral("file is not a database"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);

    const QString missing = dir.filePath(QStringLiteral("fehlt/zeiten.db"));
    QVERIFY(failureOf([&] { Database::initialise(QStringLiteral("init"), missing, {}); })
            != QLatin1String("(no failure)"));
    QVERIFY(!QFile::exists(missing));
}

void TestDatabaseTables::sqliteUsesRollbackJournal()
{
    if (!isSQLite())
        QSKIP("SQLite files only");
    TestDatabase db;
    const QString path = QString::fromUtf8(db.main());
    withConnection(path, {}, [](QSqlDatabase &c) {
        QCOMPARE(journalMode(c), QStringLiteral("delete"));
        // Someone switches the file to WAL, which a network share cannot carry.
        QSqlQuery(c).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        QCOMPARE(journalMode(c), QStringLiteral("wal"));
    });
    withConnection(path, {},
                   [](QSqlDatabase &c) { QCOMPARE(journalMode(c), QStringLiteral("delete")); });
}

void TestDatabaseTables::sqlitePasswordIsNotStored()
{
    if (!isSQLite())
        QSKIP("SQLite files only");
    const QByteArray password("Kennwort-im-Klartext");
    TestDatabase db(password);
    QFile file(QString::fromUtf8(db.main()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains(password));
    QCOMPARE(db.scalar(QStringLiteral("select Verfahren from Kennwortpruefung")).toString(),
             QStringLiteral("pbkdf2-hmac-sha256"));
    QVERIFY(db.scalar(QStringLiteral("select Runden from Kennwortpruefung")).toInt() >= 10000);
}

void TestDatabaseTables::sqliteDamagedProtection_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");
    QTest::newRow("verifier removed") << "delete from Kennwortpruefung"
                                      << "The password protection of the database is damaged";
    QTest::newRow("unknown method") << "update Kennwortpruefung set Verfahren='rot13'"
                                    << "Unknown password protection: rot13";
    QTest::newRow("rounds that would stall the start")
        << "update Kennwortpruefung set Runden=2000000000"
        << "Unknown password protection: pbkdf2-hmac-sha256";
    QTest::newRow("digest changed") << "update Kennwortpruefung set Pruefwert='AAAA'"
                                    << "Not a valid password";
}

void TestDatabaseTables::sqliteDamagedProtection()
{
    QFETCH(QString, damage);
    QFETCH(QString, message);
    if (!isSQLite())
        QSKIP("SQLite files only");
    TestDatabase db("geheim");
    db.execute(damage);
    QCOMPARE(failureOf([&] {
                 withConnection(QString::fromUtf8(db.main()), "geheim", [](QSqlDatabase &) {});
             }),
             message);
}

QTEST_GUILESS_MAIN(TestDatabaseTables)

#include "tst_database.moc"
