#include "PngFrameCache.h"

#include "MyGdiPlus.h"

TPngFrameCache::TPngFrameCache(QString FileName) : m_fileName(std::move(FileName)) {}

void TPngFrameCache::Refresh()
{
    const TFileStamp now = TFileStamp::Of(m_fileName);
    if (m_decoded && now == m_stamp)
        return;
    m_frame = DecodeImageFile(m_fileName);
    m_reduced.clear();
    m_stamp = now;
    m_decoded = true;
}

QImage TPngFrameCache::Frame()
{
    std::lock_guard<std::mutex> lock(m_lock);
    Refresh();
    return m_frame;
}

QImage TPngFrameCache::FrameAt(QSize Size)
{
    std::lock_guard<std::mutex> lock(m_lock);
    Refresh();
    if (m_frame.isNull() || Size.width() <= 0 || Size.height() <= 0)
        return m_frame;
    if (Size.width() >= m_frame.width() && Size.height() >= m_frame.height())
        return m_frame;
    const std::pair<int, int> key(Size.width(), Size.height());
    const auto found = m_reduced.find(key);
    if (found != m_reduced.end())
        return found->second;
    // What the high-quality drawing does when it reduces (DrawBitmap).
    QImage reduced = m_frame.scaled(Size.width(), Size.height(), Qt::IgnoreAspectRatio,
                                    Qt::SmoothTransformation);
    if (m_reduced.size() >= MaxReducedSizes)
        m_reduced.erase(m_reduced.begin());
    m_reduced.emplace(key, reduced);
    return reduced;
}
