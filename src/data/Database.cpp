#include "Database.h"

#include "Failure.h"
#include "PasswordVerifier.h"
#include "Schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

#ifdef ZE_SQLITE_LOCK_WAIT
#include <sqlite3.h>
#endif

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace Database {

namespace {

const QString sqliteDriver = QStringLiteral("QSQLITE");
const QString postgresqlDriver = QStringLiteral("QPSQL");

// How long a write waits for another user's lock before it gives up with the engine's
// message. Concurrent bookings wait for each other; a writer that never lets go must not
// hang the clock.
constexpr int lockTimeoutMs = 10000;
const QString sqliteOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(lockTimeoutMs);

[[noreturn]] void fail(const QSqlError &error)
{
    throw Failure(engineMessage(error));
}

void requireDriver(const QString &driver)
{
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        const QString package = driver == sqliteDriver ? QStringLiteral("libqt6sql6-sqlite")
                                                       : QStringLiteral("libqt6sql6-psql");
        throw Failure(QStringLiteral("The Qt SQL driver %1 is not installed (package %2)")
                          .arg(driver, package));
    }
}

// Runs make() on a fresh connection; whatever fails on the way takes the half-made
// connection with it, so the name can be used again.
QSqlDatabase withConnection(const QString &connectionName, const QString &driver,
                            const std::function<void(QSqlDatabase &)> &make)
{
    requireDriver(driver);
    try {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, connectionName);
        make(db);
        return db;
    } catch (...) {
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
}

QString sqliteUri(const QString &path, const char *mode)
{
    // An empty authority ("file://" + "/path"): a share path //server/share/... must not
    // have its server taken for the URI's authority.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return QStringLiteral("file://")
        + (absolute.startsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/"))
        + QString::fromLatin1(QUrl::toPercentEncoding(absolute, "/")) + QStringLiteral("?mode=")
        + QLatin1String(mode);
}

bool hasTable(QSqlDatabase &db, const QString &name)
{
    // Reading the catalogue is also the first read of the file: a file that is no database
    // fails here, before anything else is done with it.
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral(
            "select count(*) from sqlite_master where type='table' and lower(name)=lower(?)")))
        fail(query.lastError());
    query.addBindValue(name);
    if (!query.exec() || !query.next())
        fail(query.lastError());
    return query.value(0).toInt() > 0;
}

