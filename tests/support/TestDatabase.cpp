#include "TestDatabase.h"

#include "Configuration.h"
#include "Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace TestSupport {

namespace {

QString uniqueSuffix()
{
    return QStringLiteral("%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

[[noreturn]] void fail(const QString &what)
{
    qWarning("%s", qPrintable(what));
    throw Failure(what);
}

QString readFirstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

struct Cluster
{
    QString url; // postgresql://role@host:port/postgres
    QByteArray password;
};

QString urlFile()
{
    return qEnvironmentVariable("ZE_PG_TEST_URL_FILE");
}

Cluster cluster()
{
    const QString file = urlFile();
    Cluster c;
    c.url = readFirstLine(file);
    c.password = readFirstLine(QFileInfo(file).dir().filePath(QStringLiteral("password"))).toUtf8();
    return c;
}

// Runs a statement on a short-lived connection to the cluster's maintenance database.
void onCluster(const QString &statement)
{
    const Cluster c = cluster();
    const QString name = QStringLiteral("ztest-cluster-") + uniqueSuffix();
    {
        QSqlDatabase db = Database::open(name, c.url, c.password, {});
        QSqlQuery query(db);
        const bool ok = query.exec(statement);
        const QString error = Database::engineMessage(query.lastError());
        query.finish();
        db.close();
        if (!ok) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            fail(statement + QStringLiteral(": ") + error);
        }
    }
    QSqlDatabase::removeDatabase(name);
}

// Statements without bindings go as plain text: PostgreSQL prepares no DDL.
bool run(QSqlQuery &query, const QString &statement, const QVariantList &bindings)
{
    if (bindings.isEmpty())
        return query.exec(statement);
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : bindings)
        query.addBindValue(value);
    return query.exec();
}

QVariant normalised(const QVariant &value, QMetaType::Type type)
{
    if (value.isNull())
        return {};
    switch (type) {
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Double:
        return value.toDouble();
    default:
        return value.toString();
    }
}

const char *const zeitenColumns[]
    = {"MAid",           "Anwesend",      "Zeitkommt", "Zeitgeht",  "Bemerkung",
       "KorrekturKommt", "Korrekturgeht", "typgeht",   "Bemerkung2"};

QVariant *columnsOf(ZeitenRow &row, int index)
{
    QVariant *columns[]
        = {&row.maid,           &row.anwesend,      &row.zeitkommt, &row.zeitgeht,  &row.bemerkung,
           &row.korrekturKommt, &row.korrekturgeht, &row.typgeht,   &row.bemerkung2};
    return columns[index];
}

const QMetaType::Type zeitenTypes[]
    = {QMetaType::Int, QMetaType::Bool, QMetaType::Double, QMetaType::Double, QMetaType::QString,
       QMetaType::Int, QMetaType::Int,  QMetaType::Int,    QMetaType::QString};

} // namespace

Database::Engine engine()
{
    return qEnvironmentVariable("ZE_TEST_ENGINE")
                .compare(QLatin1String("postgresql"), Qt::CaseInsensitive)
            == 0
        ? Database::Engine::PostgreSQL
        : Database::Engine::SQLite;
}

QString engineName()
{
    return engine() == Database::Engine::PostgreSQL ? QStringLiteral("postgresql")
                                                    : QStringLiteral("sqlite");
}

bool postgresqlRequired()
{
    return qEnvironmentVariable("ZE_REQUIRE_POSTGRESQL") == QLatin1String("1");
}

QString engineProblem()
{
    if (engine() == Database::Engine::SQLite)
        return {};
    const QString file = urlFile();
    if (file.isEmpty() || cluster().url.isEmpty())
        return QStringLiteral("PostgreSQL test cluster is not running (no URL in '%1'; start it "
                              "with scripts/pg-test-cluster start DIR and set "
                              "ZE_PG_TEST_URL_FILE=DIR/url)")
            .arg(file);
    return {};
}

bool operator==(const ZeitenRow &a, const ZeitenRow &b)
{
    return a.id == b.id && a.maid == b.maid && a.anwesend == b.anwesend
        && a.zeitkommt == b.zeitkommt && a.zeitgeht == b.zeitgeht && a.bemerkung == b.bemerkung
        && a.korrekturKommt == b.korrekturKommt && a.korrekturgeht == b.korrekturgeht
        && a.typgeht == b.typgeht && a.bemerkung2 == b.bemerkung2;
}

char *toString(const ZeitenRow &row)
{
    QStringList parts {QStringLiteral("ID=%1").arg(row.id)};
    ZeitenRow copy = row;
    for (int i = 0; i < 9; ++i) {
        const QVariant &value = *columnsOf(copy, i);
        parts << QStringLiteral("%1=%2").arg(QLatin1String(zeitenColumns[i]),
                                             value.isNull()
                                                 ? QStringLiteral("NULL")
                                                 : (value.typeId() == QMetaType::Double
                                                        ? QString::number(value.toDouble(), 'g', 17)
                                                        : value.toString()));
    }
    return qstrdup(qPrintable(parts.join(QStringLiteral(", "))));
}

