#pragma once

// Whole numbers typed into edits, read the way the class library reads them.

#include <QString>

#include <cstdint>
#include <stdexcept>

// Raised when a text is not a whole number.
class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A decimal whole number with an optional sign, surrounding blanks allowed.
// Anything else (an empty text included) raises EConvertError
// "'<text>' is not a valid integer value".
int32_t StrToInt(const QString& Text);
