#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The test side of ze-clock-driver (see clock-driver.cpp): one clock process, its start-up
// state and its answers to bookings. The process is killed when this goes.
class DriverProcess
{
public:
    // `prefix` runs the driver through another command, e.g. runuser -u nobody --;
    // `program` is the driver to run, the built one unless given.
    DriverProcess(const QString &executablePath, const QString &logon,
                  const QStringList &prefix = {}, const QString &program = {});
    ~DriverProcess();

    DriverProcess(const DriverProcess &) = delete;
    DriverProcess &operator=(const DriverProcess &) = delete;

    // Waits for the start-up state; false when the process ended or time ran out.
    bool waitReady(int milliseconds = 30000);
    // Asks for a booking with the remark; the answer comes with waitReply().
    void book(const QString &remark);
    bool waitReply(int milliseconds = 30000);
    // SIGKILL, and wait until the process is gone.
    void kill();

    // What the process said so far, with the error output, for messages of failed tests.
    QString transcript();

    int maid = -1;
    int offenId = -1;
    int richtung = -1;
    bool endAfterStart = false;
    QStringList startFailures;

    bool booked = false;
    bool endAfterBooking = false;
    QString failure;

    QProcess process;

private:
    bool readLine(QByteArray &line, int milliseconds);
    QByteArray m_seen;
};

// The path of the driver program, built beside the tests.
QString driverProgram();
