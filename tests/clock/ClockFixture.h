#pragma once

#include "ClockSeams.h"
#include "Failure.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

// Stands in for the platform and the shell: a fixed clock, a login name, regional settings,
// and a record of the messages, end requests and failures the window produced, in order.
struct SeamsRecorder
{
    // Each reading of the clock takes the next of these; the last one repeats.
    QList<QDateTime> clockReadings {QDateTime(QDate(2026, 12, 11), QTime(8, 4, 59))};
    QString logon = QStringLiteral("ilka");
    RegionalSettings regional;

    QStringList messages;
    QStringList failures;
    // "message", "end" and "failure" in the order they happened.
    QStringList events;
    int readings = 0;

    int endRequests() const { return events.count(QStringLiteral("end")); }

    ClockSeams seams()
    {
        ClockSeams s;
        s.now = [this] {
            const int i = std::min(readings++, int(clockReadings.size()) - 1);
            return clockReadings.at(i);
        };
        s.logonName = [this] { return logon; };
        s.regional = regional;
        s.showMessage = [this](const QString &text) {
            messages << text;
            events << QStringLiteral("message");
        };
        s.requestEnd = [this] { events << QStringLiteral("end"); };
        s.runHandler = [this](const std::function<void()> &handler) {
            try {
                handler();
            } catch (const Failure &failure) {
                failures << failure.message();
                events << QStringLiteral("failure");
            } catch (const std::exception &error) {
                failures << QString::fromUtf8(error.what());
                events << QStringLiteral("failure");
            }
        };
        return s;
    }
};
