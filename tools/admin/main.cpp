#include "AdminTool.h"
#include "OfficeCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// Only the PDF timesheet paints, and Qt's fonts need the GUI application object for that;
// every other command runs as a plain console program.
bool paints(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    return false;
}

// Starting Qt's platform layer warns on standard error where the session lacks what a
// desktop has (no XDG_RUNTIME_DIR under cron or ssh). Standard error carries the tool's own
// one-line messages, so warnings are dropped while the layer starts; a layer that cannot
// start at all still says so.
void quietly(const std::function<void()> &start)
{
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n",
                             qFormatLogMessage(type, context, message).toLocal8Bit().constData());
        });
    start();
    qInstallMessageHandler(previous);
}

} // namespace

int main(int argc, char *argv[])
{
    std::unique_ptr<QCoreApplication> app;
    if (paints(argc, argv)) {
        // The tool never shows a window, so it needs no display either.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt sees only the program's name: the tool's options are not Qt's to take.
        static int qtArgc = 1;
        quietly([&] { app = std::make_unique<QGuiApplication>(qtArgc, argv); });
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    AdminTool tool = makeAdminTool();
    addOfficeCommands(tool, systemChangeContext());
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return tool.run(arguments, out, err);
}
