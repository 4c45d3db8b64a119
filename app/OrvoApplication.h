#pragma once

// The program's application object. Handlers catch their own exceptions
// (HandlerGuard.h); notify catches only what slipped past them, as a last
// resort, and shows it like a handler's error.

#include <QApplication>

class TOrvoApplication : public QApplication
{
public:
    TOrvoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
