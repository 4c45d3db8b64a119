#pragma once

// Rows of a 32-bit bitmap encoded as one baseline JPEG through libjpeg, with
// every setting given here and none taken from the environment: TurboJPEG's
// own compress call reads TJ_OPTIMIZE, TJ_RESTART, TJ_PROGRESSIVE and
// TJ_ARITHMETIC and changes the coding by them, which breaks the bands the
// JPEG writer joins. The settings are those TurboJPEG uses without those
// variables, for 4:2:0 chroma subsampling and the accurate DCT, so the bytes
// are the ones it gives, and Qt's writer gives.

#include <QtGlobal>

#include <cstddef>
#include <memory>

// The bytes of one encoded JPEG, in memory of the C library's allocator.
struct TJpegBuffer
{
    TJpegBuffer() = default;
    TJpegBuffer(const TJpegBuffer&) = delete;
    TJpegBuffer& operator=(const TJpegBuffer&) = delete;
    TJpegBuffer(TJpegBuffer&& other) noexcept;
    TJpegBuffer& operator=(TJpegBuffer&& other) noexcept;
    ~TJpegBuffer();
    void Clear();

    unsigned char* Data = nullptr;
    size_t Size = 0;
    size_t Capacity = 0;
};

// One per thread; it may encode one JPEG after another.
class TJpegCompressor
{
public:
    TJpegCompressor();
    ~TJpegCompressor();
    TJpegCompressor(const TJpegCompressor&) = delete;
    TJpegCompressor& operator=(const TJpegCompressor&) = delete;

    // False when libjpeg could not be set up (no memory).
    bool Ready() const;

    // Height rows of Width pixels, Stride bytes apart, each pixel the bytes
    // blue, green, red and one that is ignored; Quality 0 to 100. False when
    // the encoder fails (no memory), and Out is then empty.
    bool Compress(const uchar* Rows, int Width, qsizetype Stride, int Height, int Quality,
                  TJpegBuffer& Out);

private:
    struct TState;
    std::unique_ptr<TState> m_state;
};
