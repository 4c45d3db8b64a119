#include "DesktopOpeners.h"

#include "DesktopWallpaper.h"

#include <QDesktopServices>
#include <QUrl>

void TDesktopHelpViewer::ShowHelp(const QString& FileName)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(FileName));
}

void TDesktopAddressOpener::OpenAddress(const QString& Address)
{
    QDesktopServices::openUrl(QUrl(Address));
}

TDesktopServices TDesktopServices::System()
{
    TDesktopServices services;
    services.Wallpaper = std::make_unique<TDesktopWallpaper>();
    services.Help = std::make_unique<TDesktopHelpViewer>();
    services.Addresses = std::make_unique<TDesktopAddressOpener>();
    return services;
}
