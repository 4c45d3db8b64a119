#include "FramePngExport.h"

#include "FrameMaker.h"

void TFramePngExport::Export(const QString& FrameFile, const QString& OutputName, int32_t Width,
                             int32_t Height)
{
    LoadKnownFrameMaker(FrameFile, Width, Height)->SaveToPNG(OutputName);
}
