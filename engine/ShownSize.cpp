#include "ShownSize.h"

#include "MyGdiPlus.h"
#include "UniFuncs.h"

void CheckShownSize(const QString& FileName, QSize Picture, QSize Shown, const char* Purpose)
{
    if (Shown.width() > 0 && Shown.height() > 0)
        return;
    const char* why = Shown.width() <= 0 ? "narrow" : "low";
    throw EImagingError(QStringLiteral("The picture file %1 is too %2 to %3: %4 x %5 pixels")
                            .arg(ShownPath(FileName), QLatin1String(why), QLatin1String(Purpose))
                            .arg(Picture.width())
                            .arg(Picture.height())
                            .toStdString());
}
