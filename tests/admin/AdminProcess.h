#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtTest/QTest>

// Runs the built zeiterfassung-admin (its path comes from the build) and collects what it
// says, the way a script calling it would see it.
struct AdminRun
{
    int exitCode = -1;
    QString out;
    QString err;

    // Messages are exactly one line on standard error.
    bool oneErrorLine() const { return err.count(QLatin1Char('\n')) == 1 && err.endsWith('\n'); }
};

inline AdminRun runProgram(const QString &program, const QStringList &arguments,
                           const QString &workingDirectory = {})
{
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    AdminRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        run.err = QStringLiteral("did not finish: ") + process.errorString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

inline AdminRun admin(const QStringList &arguments, const QString &workingDirectory = {})
{
    return runProgram(QStringLiteral(ZE_ADMIN_BINARY), arguments, workingDirectory);
}

// QCOMPARE on the exit code with both outputs in the failure message.
#define ZE_COMPARE_EXIT(run, expected)                                                             \
    do {                                                                                           \
        if ((run).exitCode != (expected))                                                          \
            QFAIL(qPrintable(QStringLiteral("exit code %1, expected %2\nstdout: %3\nstderr: %4")   \
                                 .arg((run).exitCode)                                              \
                                 .arg(expected)                                                    \
                                 .arg((run).out, (run).err)));                                     \
    } while (false)
