#include "Program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Qt takes its own options from the command line; the program itself reads none.
    QApplication qtApplication(argc, argv);
    // Lets the desktop match the running clock to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zeiterfassung"));
    return runProgram();
}