// Rollback journal only: WAL needs shared memory, which a network share does not give.
void useRollbackJournal(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode")) || !query.next())
        fail(query.lastError());
    if (query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0) {
        query.finish();
        executeDirectly(db, QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
}

#ifdef ZE_SQLITE_LOCK_WAIT
// Waits for another connection's lock on the SQLite file in short, jittered naps. SQLite's
// own handler sleeps in growing steps of up to 100 ms: when many clocks book in the same
// instant, the lock is free most of the time while every waiting writer is still asleep.
// Naps of 1 to 5 ms take the lock soon after it is let go, and the jitter keeps the
// waiting writers from waking in step. The limit stays the same: after lockTimeoutMs the
// statement gives up with SQLite's "database is locked".
class LockWait : public QObject
{
public:
    explicit LockWait(QObject *driver)
        : QObject(driver)
    {
    }

    // sqlite3_busy_handler's callback: nonzero to try again.
    static int retry(void *self, int attempts) noexcept
    {
        auto *wait = static_cast<LockWait *>(self);
        if (attempts == 0)
            wait->m_waited.start();
        else if (wait->m_waited.elapsed() >= lockTimeoutMs)
            return 0;
        std::this_thread::sleep_for(
            std::chrono::microseconds(QRandomGenerator::global()->bounded(1000, 5001)));
        return 1;
    }

private:
    QElapsedTimer m_waited;
};

// Replaces the busy timeout set through the connect options. Only a handle the driver
// hands out as sqlite3* is taken (Qt's driver uses the system's SQLite library, the one
// this program links); the waiting state lives as long as the driver, which closes the
// handle before its children go.
void waitForLocksBriefly(QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData());
    if (connection)
        sqlite3_busy_handler(connection, &LockWait::retry, new LockWait(db.driver()));
}
#else
// Where Qt's driver brings an SQLite library of its own (as on Windows), its handle must not
// meet ours: the busy timeout of the connect options does the waiting there.
void waitForLocksBriefly(QSqlDatabase &) { }
#endif

void checkPassword(QSqlDatabase &db, const QByteArray &password)
{
    const QString table = QLatin1String(Schema::passwordTable);
    if (!hasTable(db, table))
        return;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select Verfahren, Runden, Salz, Pruefwert from %1").arg(table)))
        fail(query.lastError());
    // A verifier table without a verifier is damage, not an open door.
    if (!query.next())
        throw Failure(QStringLiteral("The password protection of the database is damaged"));
    PasswordVerifier verifier;
    verifier.algorithm = query.value(0).toString();
    verifier.rounds = query.value(1).toInt();
    verifier.salt = QByteArray::fromBase64(query.value(2).toString().toLatin1());
    verifier.digest = QByteArray::fromBase64(query.value(3).toString().toLatin1());
    query.finish();
    if (!verifier.isKnownAlgorithm())
        throw Failure(QStringLiteral("Unknown password protection: %1").arg(verifier.algorithm));
    if (!verifier.matches(password))
        throw Failure(QStringLiteral("Not a valid password"));
}

QString existingFile(const QString &databasePath, const QString &programDirectory)
{
    if (QFileInfo(databasePath).isFile())
        return databasePath;
    // The file name is what follows the last separator, a backslash or a drive's colon
    // included: a path written for Windows still finds its file in the program's directory.
    const qsizetype separator = std::max({databasePath.lastIndexOf(QLatin1Char('/')),
                                          databasePath.lastIndexOf(QLatin1Char('\\')),
                                          databasePath.lastIndexOf(QLatin1Char(':'))});
    const QString inProgramDirectory
        = QDir(programDirectory).filePath(databasePath.mid(separator + 1));
    if (QFileInfo(inProgramDirectory).isFile())
        return inProgramDirectory;
    throw Failure(QStringLiteral("Cannot find Database:\r\n") + inProgramDirectory);
}

QSqlDatabase openSQLite(const QString &connectionName, const QString &databasePath,
                        const QByteArray &password, const QString &programDirectory)
{
    const QString file = existingFile(databasePath, programDirectory);
    return withConnection(connectionName, sqliteDriver, [&](QSqlDatabase &db) {
        // mode=rw: a file that vanished since the check above is not created again.
        db.setDatabaseName(sqliteUri(file, "rw"));
        db.setConnectOptions(sqliteOptions + QStringLiteral(";QSQLITE_OPEN_URI"));
        if (!db.open())
            fail(db.lastError());
        waitForLocksBriefly(db);
        checkPassword(db, password);
        useRollbackJournal(db);
    });
}

void configurePostgreSQL(QSqlDatabase &db, const QString &databasePath, const QByteArray &password)
{
    const QUrl url(databasePath);
    if (!url.isValid())
        throw Failure(QStringLiteral("Not a valid PostgreSQL URL: %1").arg(url.errorString()));
    if (!url.host().isEmpty())
        db.setHostName(url.host());
    if (url.port() != -1)
        db.setPort(url.port());
    const QString name = url.path(QUrl::FullyDecoded).mid(1);
    if (!name.isEmpty())
        db.setDatabaseName(name);
    if (!url.userName().isEmpty())
        db.setUserName(url.userName(QUrl::FullyDecoded));
    // The configured password is the role's; one written into the URL serves only when the
    // configuration has none.
    db.setPassword(password.isEmpty() ? url.password(QUrl::FullyDecoded)
                                      : QString::fromLocal8Bit(password));
    QStringList options;
    bool timeoutGiven = false;
    for (const auto &item : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        options << item.first + QLatin1Char('=') + item.second;
        timeoutGiven = timeoutGiven || item.first == QLatin1String("connect_timeout");
    }
    // An unreachable server must not freeze the clock for minutes.
    if (!timeoutGiven)
        options << QStringLiteral("connect_timeout=10");
    db.setConnectOptions(options.join(QLatin1Char(';')));
}

QSqlDatabase openPostgreSQL(const QString &connectionName, const QString &databasePath,
                            const QByteArray &password)
{
    return withConnection(connectionName, postgresqlDriver, [&](QSqlDatabase &db) {
        configurePostgreSQL(db, databasePath, password);
        if (!db.open())
            fail(db.lastError());
        executeDirectly(db, QStringLiteral("SET lock_timeout = %1").arg(lockTimeoutMs));
    });
}

void refuseInitialised(QSqlDatabase &db)
{
    for (const QString &table : db.tables()) {
        if (table.compare(QLatin1String("Zeiten"), Qt::CaseInsensitive) == 0
            || table.compare(QLatin1String("Mitarbeiter"), Qt::CaseInsensitive) == 0)
            throw Failure(QStringLiteral("The database already holds the table %1").arg(table));
    }
}

void createTables(QSqlDatabase &db, Engine engine, const QByteArray &password)
{
    if (!db.transaction())
        fail(db.lastError());
    try {
        for (const QString &statement : Schema::createStatements(engine))
            executeDirectly(db, statement);
        if (engine == Engine::SQLite && !password.isEmpty()) {
            executeDirectly(db, Schema::createPasswordTable());
            const PasswordVerifier verifier = PasswordVerifier::make(password);
            QSqlQuery query(db);
            query.prepare(QStringLiteral("insert into %1 (Verfahren, Runden, Salz, Pruefwert) "
                                         "values (?, ?, ?, ?)")
                              .arg(QLatin1String(Schema::passwordTable)));
            query.addBindValue(verifier.algorithm);
            query.addBindValue(verifier.rounds);
            query.addBindValue(QString::fromLatin1(verifier.salt.toBase64()));
            query.addBindValue(QString::fromLatin1(verifier.digest.toBase64()));
            if (!query.exec())
                fail(query.lastError());
        }
        if (!db.commit())
            fail(db.lastError());
    } catch (...) {
        db.rollback();
        throw;
    }
}

void initialiseSQLite(const QString &connectionName, const QString &databasePath,
                      const QByteArray &password)
{
    const bool existed = QFileInfo::exists(databasePath);
    try {
        withConnection(connectionName, sqliteDriver, [&](QSqlDatabase &db) {
            db.setDatabaseName(sqliteUri(databasePath, "rwc"));
            db.setConnectOptions(sqliteOptions + QStringLiteral(";QSQLITE_OPEN_URI"));
            if (!db.open())
                fail(db.lastError());
            waitForLocksBriefly(db);
            hasTable(db, QStringLiteral("Zeiten")); // the first read: is it a database at all?
            refuseInitialised(db);
            executeDirectly(db, QStringLiteral("PRAGMA journal_mode=DELETE"));
            createTables(db, Engine::SQLite, password);
            db.close();
        });
    } catch (...) {
        QSqlDatabase::removeDatabase(connectionName);
        if (!existed)
            QFile::remove(databasePath);
        throw;
    }
    QSqlDatabase::removeDatabase(connectionName);
}

void initialisePostgreSQL(const QString &connectionName, const QString &databasePath,
                          const QByteArray &password)
{
    withConnection(connectionName, postgresqlDriver, [&](QSqlDatabase &db) {
        configurePostgreSQL(db, databasePath, password);
        if (!db.open())
            fail(db.lastError());
        refuseInitialised(db);
        createTables(db, Engine::PostgreSQL, password);
        db.close();
    });
    QSqlDatabase::removeDatabase(connectionName);
}

} // namespace

