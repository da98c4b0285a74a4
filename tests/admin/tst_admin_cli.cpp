// The command line of zeiterfassung-admin without a database behind it: usage errors,
// help, and the configuration file that the config command writes for the clock.

#include "AdminProcess.h"
#include "Configuration.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class tst_AdminCli : public QObject
{
    Q_OBJECT

private slots:
    void usageErrors_data();
    void usageErrors();
    void help_data();
    void help();
    void configRoundTrip_data();
    void configRoundTrip();
    void configRefusals_data();
    void configRefusals();
    void relativePathInConfigurationFile();
    void failuresBeforeConnecting_data();
    void failuresBeforeConnecting();
};

void tst_AdminCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("no command") << QStringList {} << "no command given";
    QTest::newRow("unknown command")
        << QStringList {"frobnicate"} << "unknown command 'frobnicate'";
    QTest::newRow("group without sub-command") << QStringList {"employee"} << "missing sub-command";
    QTest::newRow("unknown sub-command")
        << QStringList {"employee", "fire"} << "unknown sub-command 'fire'";
    QTest::newRow("unknown option")
        << QStringList {"init", "--db", "a.db", "--force"} << "Unknown option 'force'";
    QTest::newRow("missing --db") << QStringList {"init"} << "missing option --db";
    QTest::newRow("option without value") << QStringList {"init", "--db"} << "Missing value";
    QTest::newRow("empty logon") << QStringList {"employee", "add",     "--db", "a.db",   "--logon",
                                                 "",         "--first", "A",    "--last", "B"}
                                 << "option --logon needs a value";
    QTest::newRow("missing name") << QStringList {"employee", "add",  "--db",    "a.db",
                                                  "--logon",  "anna", "--first", "A"}
                                  << "missing option --last";
    QTest::newRow("repeated option")
        << QStringList {"init", "--db", "a.db", "--db", "b.db"} << "more than once";
    QTest::newRow("stray argument")
        << QStringList {"init", "--db", "a.db", "extra"} << "unexpected argument 'extra'";
    QTest::newRow("--ini beside --db")
        << QStringList {"employee", "list", "--ini", "x.ini", "--db", "a.db"} << "--ini excludes";
    QTest::newRow("config without --ini")
        << QStringList {"config", "--db", "a.db"} << "missing option --ini";
}

void tst_AdminCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    QTemporaryDir directory;
    const AdminRun run = admin(arguments, directory.path());
    ZE_COMPARE_EXIT(run, 2);
    QVERIFY2(run.err.startsWith("zeiterfassung-admin"), qPrintable(run.err));
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.oneErrorLine(), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    // A refused command line does nothing: no database or file appears.
    QCOMPARE(QDir(directory.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}

void tst_AdminCli::help_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("mentions");

    QTest::newRow("overview") << QStringList {"--help"}
                              << QStringList {"init", "employee add", "employee list", "config"};
    QTest::newRow("group") << QStringList {"employee", "--help"}
                           << QStringList {"employee add", "employee list"};
    QTest::newRow("employee add") << QStringList {"employee", "add", "--help"}
                                  << QStringList {"Usage: zeiterfassung-admin employee add",
                                                  "--logon", "--first", "--last", "--ini"};
    QTest::newRow("config, short option")
        << QStringList {"config", "-h"} << QStringList {"--ini", "--db", "--password"};
}

void tst_AdminCli::help()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, mentions);

    const AdminRun run = admin(arguments);
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(run.err, QString());
    for (const QString &mention : mentions)
        QVERIFY2(run.out.contains(mention), qPrintable(mention + " missing in:\n" + run.out));
}

void tst_AdminCli::configRoundTrip_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("password");

    QTest::newRow("file path with blanks and umlauts") << "/srv/Zeit Erfassung/Büro.db"
                                                       << "geheim";
    QTest::newRow("postgresql URL, password with quotes inside")
        << "postgresql://zeit@db.example:5432/zeiten?sslmode=require"
        << "a'b\"c d";
    QTest::newRow("no password") << "zeiten.db"
                                 << "";
    QTest::newRow("password with umlauts") << "zeiten.db"
                                           << "Päßwört";
    QTest::newRow("password of 255 bytes") << "zeiten.db" << QString(255, 'p');
    QTest::newRow("path of 2047 bytes") << "/" + QString(2046, 'd') << "x";
}

void tst_AdminCli::configRoundTrip()
{
    QFETCH(QString, database);
    QFETCH(QString, password);

    QTemporaryDir directory;
    const QString program = directory.filePath("Zeiterfassung");
    QStringList arguments {"config", "--ini", program + ".ini", "--db", database};
    if (!password.isEmpty())
        arguments << "--password" << password;
    const AdminRun run = admin(arguments);
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(run.err, QString());

    const Configuration configuration = ReadConfiguration(program);
    QCOMPARE(configuration.databasePath, database.toUtf8());
    QCOMPARE(configuration.password, password.toUtf8());
    if (!password.isEmpty())
        QVERIFY(!readFile(program + ".ini").contains(password.toUtf8()));
}

