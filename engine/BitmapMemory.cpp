#include "BitmapMemory.h"

#include "PixelPass.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

bool IsPowerOfTwo(size_t n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

size_t RoundUp(size_t n, size_t step)
{
    return (n + step - 1) / step * step;
}

// The kernel's huge page for anonymous memory, where a mapping may ask for
// it (transparent huge pages not switched off); 0 elsewhere.
size_t HugePageSize(size_t page)
{
    std::ifstream enabled("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    if (!std::getline(enabled, modes) || modes.find("[never]") != std::string::npos)
        return 0;
    std::ifstream size("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size");
    size_t huge = 0;
    if (!(size >> huge) || !IsPowerOfTwo(huge) || huge <= page)
        return 0;
    return huge;
}

// A mapping of our own.
struct TMapping
{
    void* Start = nullptr;
    size_t Length = 0;
    // On huge pages where they can be had.
    bool Huge = false;
};

void Unmap(const TMapping& mapping)
{
    ::munmap(mapping.Start, mapping.Length);
}

// Length bytes mapped fresh, starting on a multiple of Alignment (a power of
// two, 0 for none) and asking for huge pages there; nothing when the system
// has no memory for it.
std::optional<TMapping> Map(size_t length, size_t alignment)
{
    const int protection = PROT_READ | PROT_WRITE;
    const int flags = MAP_PRIVATE | MAP_ANONYMOUS;
    if (alignment > 0) {
        // One alignment more than needed, then what lies before the aligned
        // start and after its end is given back.
        const size_t span = length + alignment;
        void* mapped = ::mmap(nullptr, span, protection, flags, -1, 0);
        if (mapped != MAP_FAILED) {
            const auto begin = reinterpret_cast<uintptr_t>(mapped);
            const uintptr_t start = RoundUp(begin, alignment);
            const uintptr_t end = start + length;
            if (start > begin)
                ::munmap(mapped, start - begin);
            if (begin + span > end)
                ::munmap(reinterpret_cast<void*>(end), begin + span - end);
            // A kernel that will not keeps small pages: nothing else changes.
            const bool huge =
                ::madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE) == 0;
            return TMapping{reinterpret_cast<void*>(start), length, huge};
        }
    }
    void* mapped = ::mmap(nullptr, length, protection, flags, -1, 0);
    if (mapped == MAP_FAILED)
        return std::nullopt;
    return TMapping{mapped, length, false};
}

// The mappings of the large bitmaps: how many bytes are alive, and while a
// TBitmapReuse lives, the ones kept for reuse.
class TMappings
{
public:
    // Never destroyed: a bitmap may go after the program's own statics.
    static TMappings& Instance()
    {
        static TMappings* const mappings = new TMappings;
        return *mappings;
    }

    void BeginReuse()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_reusers++ == 0)
            m_mostAlive = m_alive;
    }

    void EndReuse()
    {
        std::vector<TMapping> gone;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (--m_reusers > 0)
                return;
            gone.swap(m_kept);
            m_keptBytes = 0;
        }
        for (const TMapping& mapping : gone)
            Unmap(mapping);
    }

    // A kept mapping of Length bytes or up to an eighth more, now alive; or
    // nothing, once the kept ones that would take the memory mapped past
    // the most alive at once with a new one of Length bytes have gone.
    std::optional<TMapping> Take(size_t length)
    {
        std::vector<TMapping> gone;
        std::optional<TMapping> taken;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            auto best = m_kept.end();
            for (auto it = m_kept.begin(); it != m_kept.end(); ++it)
                if (it->Length >= length && it->Length - length <= length / 8 &&
                    (best == m_kept.end() || it->Length < best->Length))
                    best = it;
            if (best != m_kept.end()) {
                taken = *best;
                m_kept.erase(best);
                m_keptBytes -= taken->Length;
                m_alive += taken->Length;
            } else {
                // The oldest go first.
                while (!m_kept.empty() && m_alive + m_keptBytes + length > m_mostAlive) {
                    gone.push_back(m_kept.front());
                    m_keptBytes -= m_kept.front().Length;
                    m_kept.erase(m_kept.begin());
                }
            }
        }
        for (const TMapping& mapping : gone)
            Unmap(mapping);
        return taken;
    }

    // A fresh mapping is alive.
    void Alive(const TMapping& mapping)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_alive += mapping.Length;
        m_mostAlive = std::max(m_mostAlive, m_alive);
    }

    // A bitmap's mapping is done with: kept while a TBitmapReuse lives, else
    // given back.
    void Give(const TMapping& mapping)
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_alive -= mapping.Length;
            if (m_reusers > 0) {
                m_kept.push_back(mapping);
                m_keptBytes += mapping.Length;
                return;
            }
        }
        Unmap(mapping);
    }

    int64_t KeptBytes() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return int64_t(m_keptBytes);
    }

    int64_t LiveBytes() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return int64_t(m_alive);
    }

