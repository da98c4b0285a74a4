// zeiterfassung-admin against a real database, the same cases on SQLite and PostgreSQL.

#include "AdminProcess.h"
#include "Configuration.h"
#include "DateTimeValue.h"
#include "TestDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest/QTest>

using TestSupport::TestDatabase;

namespace {

// --db and --password naming a test database.
QStringList target(const QString &main, const QByteArray &password)
{
    QStringList arguments {"--db", main};
    if (!password.isEmpty())
        arguments << "--password" << QString::fromUtf8(password);
    return arguments;
}

QStringList target(const TestDatabase &db)
{
    return target(QString::fromUtf8(db.main()), db.password());
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class tst_AdminDb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZE_INIT_ENGINE(); }
    void initOnEmptyDatabaseOnce();
    void employeeRoundTrip();
    void employeeRefusals_data();
    void employeeRefusals();
    void configurationFileAsSource();
    void protectedSQLiteFile();
    void reportPdfFromAScript();
    void demoSetup();
};

void tst_AdminDb::initOnEmptyDatabaseOnce()
{
    // An empty database: on SQLite a file that does not exist yet, on PostgreSQL a
    // database of the cluster whose tables are taken away again.
    TestDatabase db;
    QStringList arguments;
    QString sqliteFile;
    if (db.engine() == Database::Engine::SQLite) {
        sqliteFile = QDir(db.directory()).filePath("neu.db");
        arguments = target(sqliteFile, {});
    } else {
        // Plain statements: PostgreSQL cannot prepare DDL.
        QSqlQuery drop(db.connection());
        QVERIFY(drop.exec("drop table zeiten"));
        QVERIFY(drop.exec("drop table mitarbeiter"));
        arguments = target(db);
    }

    AdminRun run = admin(QStringList {"init"} + arguments);
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(run.err, QString());
    if (!sqliteFile.isEmpty())
        QVERIFY(QFileInfo(sqliteFile).isFile());

    run = admin(
        QStringList {"employee", "add", "--logon", "anna", "--first", "Anna", "--last", "Berg"}
        + arguments);
    ZE_COMPARE_EXIT(run, 0);

    run = admin(QStringList {"init"} + arguments);
    ZE_COMPARE_EXIT(run, 1);
    QVERIFY2(run.err.contains("already holds the table"), qPrintable(run.err));
    QVERIFY2(run.oneErrorLine(), qPrintable(run.err));

    // The refused second init left the first one's content alone.
    run = admin(QStringList {"employee", "list"} + arguments);
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(run.out.count('\n'), 1);
    QVERIFY2(run.out.contains("\tanna\tAnna Berg\n"), qPrintable(run.out));
}

void tst_AdminDb::employeeRoundTrip()
{
    TestDatabase db;
    struct Employee
    {
        QString logon, first, last;
    };
    const QList<Employee> employees {
        {"anna", "Anna", "Berg"},
        {"o'brien", "Seán", "O'Brien"},
        {"x\"; drop table mitarbeiter; --", "Zoë", QString(50, 'L')},
    };

    QStringList expected;
    QList<int> ids;
    for (const Employee &employee : employees) {
        const AdminRun run = admin(QStringList {"employee", "add", "--logon", employee.logon,
                                                "--first", employee.first, "--last", employee.last}
                                   + target(db));
        ZE_COMPARE_EXIT(run, 0);
        QCOMPARE(run.err, QString());
        bool ok = false;
        const int id = run.out.trimmed().toInt(&ok);
        QVERIFY2(ok && run.out.endsWith('\n') && !ids.contains(id), qPrintable(run.out));
        ids << id;
        expected << QStringLiteral("%1\t%2\t%3 %4\n")
                        .arg(id)
                        .arg(employee.logon, employee.first, employee.last);
        // Stored exactly as typed, under the ID that was printed.
        QCOMPARE(db.scalar("select logon from mitarbeiter where id=?", {id}).toString(),
                 employee.logon);
    }

    const AdminRun run = admin(QStringList {"employee", "list"} + target(db));
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(run.out, expected.join(QString()));
}

void tst_AdminDb::employeeRefusals_data()
{
    QTest::addColumn<QString>("logon");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("message");

    QTest::newRow("logon taken") << "anna"
                                 << "Anna"
                                 << "Zweite"
                                 << "exists already (ID ";
    QTest::newRow("first name of 51 characters") << "bert" << QString(51, 'F') << "Berg"
                                                 << "--first holds 51 characters";
    QTest::newRow("last name of 51 characters, counted as characters")
        << "bert"
        << "Bert" << QString(51, QChar(0x00E4)) << "--last holds 51 characters";
    QTest::newRow("line break in a name") << "bert"
                                          << "Bert"
                                          << "Berg\nBerg"
                                          << "--last holds a control character";
    QTest::newRow("logon longer than a login name can be") << QString(128, 'l') << "Bert"
                                                           << "Berg"
                                                           << "--logon holds 128 characters";
}

