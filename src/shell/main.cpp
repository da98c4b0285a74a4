#include "Program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The program reads no command line and ignores whatever it is given. Qt would take its
    // own options from it (-platform, -style, -reverse...), so it sees the program's name
    // only; the platform still comes from the environment as usual.
    int qtArgc = argc > 0 ? 1 : 0;
    char *qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    QApplication qtApplication(qtArgc, qtArgv);
    // Lets the desktop match the running clock to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zeiterfassung"));
    return runProgram();
}