TestDatabase::TestDatabase(const QByteArray &sqlitePassword)
    : m_engine(TestSupport::engine())
    , m_connectionName(QStringLiteral("ztest-") + uniqueSuffix())
{
    if (!m_directory.isValid())
        fail(QStringLiteral("Cannot make a temporary directory: ") + m_directory.errorString());
    const QString initialiser = m_connectionName + QStringLiteral("-init");
    if (m_engine == Database::Engine::SQLite) {
        m_main = QFile::encodeName(m_directory.filePath(QStringLiteral("zeiterfassung.db")));
        m_password = sqlitePassword;
    } else {
        const QString problem = engineProblem();
        if (!problem.isEmpty())
            fail(problem);
        const Cluster c = cluster();
        m_postgresqlName = QStringLiteral("ze_") + uniqueSuffix();
        onCluster(QStringLiteral("create database %1").arg(m_postgresqlName));
        QUrl url(c.url);
        url.setPath(QLatin1Char('/') + m_postgresqlName);
        m_main = url.toEncoded();
        m_password = c.password;
    }
    try {
        Database::initialise(initialiser, QString::fromUtf8(m_main), m_password);
    } catch (const Failure &failure) {
        fail(QStringLiteral("Cannot create the test database: ") + failure.message());
    }
}

TestDatabase::~TestDatabase()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    if (!m_postgresqlName.isEmpty()) {
        try {
            // FORCE: a connection that the code under test left open must not keep it.
            onCluster(
                QStringLiteral("drop database if exists %1 with (force)").arg(m_postgresqlName));
        } catch (const Failure &) {
            // Already reported; the cluster goes away with the test run anyway.
        }
    }
}

QSqlDatabase TestDatabase::connection()
{
    if (QSqlDatabase::contains(m_connectionName))
        return QSqlDatabase::database(m_connectionName);
    try {
        return Database::open(m_connectionName, QString::fromUtf8(m_main), m_password, {});
    } catch (const Failure &failure) {
        fail(QStringLiteral("Cannot open the test database: ") + failure.message());
    }
}

int TestDatabase::execute(const QString &statement, const QVariantList &bindings)
{
    QSqlQuery query(connection());
    if (!run(query, statement, bindings))
        fail(statement + QStringLiteral(": ") + Database::engineMessage(query.lastError()));
    return query.numRowsAffected();
}

QVariant TestDatabase::scalar(const QString &select, const QVariantList &bindings)
{
    QSqlQuery query(connection());
    if (!run(query, select, bindings))
        fail(select + QStringLiteral(": ") + Database::engineMessage(query.lastError()));
    if (!query.next() || query.isNull(0))
        return {};
    return query.value(0);
}

int TestDatabase::addEmployee(const QString &logon, const QString &vorname, const QString &nachname)
{
    execute(QStringLiteral("insert into Mitarbeiter (Vorname, Nachname, logon) values (?, ?, ?)"),
            {vorname, nachname, logon});
    return scalar(QStringLiteral("select max(ID) from Mitarbeiter")).toInt();
}

int TestDatabase::addZeiten(const ZeitenRow &row)
{
    QStringList columns;
    QVariantList values;
    ZeitenRow copy = row;
    for (int i = 0; i < 9; ++i) {
        const QVariant &value = *columnsOf(copy, i);
        if (value.isNull())
            continue;
        columns << QLatin1String(zeitenColumns[i]);
        values << value;
    }
    if (columns.isEmpty())
        execute(QStringLiteral("insert into Zeiten default values"));
    else
        execute(
            QStringLiteral("insert into Zeiten (%1) values (%2)")
                .arg(columns.join(QStringLiteral(", ")),
                     QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
            values);
    return scalar(QStringLiteral("select max(ID) from Zeiten")).toInt();
}

QList<ZeitenRow> TestDatabase::zeiten()
{
    QList<ZeitenRow> rows;
    QSqlQuery query(connection());
    QStringList columns {QStringLiteral("ID")};
    for (const char *column : zeitenColumns)
        columns << QLatin1String(column);
    if (!query.exec(QStringLiteral("select %1 from Zeiten order by ID")
                        .arg(columns.join(QStringLiteral(", ")))))
        fail(QStringLiteral("Reading Zeiten: ") + Database::engineMessage(query.lastError()));
    while (query.next()) {
        ZeitenRow row;
        row.id = query.value(0).toInt();
        for (int i = 0; i < 9; ++i)
            *columnsOf(row, i) = normalised(query.value(i + 1), zeitenTypes[i]);
        rows << row;
    }
    return rows;
}

QString failureOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return QStringLiteral("(no failure)");
}

QString writeIni(const QString &directory, const QByteArray &main, const QByteArray &password,
                 const QString &program)
{
    const QString executable = QDir(directory).filePath(program);
    QFile ini(configurationPathFor(executable));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("Cannot write %1: %2").arg(ini.fileName(), ini.errorString()));
    ini.write("[db]\r\nmain=" + main + "\r\npw=" + Unscramble(password) + "\r\n");
    ini.close();
    const Configuration read = ReadConfiguration(executable);
    if (read.databasePath != main || read.password != password)
        fail(QStringLiteral("The INI format cannot carry this test's path or password"));
    return executable;
}

} // namespace TestSupport
