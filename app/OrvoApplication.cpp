#include "OrvoApplication.h"

#include "HandlerGuard.h"

TOrvoApplication::TOrvoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TOrvoApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowErrorMessage(nullptr, CurrentExceptionMessage());
        return false;
    }
}
