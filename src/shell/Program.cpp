#include "Program.h"

#include "Application.h"
#include "ClockSeams.h"
#include "LogonName.h"
#include "QtMessageBoxes.h"
#include "RegionalSettings.h"
#include "TData.h"
#include "Tfmain.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>

ClockSeams platformSeams(Application &application)
{
    ClockSeams seams;
    seams.now = [] { return QDateTime::currentDateTime(); };
    seams.logonName = [] { return GetLogonName(); };
    seams.regional = RegionalSettings::fromLocale(QLocale::system());
    seams.showMessage = [&application](const QString &text) { application.showMessage(text); };
    seams.requestEnd = [&application] { application.requestEnd(); };
    seams.runHandler = [&application](const std::function<void()> &handler) {
        application.runAtCatchPoint(handler);
    };
    return seams;
}

int runProgram()
{
    // The program ends only through an end request; closing the clock window makes one.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString executablePath = QCoreApplication::applicationFilePath();
    QtMessageBoxes boxes;
    Application application(executablePath, boxes);
    const ClockSeams seams = platformSeams(application);

    return application.run(
        [&] {
            return std::make_unique<TData>(executablePath,
                                           [&application] { application.requestEnd(); });
        },
        [&](TData &Data) { return std::make_unique<Tfmain>(Data, seams); });
}
