#include "IntegerText.h"

int32_t StrToInt(const QString& Text)
{
    bool ok = false;
    const int32_t value = Text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw EConvertError(
            QStringLiteral("'%1' is not a valid integer value").arg(Text).toStdString());
    return value;
}