void tst_AdminCli::configRefusals_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");

    // The stored form is each byte of the UTF-8 password combined with the key: the bytes
    // named are the ones that would come out as the character the file cannot hold.
    QTest::newRow("password of 256 bytes") << "Zeiterfassung.ini"
                                           << "z.db" << QString(256, 'p') << "longer than 255";
    QTest::newRow("zero byte once scrambled (byte A5 of ¥)") << "Zeiterfassung.ini"
                                                             << "z.db"
                                                             << "ab¥cd"
                                                             << "zero byte";
    QTest::newRow("line break once scrambled (byte AF of ¯)") << "Zeiterfassung.ini"
                                                              << "z.db"
                                                              << "ab¯cd"
                                                              << "line break";
    QTest::newRow("blank at the end once scrambled (byte 85 of Ņ)") << "Zeiterfassung.ini"
                                                                    << "z.db"
                                                                    << "abŅ"
                                                                    << "blank or a quote";
    QTest::newRow("tab at the end once scrambled (byte AC of ¬)") << "Zeiterfassung.ini"
                                                                  << "z.db"
                                                                  << "ab¬"
                                                                  << "blank or a quote";
    QTest::newRow("database path ending in a blank") << "Zeiterfassung.ini"
                                                     << "z.db "
                                                     << "x"
                                                     << "blank or a quote";
    QTest::newRow("database path in quotes") << "Zeiterfassung.ini"
                                             << "\"z.db\""
                                             << "x"
                                             << "blank or a quote";
    QTest::newRow("database path of 2048 bytes") << "Zeiterfassung.ini"
                                                 << "/" + QString(2047, 'd') << "x"
                                                 << "longer than 2047";
    QTest::newRow("file the clock never reads") << "Zeiterfassung.conf"
                                                << "z.db"
                                                << "x"
                                                << "must end in \".ini\"";
}

void tst_AdminCli::configRefusals()
{
    QFETCH(QString, ini);
    QFETCH(QString, database);
    QFETCH(QString, password);
    QFETCH(QString, message);

    QTemporaryDir directory;
    const QString path = directory.filePath(ini);
    const QByteArray working = "[db]\nmain=working.db\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(working);
    }

    const AdminRun run = admin({"config", "--ini", path, "--db", database, "--password", password});
    ZE_COMPARE_EXIT(run, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.oneErrorLine(), qPrintable(run.err));
    // A refused value never costs the configuration that was there.
    QCOMPARE(readFile(path), working);
}

void tst_AdminCli::relativePathInConfigurationFile()
{
    // Like the clock, a database file named without a folder is found beside the
    // configuration file, wherever the command is started from.
    QTemporaryDir program;
    QTemporaryDir elsewhere;
    AdminRun run = admin({"init", "--db", "zeiten.db"}, program.path());
    ZE_COMPARE_EXIT(run, 0);
    const QString ini = program.filePath("Zeiterfassung.ini");
    run = admin({"config", "--ini", ini, "--db", "zeiten.db"});
    ZE_COMPARE_EXIT(run, 0);

    run = admin(
        {"employee", "add", "--ini", ini, "--logon", "anna", "--first", "Anna", "--last", "Berg"},
        elsewhere.path());
    ZE_COMPARE_EXIT(run, 0);
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}

void tst_AdminCli::failuresBeforeConnecting_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QString>("message");

    // The data layer's message has two lines; a caller reading standard error line by line
    // still gets it whole.
    QTest::newRow("missing database file")
        << "" << QByteArray() << QStringList {"--db", "missing/zeiten.db"}
        << "Cannot find Database: ";
    QTest::newRow("missing configuration file")
        << "" << QByteArray() << QStringList {"--ini", "Zeiterfassung.ini"} << "no such file";
    QTest::newRow("configuration file naming no database")
        << "Zeiterfassung.ini" << QByteArray("[db]\r\nmain=*\r\n")
        << QStringList {"--ini", "Zeiterfassung.ini"} << "names no database";
    QTest::newRow("configuration file the clock never reads")
        << "Zeiterfassung.conf" << QByteArray("[db]\r\nmain=zeiten.db\r\n")
        << QStringList {"--ini", "Zeiterfassung.conf"} << "must end in \".ini\"";
}

void tst_AdminCli::failuresBeforeConnecting()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, source);
    QFETCH(QString, message);

    QTemporaryDir directory;
    if (!file.isEmpty()) {
        QFile ini(directory.filePath(file));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(contents);
    }
    const AdminRun run = admin(QStringList {"employee", "list"} + source, directory.path());
    ZE_COMPARE_EXIT(run, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.oneErrorLine(), qPrintable(run.err));
    QCOMPARE(run.out, QString());
}

QTEST_GUILESS_MAIN(tst_AdminCli)
#include "tst_admin_cli.moc"
