// A clock without a screen for the reliability tests, run as a process of its own so that
// many of them can book against one database at once, and so that one can be killed.
//
//     ze-clock-driver EXECUTABLE LOGON
//
// EXECUTABLE is the program path whose configuration file is read; LOGON is the login
// name. All texts on the command line and in the protocol are UTF-8, percent-encoded, so
// that quotes, blanks, line breaks and NUL travel unharmed. Protocol, one line each:
//
//     out, after start-up:   ready MAID OFFENID RICHTUNG END FAILURES
//     in:                    book REMARK
//     out:                   booked END   or   failed END MESSAGE
//
// END is 1 once the program would end (the window closed), FAILURES the failures of
// start-up joined by "|" (or "-"). The driver ends at the end of its input.

#include "ClockRun.h"

#include <QApplication>
#include <QByteArray>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

QString decoded(const std::string &text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(QByteArray::fromStdString(text)));
}

QByteArray encoded(const QString &text)
{
    return text.toUtf8().toPercentEncoding();
}

void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fputs("usage: ze-clock-driver EXECUTABLE LOGON\n", stderr);
        return 2;
    }

    ClockRun run(decoded(argv[2]));
    run.start(QString::fromLocal8Bit(argv[1]));
    QByteArrayList failures;
    for (const QString &failure : run.failures)
        failures << encoded(failure);
    say(QByteArray("ready ") + QByteArray::number(run.maid()) + ' '
        + QByteArray::number(run.offenId()) + ' ' + QByteArray::number(run.richtung()) + ' '
        + (run.endRequested ? '1' : '0') + ' '
        + (failures.isEmpty() ? QByteArray("-") : failures.join('|')));

    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.rfind("book", 0) != 0)
            continue;
        const qsizetype before = run.failures.size();
        run.book(decoded(line.size() > 5 ? line.substr(5) : std::string()));
        const QByteArray end = run.endRequested ? "1" : "0";
        if (run.failures.size() == before)
            say("booked " + end);
        else
            say("failed " + end + ' ' + encoded(run.failures.last()));
    }
    return 0;
}
