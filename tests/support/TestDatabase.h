#pragma once

// Support for the database tests of every area: one table of cases, run once per engine.
//
// A database test is registered with ze_add_db_test() (tests/support/CMakeLists.txt). It
// becomes two CTest tests, NAME-sqlite and NAME-postgresql, that run the same binary with
// ZE_TEST_ENGINE set; the PostgreSQL run needs the "pg" fixture, a throwaway cluster
// started by scripts/pg-test-cluster. In the test:
//
//     void initTestCase() { ZE_INIT_ENGINE(); }
//     void books()
//     {
//         TestSupport::TestDatabase db;                 // fresh, empty, with the tables
//         const int id = db.addEmployee("anna", "Anna", "Berg");
//         const QString exe = TestSupport::writeIni(db.directory(), db.main(), db.password());
//         TData data(exe, [] {});
//         data.DataModuleCreate();
//         ...
//         QCOMPARE(db.zeiten().size(), 1);
//     }
//
// Failures of the support itself (no cluster, a refused fixture row) are printed and thrown
// as Failure. Qt Test fails the test function on it and then ends the whole binary, so catch
// Failures of the code under test in the test itself.

#include "Database.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QtTest/QTest>

#include <functional>
#include <memory>

namespace TestSupport {

// The engine of this run: ZE_TEST_ENGINE=sqlite (also when unset) or postgresql.
Database::Engine engine();
QString engineName();

// Why the engine of this run cannot be used here, or empty when it can. SQLite always can;
// PostgreSQL needs the test cluster (its URL file named by ZE_PG_TEST_URL_FILE).
QString engineProblem();

// ZE_REQUIRE_POSTGRESQL=1: a missing cluster is a failure, never a skip (CI sets it).
bool postgresqlRequired();

// Call in initTestCase(): skips the test binary when its engine is not available, or fails
// it when PostgreSQL is required.
#define ZE_INIT_ENGINE()                                                                           \
    do {                                                                                           \
        const QString zeProblem = TestSupport::engineProblem();                                    \
        if (!zeProblem.isEmpty()) {                                                                \
            if (TestSupport::postgresqlRequired())                                                 \
                QFAIL(qPrintable(zeProblem));                                                      \
            QSKIP(qPrintable(zeProblem));                                                          \
        }                                                                                          \
    } while (false)

// A Zeiten row as stored, the same on both engines: NULL is an invalid QVariant, numbers
// are int or double, Anwesend a bool, texts QString.
struct ZeitenRow
{
    int id = 0; // ignored by addZeiten
    QVariant maid = {};
    QVariant anwesend = {}; // NULL: the column's default (false)
    QVariant zeitkommt = {};
    QVariant zeitgeht = {};
    QVariant bemerkung = {};
    QVariant korrekturKommt = {};
    QVariant korrekturgeht = {};
    QVariant typgeht = {};
    QVariant bemerkung2 = {};

    friend bool operator==(const ZeitenRow &a, const ZeitenRow &b);
    friend bool operator!=(const ZeitenRow &a, const ZeitenRow &b) { return !(a == b); }
};
char *toString(const ZeitenRow &row); // for QCOMPARE

// A fresh, empty time-recording database on the engine of this run, with the tables and
// the index, removed again at destruction: an SQLite file in a temporary directory, or a
// database of its own with a unique name in the PostgreSQL test cluster.
class TestDatabase
{
public:
    // On SQLite a non-empty password protects the file; on PostgreSQL the database always
    // opens with the test role's password and the argument is ignored.
    explicit TestDatabase(const QByteArray &sqlitePassword = {});
    ~TestDatabase();

    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    Database::Engine engine() const { return m_engine; }
    // The value for the INI's "main" key: the SQLite file's path or the PostgreSQL URL
    // (which holds no password).
    QByteArray main() const { return m_main; }
    // The password that opens it (for the INI's "pw", before scrambling).
    QByteArray password() const { return m_password; }
    // A temporary directory of this database's own, for INI files and fake executables.
    QString directory() const { return m_directory.path(); }

    // The fixtures' own connection. Finish every query made on it (let it go out of scope)
    // before the code under test writes: an SQLite reader left open blocks writers.
    QSqlDatabase connection();

    int addEmployee(const QString &logon, const QString &vorname, const QString &nachname);
    // Inserts a row with the non-NULL values of `row`; returns the new ID.
    int addZeiten(const ZeitenRow &row);
    // All Zeiten rows in order of ID.
    QList<ZeitenRow> zeiten();
    // Runs an action statement with bound values; returns the rows affected.
    int execute(const QString &statement, const QVariantList &bindings = {});
    // The first column of the first row of a select (invalid QVariant when NULL or no row).
    QVariant scalar(const QString &select, const QVariantList &bindings = {});

private:
    Database::Engine m_engine;
    QTemporaryDir m_directory;
    QByteArray m_main;
    QByteArray m_password;
    QString m_postgresqlName; // the database made in the cluster
    QString m_connectionName;
};

// The message of the Failure that `operation` throws, or "(no failure)".
QString failureOf(const std::function<void()> &operation);

// Writes DIRECTORY/PROGRAM.ini with section db, main and pw (scrambled with Unscramble),
// and returns the path of the fake executable DIRECTORY/PROGRAM that reads it, for
// TData(path, requestEnd). Throws when the password cannot be carried by the INI format.
QString writeIni(const QString &directory, const QByteArray &main, const QByteArray &password,
                 const QString &program = QStringLiteral("Zeiterfassung"));

} // namespace TestSupport
