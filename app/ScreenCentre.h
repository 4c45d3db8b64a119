#pragma once

// Places a window in the middle of its screen's free area.

#include <QScreen>
#include <QWidget>

inline void CentreOnScreen(QWidget& Window)
{
    if (const QScreen* screen = Window.screen())
        Window.move(screen->availableGeometry().center() - Window.rect().center());
}