private:
    TMappings() = default;

    mutable std::mutex m_lock;
    int m_reusers = 0;
    size_t m_alive = 0;
    // The most bytes alive at once since the first TBitmapReuse began.
    size_t m_mostAlive = 0;
    // Oldest first.
    std::vector<TMapping> m_kept;
    size_t m_keptBytes = 0;
};

// The cleanup of a bitmap's pixels, with the last copy of the bitmap.
void Release(void* info)
{
    auto* mapping = static_cast<TMapping*>(info);
    TMappings::Instance().Give(*mapping);
    delete mapping;
}

// Makes the pages of [Begin, End) present; a kernel that cannot do that in
// one call (or a range that does not start on one of its pages) gets a
// write of zero on each page.
void MakePresent(uchar* begin, uchar* end, size_t page)
{
#ifdef MADV_POPULATE_WRITE
    if (::madvise(begin, size_t(end - begin), MADV_POPULATE_WRITE) == 0)
        return;
#endif
    for (volatile uchar* p = begin; p < end; p += page)
        *p = 0;
}

} // namespace

const TPageSizes& SystemPageSizes()
{
    static const TPageSizes sizes = [] {
        const long page = ::sysconf(_SC_PAGESIZE);
        TPageSizes system;
        system.Page = page > 0 && IsPowerOfTwo(size_t(page)) ? size_t(page) : 4096;
        system.Huge = HugePageSize(system.Page);
        return system;
    }();
    return sizes;
}

QImage NewPresentBitmap(int width, int height, QImage::Format format, TNewPixels pixels,
                        const TPageSizes& pages)
{
    const qsizetype stride = qsizetype(width) * 4;
    const int64_t bytes = int64_t(stride) * height;
    if (width <= 0 || height <= 0 || QImage::toPixelFormat(format).bitsPerPixel() != 32 ||
        bytes < PresentBitmapBytes) {
        QImage image(width, height, format);
        if (!image.isNull() && pixels == TNewPixels::Cleared)
            image.fill(0);
        return image;
    }
    const size_t page = IsPowerOfTwo(pages.Page) ? pages.Page : 4096;
    const size_t length = RoundUp(size_t(bytes), page);
    // Huge pages where a whole one fits; the end past the last one stays on
    // small pages.
    const size_t huge = pages.Huge % page == 0 && IsPowerOfTwo(pages.Huge) && length >= pages.Huge
                            ? pages.Huge
                            : 0;
    TMappings& mappings = TMappings::Instance();
    std::optional<TMapping> mapping = mappings.Take(length);
    const bool fresh = !mapping;
    if (fresh) {
        mapping = Map(length, huge);
        if (!mapping)
            return QImage();
        mappings.Alive(*mapping);
    }
    auto* info = new (std::nothrow) TMapping(*mapping);
    if (!info) {
        mappings.Give(*mapping);
        return QImage();
    }
    auto* const first = static_cast<uchar*>(info->Start);
    // The bytes QImage::fill(0) leaves in this format: RGB32 keeps its
    // opaque filler byte.
    QImage one(1, 1, format);
    one.fill(0);
    const uint32_t filler = *reinterpret_cast<const uint32_t*>(one.constBits());
    // Fresh pages read as zero once present; kept ones hold what was drawn.
    const bool fill = pixels == TNewPixels::Cleared && (!fresh || filler != 0);
    // Small pages are made present up front, huge ones where idle workers
    // share the work. Else huge pages come a few at a time as they are first
    // written, each fault holding only its own mapping: making a whole bitmap
    // present on one busy thread holds the process's memory map while the
    // kernel clears it, and every other thread's mapping waits.
    const bool populate =
        fresh && (!info->Huge || 2 * TWorkPool::Instance().IdleWorkers() >=
                                     TWorkPool::Instance().WorkerCount());
    try {
        if (fill || populate)
            ForRowBands(height, int64_t(width) * height, [&](int top, int end) {
                if (fill) {
                    std::fill(reinterpret_cast<uint32_t*>(first + qsizetype(top) * stride),
                              reinterpret_cast<uint32_t*>(first + qsizetype(end) * stride), filler);
                    return;
                }
                // Each band from the page its first row lies on; the pages a
                // band shares with the one before are made present twice,
                // which is harmless.
                uchar* const from =
                    first + (qsizetype(top) * stride) / qsizetype(page) * qsizetype(page);
                MakePresent(from, first + qsizetype(end) * stride, page);
            });
    } catch (...) {
        Release(info);
        return QImage();
    }
    QImage image(first, width, height, stride, format, Release, info);
    if (image.isNull())
        Release(info);
    return image;
}

TBitmapReuse::TBitmapReuse()
{
    TMappings::Instance().BeginReuse();
}

TBitmapReuse::~TBitmapReuse()
{
    TMappings::Instance().EndReuse();
}

int64_t TBitmapReuse::KeptBytes()
{
    return TMappings::Instance().KeptBytes();
}

int64_t TBitmapReuse::LiveBytes()
{
    return TMappings::Instance().LiveBytes();
}