Engine engineOf(const QString &databasePath)
{
    if (databasePath.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || databasePath.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive))
        return Engine::PostgreSQL;
    return Engine::SQLite;
}

QSqlDatabase open(const QString &connectionName, const QString &databasePath,
                  const QByteArray &password, const QString &programDirectory)
{
    if (engineOf(databasePath) == Engine::PostgreSQL)
        return openPostgreSQL(connectionName, databasePath, password);
    return openSQLite(connectionName, databasePath, password, programDirectory);
}

void initialise(const QString &connectionName, const QString &databasePath,
                const QByteArray &password)
{
    if (engineOf(databasePath) == Engine::PostgreSQL)
        initialisePostgreSQL(connectionName, databasePath, password);
    else
        initialiseSQLite(connectionName, databasePath, password);
}

QString engineMessage(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.trimmed().isEmpty())
        text = error.driverText();
    // Qt appends PostgreSQL's error code in parentheses; the engine's own text ends before it.
    const QString code = QLatin1Char('(') + error.nativeErrorCode() + QLatin1Char(')');
    if (!error.nativeErrorCode().isEmpty() && text.trimmed().endsWith(code))
        text.truncate(text.lastIndexOf(code));
    // PostgreSQL points at the error in the statement with a "LINE n:" excerpt and a caret
    // line, laid out for a fixed-width terminal; a message box shows it as noise.
    QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        static const QRegularExpression excerpt(QStringLiteral("^LINE \\d+: "));
        if (excerpt.match(lines.at(i)).hasMatch()) {
            const bool caret
                = i + 1 < lines.size() && lines.at(i + 1).trimmed() == QLatin1String("^");
            lines.remove(i, caret ? 2 : 1);
            --i;
        }
    }
    text = lines.join(QLatin1Char('\n'));
    qsizetype end = text.size();
    while (end > 0) {
        const QChar c = text.at(end - 1);
        if (c != QLatin1Char('.') && !c.isSpace() && c.category() != QChar::Other_Control)
            break;
        --end;
    }
    text.truncate(end);
    return text;
}

QSqlQuery execute(const QSqlDatabase &db, const QString &statement, const QVariantList &bindings)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        fail(query.lastError());
    for (const QVariant &value : bindings)
        query.addBindValue(value);
    if (!query.exec())
        fail(query.lastError());
    return query;
}

void executeDirectly(const QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        fail(query.lastError());
}

} // namespace Database
