#include "Program.h"

#include <QApplication>

int RunProgram(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return 0;
}
