#pragma once

// The help viewer and the address opener of the running desktop.

#include "DesktopServices.h"

class TDesktopHelpViewer : public THelpViewer
{
public:
    void ShowHelp(const QString& FileName) override;
};

class TDesktopAddressOpener : public TAddressOpener
{
public:
    void OpenAddress(const QString& Address) override;
};
