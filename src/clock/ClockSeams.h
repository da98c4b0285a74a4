#pragma once

#include "RegionalSettings.h"

#include <QDateTime>
#include <QString>

#include <functional>

// Everything the platform decides for the clock window reaches it through here, so a
// test can put a fixed clock, a login name, regional settings and a message recorder in.
struct ClockSeams
{
    // One reading of the local clock per call.
    std::function<QDateTime()> now;
    // The name under which the current user is known to the system.
    std::function<QString()> logonName;
    RegionalSettings regional;
    // A modal message box with the application title, no icon and a single OK button.
    std::function<void(const QString &text)> showMessage;
    // Asks the application to end; returns at once.
    std::function<void()> requestEnd;
    // Runs an event handler at the application's catch point, which shows any failure.
    std::function<void(const std::function<void()> &handler)> runHandler;
};