void tst_AdminDb::employeeRefusals()
{
    QFETCH(QString, logon);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, message);

    TestDatabase db;
    db.addEmployee("anna", "Anna", "Berg");
    const AdminRun run
        = admin(QStringList {"employee", "add", "--logon", logon, "--first", first, "--last", last}
                + target(db));
    ZE_COMPARE_EXIT(run, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.oneErrorLine(), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(db.scalar("select count(*) from mitarbeiter").toInt(), 1);
}

void tst_AdminDb::configurationFileAsSource()
{
    // The file written by config is the one the clock reads; the commands read it the same
    // way with --ini, password included.
    TestDatabase db;
    const QString ini = QDir(db.directory()).filePath("Zeiterfassung.ini");
    AdminRun run = admin(QStringList {"config", "--ini", ini} + target(db));
    ZE_COMPARE_EXIT(run, 0);

    run = admin(
        {"employee", "add", "--ini", ini, "--logon", "anna", "--first", "Anna", "--last", "Berg"});
    ZE_COMPARE_EXIT(run, 0);
    const QString id = run.out.trimmed();

    run = admin({"employee", "list", "--ini", ini});
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(run.out, id + "\tanna\tAnna Berg\n");
}

void tst_AdminDb::protectedSQLiteFile()
{
    if (TestSupport::engine() != Database::Engine::SQLite)
        QSKIP("SQLite keeps a password of its own; PostgreSQL's is the server role's");

    // The password given to init must be the one that opens the file afterwards.
    QTemporaryDir directory;
    const QString file = directory.filePath("geschuetzt.db");
    AdminRun run = admin(QStringList {"init"} + target(file, "Päßwort 1"));
    ZE_COMPARE_EXIT(run, 0);

    run = admin(QStringList {"employee", "list"} + target(file, "Päßwort 1"));
    ZE_COMPARE_EXIT(run, 0);

    for (const QByteArray &wrong : {QByteArray("Passwort 1"), QByteArray()}) {
        run = admin(QStringList {"employee", "list"} + target(file, wrong));
        ZE_COMPARE_EXIT(run, 1);
        QVERIFY2(run.err.contains("Not a valid password"), qPrintable(run.err));
    }
}

void tst_AdminDb::reportPdfFromAScript()
{
    // Run from cron or over ssh, without the runtime folder of a desktop session: standard
    // error holds the tool's own message and nothing else.
    qunsetenv("XDG_RUNTIME_DIR");
    TestDatabase db;
    TestSupport::ZeitenRow row;
    row.maid = db.addEmployee("anna", "Anna", "Berg");
    row.anwesend = false;
    row.zeitkommt = DateTimeValue::fromDateTime(QDateTime(QDate(2026, 3, 2), QTime(8, 0)));
    row.zeitgeht = DateTimeValue::fromDateTime(QDateTime(QDate(2026, 3, 2), QTime(16, 0)));
    db.addZeiten(row);
    const QString pdf = QDir(db.directory()).filePath("märz.pdf");

    AdminRun run = admin(QStringList {"report", "--month", "2026-03", "--pdf", pdf} + target(db));
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(run.err, QString());
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");

    run = admin(QStringList {"report", "--month", "2026-03", "--pdf", pdf + "/nowhere.pdf"}
                + target(db));
    ZE_COMPARE_EXIT(run, 1);
    QVERIFY2(run.oneErrorLine(), qPrintable(run.err));
}

void tst_AdminDb::demoSetup()
{
    if (TestSupport::engine() != Database::Engine::SQLite)
        QSKIP("the demo database is an SQLite file");

    QTemporaryDir build;
    QVERIFY(QFile::link(QStringLiteral(ZE_ADMIN_BINARY), build.filePath("zeiterfassung-admin")));
    const QString demoDb = build.filePath("zeiterfassung-demo.db");
    const QString ini = build.filePath("Zeiterfassung.ini");

    AdminRun run = runProgram(QStringLiteral(ZE_DEMO_SETUP), {build.path()});
    ZE_COMPARE_EXIT(run, 0);
    QVERIFY2(run.out.contains(demoDb) && run.out.contains(ini), qPrintable(run.out));

    // The clock beside the demo database finds it through its configuration file, and
    // finds the one running it among the employees.
    const Configuration configuration = ReadConfiguration(build.filePath("Zeiterfassung"));
    QCOMPARE(QString::fromUtf8(configuration.databasePath), demoDb);
    QCOMPARE(configuration.password, QByteArray());
    const QString me = runProgram("id", {"-un"}).out.trimmed();
    QVERIFY(!me.isEmpty());
    run = admin({"employee", "list", "--db", demoDb});
    ZE_COMPARE_EXIT(run, 0);
    QVERIFY2(run.out.contains('\t' + me + '\t'), qPrintable(run.out));
    QVERIFY2(run.out.count('\n') >= 3, qPrintable(run.out));

    // A second run leaves both files as they are.
    const QByteArray dbBefore = fileHash(demoDb);
    const QByteArray iniBefore = fileHash(ini);
    run = runProgram(QStringLiteral(ZE_DEMO_SETUP), {build.path()});
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(run.out.count("left as it is"), 2);
    QCOMPARE(fileHash(demoDb), dbBefore);
    QCOMPARE(fileHash(ini), iniBefore);
}

QTEST_GUILESS_MAIN(tst_AdminDb)
#include "tst_admin_db.moc"
