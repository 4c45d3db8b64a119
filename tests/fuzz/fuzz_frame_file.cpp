// Feeds arbitrary bytes through everything a frame file meets on its way to
// a thumbnail: the type probe, the factory, LoadFromFile, the band queries
// and a small Render. Stream and imaging errors are the expected answers to
// damaged files; anything else (a crash, a sanitizer report, an allocation
// beyond a frame file's decode budget, a process above 1.5 GB) is a fault.

#include "FrameMaker.h"
#include "MyGdiPlus.h"
#include "UniFuncs.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

QString FramePath()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath("fuzz.okx");
    return path;
}

void RenderAt(TFrameMakerBase& maker, int width, int height)
{
    maker.SetWidth(width);
    maker.SetHeight(height);
    QImage bitmap;
    try {
        maker.Render(bitmap);
    } catch (const EImagingError&) {
        return;
    }
    // The result is the requested size or, for an ornate frame, smaller.
    if (bitmap.width() > width || bitmap.height() > height)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FramePath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    uint8_t type = 0;
    try {
        type = GetFrameFileType(path);
    } catch (const EStreamError&) {
        return 0;
    }
    const std::unique_ptr<TFrameMakerBase> maker = CreateFrameMaker(type);
    if (!maker)
        return 0;
    try {
        maker->LoadFromFile(path);
    } catch (const EStreamError&) {
        // Fields taken from a complete record stay set; the generator must
        // still answer and draw.
    } catch (const EImagingError&) {
        // Pictures over the file's budget are refused by their headers.
    }
    volatile int32_t bands = maker->GetAddedWidth();
    bands = maker->GetAddedHeight();
    bands = maker->GetTopBand();
    bands = maker->GetLeftBand();
    (void)bands;
    RenderAt(*maker, 64, 48);
    RenderAt(*maker, 7, 5);
    return 0;
}
