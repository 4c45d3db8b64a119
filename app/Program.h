#pragma once

// Starts the program: application object, main window, message loop.
int RunProgram(int argc, char* argv[]);
