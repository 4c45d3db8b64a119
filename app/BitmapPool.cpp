#include "BitmapPool.h"

#include "MyGdiPlus.h"

QImage TBitmapPool::Take(int Width, int Height)
{
    QImage bitmap;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_size != QSize(Width, Height)) {
            m_idle.clear();
            m_size = QSize(Width, Height);
        } else if (!m_idle.empty()) {
            bitmap = std::move(m_idle.back());
            m_idle.pop_back();
        }
    }
    if (bitmap.isNull())
        return NewBitmap(Width, Height);
    bitmap.fill(0);
    return bitmap;
}

void TBitmapPool::Give(QImage Bitmap)
{
    if (Bitmap.isNull() || !Bitmap.isDetached() || Bitmap.format() != QImage::Format_ARGB32)
        return;
    std::lock_guard<std::mutex> lock(m_lock);
    if (Bitmap.size() == m_size)
        m_idle.push_back(std::move(Bitmap));
}
