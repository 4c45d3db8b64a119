#pragma once

// The program's help file: a short user guide as one HTML page.

#include <QByteArray>

class THelpWriter
{
public:
    static constexpr const char* FileName = "help.html";

    // The page, UTF-8 encoded.
    static QByteArray Page();
};
