#include "FramePngExport.h"

#include "FrameMaker.h"

void TFramePngExport::Export(const QString& FrameFile, const QString& OutputName, int32_t Width,
                             int32_t Height)
{
    std::unique_ptr<TFrameMakerBase> maker = CreateFrameMaker(GetFrameFileType(FrameFile));
    if (!maker)
        throw EFOpenError(
            QStringLiteral("%1 is not a frame file of a known kind").arg(FrameFile).toStdString());
    maker->LoadFromFile(FrameFile);
    maker->SetWidth(Width);
    maker->SetHeight(Height);
    maker->SaveToPNG(OutputName);
}
