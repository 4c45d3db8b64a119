#include "PngFrameCache.h"

#include "MyGdiPlus.h"
#include "UniFuncs.h"

#include <QFile>

TPngFrameCache::TPngFrameCache(QString FileName) : m_fileName(std::move(FileName)) {}

std::shared_ptr<TPngFrameCache::TDecoded> TPngFrameCache::Current(const std::function<void()>& Begun)
{
    const std::shared_ptr<TDecoded> decoded =
        m_decoded.Get(TFileStamp::Of(m_fileName), [] { return std::make_shared<TDecoded>(); });
    bool first;
    {
        std::lock_guard<std::mutex> lock(decoded->Lock);
        first = !decoded->Started;
        decoded->Started = true;
    }
    if (first)
        Decode(*decoded, Begun);
    else if (Begun)
        Begun();
    return decoded;
}

void TPngFrameCache::Decode(TDecoded& Decoded, const std::function<void()>& Begun)
{
    QImage frame;
    std::exception_ptr error;
    bool begun = false;
    try {
        CheckRegularFile(m_fileName);
        QFile file;
        if (OpenRegularFile(file, m_fileName)) {
            TDecodeWatch watch;
            watch.Rows = [&](const QImage& Picture, int Rows) {
                {
                    std::lock_guard<std::mutex> lock(Decoded.Lock);
                    Decoded.Partial = Picture;
                    Decoded.Rows = Rows;
                    Decoded.Changed.notify_all();
                }
                if (Rows == 0 && Begun && !std::exchange(begun, true))
                    Begun();
            };
            frame = DecodeImageFile(file, m_fileName, QSize(), &watch);
        }
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::lock_guard<std::mutex> lock(Decoded.Lock);
        Decoded.Frame = std::move(frame);
        Decoded.Error = error;
        Decoded.Done = true;
        Decoded.Changed.notify_all();
    }
    if (Begun && !begun)
        Begun();
}

QImage TPngFrameCache::Whole(TDecoded& Decoded)
{
    std::unique_lock<std::mutex> lock(Decoded.Lock);
    Decoded.Changed.wait(lock, [&] { return Decoded.Done; });
    if (Decoded.Error)
        std::rethrow_exception(Decoded.Error);
    return Decoded.Frame;
}

QImage TPngFrameCache::Frame(const std::function<void()>& Begun)
{
    return Whole(*Current(Begun));
}

QImage TPngFrameCache::Reduced(TDecoded& Decoded, QSize Size)
{
    const QImage frame = Whole(Decoded);
    if (frame.isNull() || Size.width() <= 0 || Size.height() <= 0)
        return frame;
    if (Size.width() >= frame.width() && Size.height() >= frame.height())
        return frame;
    return Decoded.Reduced.Get({Size.width(), Size.height()}, [&] {
        // What the high-quality drawing does when it reduces (DrawBitmap).
        return frame.scaled(Size.width(), Size.height(), Qt::IgnoreAspectRatio,
                            Qt::SmoothTransformation);
    });
}

QImage TPngFrameCache::FrameAt(QSize Size)
{
    return Reduced(*Current(), Size);
}

TPngFrameCache::TRows TPngFrameCache::FrameRowsAt(QSize Size)
{
    const std::shared_ptr<TDecoded> decoded = Current();
    TRows rows;
    {
        // Until the decoder has its bitmap, or has given up on rows.
        std::unique_lock<std::mutex> lock(decoded->Lock);
        decoded->Changed.wait(lock, [&] { return decoded->Done || !decoded->Partial.isNull(); });
        if (!decoded->Done && decoded->Partial.size() == Size) {
            rows.Picture = decoded->Partial;
            rows.m_decoded = decoded;
            return rows;
        }
    }
    rows.Picture = Reduced(*decoded, Size);
    return rows;
}

void TPngFrameCache::TRows::WaitFor(int Rows) const
{
    if (!m_decoded)
        return;
    TDecoded& decoded = *m_decoded;
    std::unique_lock<std::mutex> lock(decoded.Lock);
    decoded.Changed.wait(lock, [&] { return decoded.Done || decoded.Rows >= Rows; });
    // The rows were decoded into a bitmap that the decode did not keep.
    if (decoded.Done && decoded.Frame.constBits() != Picture.constBits())
        throw EDecodedAgain();
}
