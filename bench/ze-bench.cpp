// Measurements behind bench/run; prints tab-separated rows, one per measurement.
//
//   ze-bench scale DB [PASSWORD]    the clock's start-up queries at 10k, 100k and 1M Zeiten
//                                   rows (500 employees, one with 5,000 records); DB is an
//                                   SQLite file to create or an empty PostgreSQL database
//   ze-bench peak N DB [PASSWORD]   N clocks (ze-clock-driver processes) book arrivals at
//                                   the same instant, then departures
//
// Times are milliseconds. Nothing here asserts a time: the figures go to bench/README.md.

#include "Configuration.h"
#include "Database.h"
#include "DriverProcess.h"
#include "Failure.h"
#include "TData.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const int employees = 500;
const int heavyRecords = 5000;

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

void exec(QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw Failure(statement.left(80) + QStringLiteral(": ")
                      + Database::engineMessage(query.lastError()));
}

// The configuration file beside a made-up program path, as the clock reads it.
QString writeIni(const QString &directory, const QString &main, const QByteArray &password)
{
    const QString executable = QDir(directory).filePath(QStringLiteral("Zeiterfassung"));
    QFile ini(configurationPathFor(executable));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Failure(QStringLiteral("Cannot write ") + ini.fileName());
    ini.write("[db]\r\nmain=" + main.toUtf8() + "\r\npw=" + Unscramble(password) + "\r\n");
    return executable;
}

// Appends `count` closed records of the ordinary employees (2..500), later than all before.
void addRecords(QSqlDatabase &db, int first, int count)
{
    exec(db,
         QStringLiteral("with recursive n(i) as (select %1 union all select i + 1 from n "
                        "where i < %2) "
                        "insert into Zeiten (MAid, Anwesend, Zeitkommt, Zeitgeht, "
                        "KorrekturKommt, Korrekturgeht) "
                        "select 2 + i % %3, false, 40000 + i / 1000.0, "
                        "40000 + i / 1000.0 + 0.0003, 0, 0 from n")
             .arg(first)
             .arg(first + count - 1)
             .arg(employees - 1));
}

// What FormCreate asks of the database, on the clock's own data module.
double startUpQueries(TData &data, const QString &logon)
{
    QElapsedTimer timer;
    timer.start();
    data.OpenSelect(QStringLiteral("select vorname,nachname,id from mitarbeiter where logon=?"),
                    {logon});
    const int maid = data.RecordCount() == 1 ? data.FieldAsInteger(QStringLiteral("id")) : 0;
    data.CloseSelect();
    data.OpenSelect(
        QStringLiteral("select * from zeiten where maid=%1 order by zeitkommt desc").arg(maid));
    if (data.RecordCount() > 0)
        data.FieldAsBoolean(QStringLiteral("anwesend"));
    data.CloseSelect();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Employees ma1 to maN.
void addEmployees(QSqlDatabase &db, int count)
{
    exec(db,
         QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                        "where i < %1) insert into Mitarbeiter (Vorname, Nachname, logon) "
                        "select 'Vorname', 'Nachname', 'ma' || i from n")
             .arg(count));
}

