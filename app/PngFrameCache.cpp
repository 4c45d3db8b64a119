#include "PngFrameCache.h"

#include "MyGdiPlus.h"

TPngFrameCache::TPngFrameCache(QString FileName) : m_fileName(std::move(FileName)) {}

std::shared_ptr<TPngFrameCache::TDecoded> TPngFrameCache::Current()
{
    return m_decoded.Get(TFileStamp::Of(m_fileName), [this] {
        auto decoded = std::make_shared<TDecoded>();
        decoded->Frame = DecodeImageFile(m_fileName);
        return decoded;
    });
}

QImage TPngFrameCache::Frame()
{
    return Current()->Frame;
}

QImage TPngFrameCache::FrameAt(QSize Size)
{
    const std::shared_ptr<TDecoded> decoded = Current();
    const QImage& frame = decoded->Frame;
    if (frame.isNull() || Size.width() <= 0 || Size.height() <= 0)
        return frame;
    if (Size.width() >= frame.width() && Size.height() >= frame.height())
        return frame;
    return decoded->Reduced.Get({Size.width(), Size.height()}, [&] {
        // What the high-quality drawing does when it reduces (DrawBitmap).
        return frame.scaled(Size.width(), Size.height(), Qt::IgnoreAspectRatio,
                            Qt::SmoothTransformation);
    });
}
