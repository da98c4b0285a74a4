#include "DriverProcess.h"

#include <QDeadlineTimer>

namespace {

QString decoded(const QByteArray &text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text));
}

} // namespace

QString driverProgram()
{
    return QStringLiteral(ZE_CLOCK_DRIVER);
}

DriverProcess::DriverProcess(const QString &executablePath, const QString &logon,
                             const QStringList &prefix, const QString &program)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    QStringList arguments = prefix;
    arguments << (program.isEmpty() ? driverProgram() : program) << executablePath
              << QString::fromLatin1(logon.toUtf8().toPercentEncoding());
    process.start(arguments.takeFirst(), arguments);
}

DriverProcess::~DriverProcess()
{
    if (process.state() != QProcess::NotRunning) {
        process.closeWriteChannel();
        if (!process.waitForFinished(5000))
            kill();
    }
}

bool DriverProcess::readLine(QByteArray &line, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!process.canReadLine()) {
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
        process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    }
    line = process.readLine();
    m_seen += line;
    line = line.trimmed();
    return true;
}

bool DriverProcess::waitReady(int milliseconds)
{
    QByteArray line;
    if (!readLine(line, milliseconds))
        return false;
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != 6 || fields[0] != "ready")
        return false;
    maid = fields[1].toInt();
    offenId = fields[2].toInt();
    richtung = fields[3].toInt();
    endAfterStart = fields[4] == "1";
    startFailures.clear();
    if (fields[5] != "-") {
        for (const QByteArray &failure : fields[5].split('|'))
            startFailures << decoded(failure);
    }
    return true;
}

void DriverProcess::book(const QString &remark)
{
    process.write("book " + remark.toUtf8().toPercentEncoding() + '\n');
    process.waitForBytesWritten();
}

bool DriverProcess::waitReply(int milliseconds)
{
    QByteArray line;
    if (!readLine(line, milliseconds))
        return false;
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() < 2)
        return false;
    booked = fields[0] == "booked";
    endAfterBooking = fields[1] == "1";
    failure = booked || fields.size() < 3 ? QString() : decoded(fields[2]);
    return booked || fields[0] == "failed";
}

void DriverProcess::kill()
{
    process.kill();
    process.waitForFinished(10000);
}

QString DriverProcess::transcript()
{
    m_seen += process.readAllStandardOutput() + process.readAllStandardError();
    return QString::fromUtf8(m_seen);
}
