#include "DesktopOpeners.h"

#include "DesktopWallpaper.h"
#include "DetachedTool.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

void TDesktopHelpViewer::ShowHelp(const QString& FileName, std::function<void()> NotShown)
{
    // Asking the desktop through Qt only tells whether its opener started,
    // not whether any program took the page; the opener's exit code does.
    // It is not waited for: with some desktops it runs as long as the
    // browser it started.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(FileName)))
            NotShown();
        return;
    }
    m_openers.remove_if([](const auto& tool) { return tool->Reported(); });
    auto& tool = m_openers.emplace_back(std::make_unique<TDetachedTool>());
    tool->Start(opener, {FileName}, QFileInfo(FileName).path(),
                [NotShown = std::move(NotShown)](TDetachedTool::TResult run) {
                    if (run.Outcome != TDetachedTool::TOutcome::Finished || run.ExitCode != 0)
                        NotShown();
                });
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
