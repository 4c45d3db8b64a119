#include "JpegMarkers.h"

#include <algorithm>
#include <cstring>

namespace {

// libjpeg's own limits: more components or larger sampling factors are
// refused before anything is allocated.
constexpr int MaxComponents = 10;
constexpr int MaxSampling = 4;
// libjpeg reads at most this much of a JFIF header and ignores a shorter one.
constexpr size_t JfifHeaderLength = 14;

uint16_t BigEndian16(const unsigned char* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

int64_t CeilDiv(int64_t a, int64_t b)
{
    return (a + b - 1) / b;
}

int64_t RoundUp(int64_t a, int64_t b)
{
    return CeilDiv(a, b) * b;
}

bool IsFrameMarker(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

struct TComponent
{
    int Id = 0;
    int H = 1;
    int V = 1;
};

class TMarkerWalk
{
public:
    TMarkerWalk(const unsigned char* data, size_t size) : m_p(data), m_size(size) {}

    TJpegMarkers Walk()
    {
        if (m_size < 4 || m_p[0] != 0xFF || m_p[1] != 0xD8)
            return m_markers;
        size_t at = 2;
        while (at + 2 <= m_size) {
            if (m_p[at] != 0xFF) {
                // Stray bytes between markers: libjpeg skips them with a warning.
                m_plain = false;
                at = NextFF(at);
                continue;
            }
            const unsigned char marker = m_p[at + 1];
            if (marker == 0xFF) { // fill byte
                ++at;
                continue;
            }
            if (marker == 0xD9) { // end of image
                m_markers.Whole = true;
                break;
            }
            if (marker == 0x01 || marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7)) {
                at += 2; // markers without a length
                continue;
            }
            if (at + 4 > m_size)
                break;
            const size_t length = BigEndian16(m_p + at + 2);
            if (length < 2 || at + 2 + length > m_size)
                break; // libjpeg stops at a damaged or cut segment
            ++m_markers.Segments;
            if (!Segment(marker, m_p + at + 4, length - 2))
                break;
            at += 2 + length;
            if (marker == 0xDA)
                at = AfterEntropyData(at);
        }
        m_markers.Valid = m_frame && !m_markers.Size.isEmpty();
        m_markers.PlainForFastDecode = m_markers.Valid && m_plain && m_markers.Scans > 0;
        if (m_markers.Valid && (m_markers.Progressive || m_markers.Scans > 1))
            m_markers.CoefficientBytes = CoefficientBytes();
        return m_markers;
    }

private:
    size_t NextFF(size_t at) const
    {
        const void* found = std::memchr(m_p + at, 0xFF, m_size - at);
        return found ? size_t(static_cast<const unsigned char*>(found) - m_p) : m_size;
    }

    // The position of the marker that ends a scan's entropy-coded data:
    // 0xFF 0x00 is a data byte and restart markers belong to the scan.
    size_t AfterEntropyData(size_t at) const
    {
        for (;;) {
            at = NextFF(at);
            if (at + 1 >= m_size)
                return m_size;
            const unsigned char next = m_p[at + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
                at += 2;
            else if (next == 0xFF)
                at += 1;
            else
                return at;
        }
    }

    // False when the decoder would stop here.
    bool Segment(unsigned char marker, const unsigned char* data, size_t length)
    {
        if (IsFrameMarker(marker))
            return Frame(marker, data, length);
        if (marker == 0xDA)
            return Scan(data, length);
        if (marker == 0xE0 && length >= 5 && std::memcmp(data, "JFIF", 5) == 0) {
            if (m_markers.Scans > 0) {
                m_plain = false; // read by the decoder between the scans
            } else if (length >= JfifHeaderLength) {
                m_markers.DensityUnit = data[7];
                m_markers.XDensity = BigEndian16(data + 8);
                m_markers.YDensity = BigEndian16(data + 10);
            }
        } else if ((marker == 0xE2 && length >= 12 && std::memcmp(data, "ICC_PROFILE", 12) == 0) ||
                   marker == 0xFE || marker == 0xDC || marker == 0xDE || marker == 0xDF) {
            m_plain = false; // colour profiles, comments, DNL, hierarchical markers
        }
        return true;
    }

    bool Frame(unsigned char marker, const unsigned char* data, size_t length)
    {
        if (m_frame) {
            m_plain = false; // a second frame is an error to libjpeg
            return false;
        }
        if (length < 6)
            return false;
        const int count = data[5];
        if (count < 1 || count > MaxComponents || length < 6 + 3 * size_t(count))
            return false;
        for (int i = 0; i < count; ++i) {
            const unsigned char* c = data + 6 + 3 * i;
            const TComponent component{c[0], c[1] >> 4, c[1] & 15};
            if (component.H < 1 || component.H > MaxSampling || component.V < 1 ||
                component.V > MaxSampling)
                return false;
            m_components[i] = component;
            m_hMax = std::max(m_hMax, component.H);
            m_vMax = std::max(m_vMax, component.V);
        }
        m_frame = true;
        m_count = count;
        m_markers.Size = QSize(BigEndian16(data + 3), BigEndian16(data + 1));
        m_markers.Components = count;
        m_markers.Progressive =
            marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
        if (marker != 0xC0 && marker != 0xC1 && marker != 0xC2)
            m_plain = false;
        return true;
    }

    bool Scan(const unsigned char* data, size_t length)
    {
        if (!m_frame || length < 1)
            return false;
        const int count = data[0];
        if (count < 1 || count > 4 || length < 1 + 2 * size_t(count))
            return false;
        ++m_markers.Scans;
        const int64_t w = m_markers.Size.width();
        const int64_t h = m_markers.Size.height();
        if (count == 1) {
            const TComponent* c = Component(data[1]);
            if (c)
                m_markers.ScanBlocks +=
                    CeilDiv(w * c->H, 8 * m_hMax) * CeilDiv(h * c->V, 8 * m_vMax);
            return true;
        }
        int64_t perUnit = 0;
        for (int i = 0; i < count; ++i)
            if (const TComponent* c = Component(data[1 + 2 * i]))
                perUnit += c->H * c->V;
        m_markers.ScanBlocks += CeilDiv(w, 8 * m_hMax) * CeilDiv(h, 8 * m_vMax) * perUnit;
        return true;
    }

    const TComponent* Component(int id) const
    {
        for (int i = 0; i < m_count; ++i)
            if (m_components[i].Id == id)
                return &m_components[i];
        return nullptr;
    }

    // As libjpeg sizes them: each component's blocks, rounded up to whole
    // units of its sampling, 64 coefficients of 2 bytes each.
    int64_t CoefficientBytes() const
    {
        const int64_t w = m_markers.Size.width();
        const int64_t h = m_markers.Size.height();
        int64_t bytes = 0;
        for (int i = 0; i < m_count; ++i) {
            const TComponent& c = m_components[i];
            bytes += RoundUp(CeilDiv(w * c.H, 8 * m_hMax), c.H) *
                     RoundUp(CeilDiv(h * c.V, 8 * m_vMax), c.V) * 128;
        }
        return bytes;
    }

    const unsigned char* m_p;
    size_t m_size;
    TJpegMarkers m_markers;
    TComponent m_components[MaxComponents];
    int m_count = 0;
    int m_hMax = 1;
    int m_vMax = 1;
    bool m_frame = false;
    bool m_plain = true;
};

} // namespace

TJpegMarkers ReadJpegMarkers(const unsigned char* Data, size_t Size)
{
    return TMarkerWalk(Data, Size).Walk();
}
