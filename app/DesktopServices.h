#pragma once

// What the main window asks of the desktop: setting the wallpaper, showing
// the help file and opening a mail or web address. Each sits behind a small
// interface so that tests stand in for the desktop.

#include <QString>

#include <functional>
#include <memory>

class TWallpaperSetter
{
public:
    virtual ~TWallpaperSetter() = default;
    // Sets the picture file as the desktop wallpaper, centred, and applies it
    // at once. Returns false when no desktop could take it.
    virtual bool SetWallpaper(const QString& FileName) = 0;
};

class THelpViewer
{
public:
    virtual ~THelpViewer() = default;
    // Opens the help file in the desktop's viewer without waiting for it.
    // NotShown is called, at once or later from the event loop, when no
    // program could show it.
    virtual void ShowHelp(const QString& FileName, std::function<void()> NotShown) = 0;
};

class TAddressOpener
{
public:
    virtual ~TAddressOpener() = default;
    // Opens a "mailto:" or "https:" address with the desktop's program for it.
    virtual void OpenAddress(const QString& Address) = 0;
};

// The three together, as the main window holds them.
struct TDesktopServices
{
    std::unique_ptr<TWallpaperSetter> Wallpaper;
    std::unique_ptr<THelpViewer> Help;
    std::unique_ptr<TAddressOpener> Addresses;

    // The running desktop's own implementations.
    static TDesktopServices System();
};
