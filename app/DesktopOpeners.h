#pragma once

// The help viewer and the address opener of the running desktop. The help
// page goes to the desktop's opener, "xdg-open", whose exit code tells
// whether a program could show it.

#include "DesktopServices.h"
#include "DetachedTool.h"

#include <list>
#include <memory>

class TDesktopHelpViewer : public THelpViewer
{
public:
    void ShowHelp(const QString& FileName, std::function<void()> NotShown) override;

private:
    // The openers started; those that have reported go at the next start.
    // One still running when the viewer goes runs on alone.
    std::list<std::unique_ptr<TDetachedTool>> m_openers;
};

class TDesktopAddressOpener : public TAddressOpener
{
public:
    void OpenAddress(const QString& Address) override;
};
