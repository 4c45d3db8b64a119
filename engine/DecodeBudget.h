#pragma once

// What decoding may cost. Every decode reads from the picture's header what
// it will take (DecodeCost.h) and refuses, before a pixel is allocated, a
// picture that promises more than one picture's allowance; the pictures a
// frame file embeds share one budget for the whole file, charged as each is
// read. A small file therefore never makes the program ask for gigabytes,
// nor keeps it reading for long.

#include "DecodeCost.h"
#include "MyGdiPlus.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>

// The most pixels one picture may have: 2^27 (512 MB at 32 bits), room for
// the 100-megapixel photos of the largest cameras. Pictures whose decoder
// gives wider pixels (16 bits a channel) may take no more bytes than that.
constexpr int64_t MaxPicturePixels = int64_t(1) << 27;

// The most one picture's decode may hold at once, its pixels and the
// decoder's working memory together (DecodeCost.h): 1 GB, so that the
// largest picture still opens while its decoder keeps its coefficients.
constexpr int64_t MaxDecodePeakBytes = int64_t(1) << 30;

// The most scans a JPEG may have, and the most blocks they may cover
// together: each scan is a pass over its blocks whether it carries data or
// not, so a small file of many scans could keep the decoder busy for
// minutes. libjpeg-turbo's own tools cap the scans for the same reason. A
// progressive JPEG of the usual kinds has about ten scans and covers each
// block of each colour a few times; the blocks allow 32 passes over the
// three colours of the largest picture.
constexpr int MaxJpegScans = 500;
constexpr int64_t MaxJpegScanBlocks = 32 * 3 * (MaxPicturePixels / 64);

// The most segments a JPEG may have for Qt's reader: it keeps its comments
// and application segments in a list that it walks from the start for each
// new one, so a small file of empty segments would hold it for minutes
// (10,000 take it a tenth of a second). A camera's photo has a few dozen,
// and a few hundred where large metadata is split over many. The fast
// decoder skips them at no cost and is not held to this.
constexpr int MaxJpegSegments = 10000;

// The most the pictures of one frame file may take decoded, in bytes.
constexpr int64_t FrameFileBudget = int64_t(256) << 20;

// The most the photos that a batch run frames at the same time may hold at
// their peaks, in bytes (TMemoryGate): eight 12-megapixel photos framed
// with a PNG frame of their own size, seven where they are reduced into a
// frame file's opening, with the process's own memory beside them staying
// within about 720 MB.
constexpr int64_t BatchPhotosBudget = int64_t(600) << 20;

// The largest picture a reader may allocate, in MB: the backstop for
// pictures whose header gives no size.
constexpr int ReaderAllocationLimitMB = 512;

// The bytes a picture of Size takes once decoded in Format: at least 32 bits
// a pixel, which every decoded picture becomes. 0 for an invalid size.
int64_t DecodedBytes(const QSize& Size, QImage::Format Format);

// Raises EPictureTooLarge "The picture file X is too large: W x H pixels" when
// a picture of Size decoded in Format takes more than Bytes (by default what
// MaxPicturePixels take at 32 bits). FileName may be empty for pictures that
// come from memory.
void CheckPictureSize(const QString& FileName, const QSize& Size,
                      QImage::Format Format = QImage::Format_Invalid,
                      int64_t Bytes = MaxPicturePixels * 4);

// Raises EPictureDamaged "The picture file X is damaged: it holds a picture
// of W x H pixels" when a side of Cost has no pixels. Raises
// EPictureTooLarge when a side is longer than the decoder reads ("The
// picture file X is too large: W x H pixels, more than N a side"), when
// decoding would take more than one picture's allowance or
// MaxDecodePeakBytes ("The picture file X is too large: W x H pixels"), or
// read more scans than a JPEG may have ("The picture file X has too many
// scans to be read: N").
void CheckPictureSize(const QString& FileName, const TDecodeCost& Cost);

// Before Qt's reader reads a picture of Cost: raises EPictureTooLarge "The
// picture file X has too many segments to be read: N" past MaxJpegSegments.
void CheckSegments(const QString& FileName, const TDecodeCost& Cost);

// Raised when a picture or a file's pictures are refused for their size or
// the work of reading them, before their pixels were allocated.
class EPictureTooLarge : public EImagingError
{
public:
    using EImagingError::EImagingError;
};

// Raised when a picture's header gives a side of no pixels, before anything
// was decoded.
class EPictureDamaged : public EImagingError
{
public:
    using EImagingError::EImagingError;
};

// Raised when a decode is given up because its owner asked to stop.
class EDecodeStopped : public std::runtime_error
{
public:
    EDecodeStopped() : std::runtime_error("Decoding was stopped") {}
};

// The budget of one file whose pictures are decoded one after another.
class TDecodeBudget
{
public:
    // Bytes for the pictures of FileName. StopRequested, when given, is asked
    // before every picture; true gives the decode up with EDecodeStopped.
    TDecodeBudget(QString FileName, int64_t Bytes, std::function<bool()> StopRequested = {});

    // Before a picture is decoded: takes the bytes of a picture of Size in
    // Format from what remains, or raises EPictureTooLarge "The frame file X
    // is too large: its pictures need more than N MB" when they do not fit.
    // A size the header did not give is charged after decoding (Decoded).
    void Charge(const QSize& Size, QImage::Format Format);
    // The same without raising: false, and nothing taken, when they do not
    // fit. A stop request is not asked.
    bool TryCharge(const QSize& Size, QImage::Format Format);
    // The same for a picture of Cost: its decode's peak is taken.
    void Charge(const TDecodeCost& Cost);
    // After a picture whose size was not known beforehand was decoded.
    void Decoded(const QImage& Picture);
    // Raises EDecodeStopped when a stop was requested.
    void CheckStop() const;

    // Raises EPictureTooLarge "The frame file X is too large: its pictures
    // need more than N MB".
    [[noreturn]] void RaiseTooLarge() const;

    const QString& FileName() const { return m_fileName; }
    int64_t Remaining() const { return m_remaining; }

private:
    void Take(int64_t Bytes);

    QString m_fileName;
    int64_t m_bytes;
    int64_t m_remaining;
    std::function<bool()> m_stopRequested;
};
