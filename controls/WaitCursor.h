#pragma once

// The wait cursor over every window of the program for as long as the guard
// lives: for work on the user-interface thread that takes a noticeable time.

#include <QCursor>
#include <QGuiApplication>

class TWaitCursor
{
public:
    TWaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
