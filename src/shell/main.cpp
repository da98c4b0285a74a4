#include "Program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Qt takes its own options from the command line; the program itself reads none.
    QApplication qtApplication(argc, argv);
    return runProgram();
}