int scale(const QString &main, const QByteArray &password)
{
    Database::initialise(QStringLiteral("bench-init"), main, password);
    QTemporaryDir directory;
    const QString exe = writeIni(directory.path(), main, password);
    {
        QSqlDatabase db = Database::open(QStringLiteral("bench-fill"), main, password, {});
        addEmployees(db, employees);
        // The one with 5,000 records, the latest of them open.
        exec(db,
             QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                            "where i < %1) "
                            "insert into Zeiten (MAid, Anwesend, Zeitkommt, KorrekturKommt) "
                            "select 1, i = %1, 40000 + i / 5.0, 0 from n")
                 .arg(heavyRecords));
        int rows = heavyRecords;
        for (int target : {10000, 100000, 1000000}) {
            addRecords(db, rows + 1, target - rows);
            rows = target;
            if (Database::engineOf(main) == Database::Engine::PostgreSQL)
                exec(db, QStringLiteral("analyze"));
            QSqlQuery own(db);
            if (!own.exec(QStringLiteral("select count(*) from Zeiten where MAid=250"))
                || !own.next())
                throw Failure(Database::engineMessage(own.lastError()));
            const int ordinaryRecords = own.value(0).toInt();
            own.finish();
            TData data(exe, [] {});
            data.DataModuleCreate();
            for (const QString &logon : {QStringLiteral("ma1"), QStringLiteral("ma250")}) {
                std::vector<double> times;
                for (int i = 0; i < 15; ++i)
                    times.push_back(startUpQueries(data, logon));
                say(QStringLiteral("%1\t%2\t%3\t%4")
                        .arg(rows)
                        .arg(logon == QLatin1String("ma1") ? heavyRecords : ordinaryRecords)
                        .arg(percentile(times, 0.5), 0, 'f', 2)
                        .arg(percentile(times, 1.0), 0, 'f', 2));
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
    return 0;
}

// Asks every clock to book at once; prints total, p50 and p99 of the single bookings.
bool bookAtOnce(std::vector<std::unique_ptr<DriverProcess>> &clocks, const QString &what)
{
    std::vector<double> latencies(clocks.size(), -1);
    QElapsedTimer timer;
    std::vector<qint64> sent(clocks.size());
    size_t answered = 0;
    bool allBooked = true;
    QEventLoop loop;
    for (size_t i = 0; i < clocks.size(); ++i) {
        QProcess &process = clocks[i]->process;
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&, i] {
            QProcess &p = clocks[i]->process;
            if (latencies[i] >= 0 || !p.canReadLine())
                return;
            latencies[i] = double(timer.nsecsElapsed() - sent[i]) / 1e6;
            allBooked = allBooked && p.readLine().startsWith("booked");
            if (++answered == clocks.size())
                loop.quit();
        });
    }
    timer.start();
    for (size_t i = 0; i < clocks.size(); ++i) {
        sent[i] = timer.nsecsElapsed();
        clocks[i]->process.write("book " + what.toUtf8().toPercentEncoding() + '\n');
    }
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    const double total = double(timer.nsecsElapsed()) / 1e6;
    say(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
            .arg(what)
            .arg(clocks.size())
            .arg(total, 0, 'f', 1)
            .arg(percentile(latencies, 0.5), 0, 'f', 1)
            .arg(percentile(latencies, 0.99), 0, 'f', 1)
            .arg(allBooked && answered == clocks.size() ? QStringLiteral("all booked")
                                                        : QStringLiteral("FAILURES")));
    return allBooked && answered == clocks.size();
}

std::vector<std::unique_ptr<DriverProcess>> startClocks(const QString &exe, int count)
{
    std::vector<std::unique_ptr<DriverProcess>> clocks;
    for (int i = 1; i <= count; ++i)
        clocks.push_back(std::make_unique<DriverProcess>(exe, QStringLiteral("ma%1").arg(i)));
    for (auto &clock : clocks) {
        if (!clock->waitReady(60000) || !clock->startFailures.isEmpty())
            throw Failure(QStringLiteral("a clock did not start: ") + clock->transcript());
    }
    return clocks;
}

int peak(int count, const QString &main, const QByteArray &password)
{
    Database::initialise(QStringLiteral("bench-init"), main, password);
    QTemporaryDir directory;
    const QString exe = writeIni(directory.path(), main, password);
    {
        QSqlDatabase db = Database::open(QStringLiteral("bench-fill"), main, password, {});
        addEmployees(db, count);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
    bool ok = true;
    for (const QString &what : {QStringLiteral("arrivals"), QStringLiteral("departures")}) {
        auto clocks = startClocks(exe, count);
        ok = bookAtOnce(clocks, what) && ok;
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    try {
        if (arguments.size() >= 3 && arguments[1] == QLatin1String("scale"))
            return scale(arguments[2], arguments.value(3).toUtf8());
        if (arguments.size() >= 4 && arguments[1] == QLatin1String("peak"))
            return peak(arguments[2].toInt(), arguments[3], arguments.value(4).toUtf8());
    } catch (const Failure &failure) {
        std::fprintf(stderr, "ze-bench: %s\n", failure.what());
        return 1;
    }
    std::fputs("usage: ze-bench scale DB [PASSWORD] | peak N DB [PASSWORD]\n", stderr);
    return 2;
}
