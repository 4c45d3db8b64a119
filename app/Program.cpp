#include "Program.h"

#include "MainForm.h"
#include "OrvoApplication.h"

#include <memory>

int RunProgram(int argc, char* argv[])
{
    TOrvoApplication app(argc, argv);
    // Creating the main window runs its FormCreate (and so perhaps the tip of
    // the day) before anything is shown.
    auto window = std::make_unique<TfrmMain>();
    window->ShowMaximised();
    return app.exec();
}
