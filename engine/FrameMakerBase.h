#pragma once

// The frame generator family and the frame file format's common parts.
//
// A frame file ("*.okx") is a 6-byte header ("OKX", 0, reserved 0, type),
// the record of its kind and the embedded JPEG pictures. A generator holds
// the parameters and pictures and draws the frame at any output size with a
// transparent opening for the photo.

#include "DecodeBudget.h"
#include "MyStreamAdapter.h"
#include "UniFuncs.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// Frame file type byte.
enum TFrameFileType : uint8_t
{
    ftSimple = 0,
    ftOrnate = 1,
    ftPicture = 2
};

// The header: "OKX", 0, reserved 0, type byte; the record follows it.
constexpr int FrameFileHeaderSize = 6;

class TFrameMakerBase
{
public:
    TFrameMakerBase() = default;
    virtual ~TFrameMakerBase() = default;
    TFrameMakerBase(const TFrameMakerBase&) = delete;
    TFrameMakerBase& operator=(const TFrameMakerBase&) = delete;

    void SetWidth(int32_t Value) { Width = Value; }
    void SetHeight(int32_t Value) { Height = Value; }
    int32_t GetWidth() const { return Width; }
    int32_t GetHeight() const { return Height; }

    // The opening that a photo fills in an output of Width x Height is
    // (GetLeftBand, GetTopBand, Width - GetAddedWidth, Height - GetAddedHeight).
    // Results saturate to the 32-bit range.
    virtual int32_t GetAddedWidth() const = 0;
    virtual int32_t GetAddedHeight() const = 0;
    virtual int32_t GetTopBand() const = 0;
    virtual int32_t GetLeftBand() const = 0;
    // Renders and writes the frame as PNG with its transparent opening.
    // Raises EFCreateError "Cannot create file %s" when it cannot be written.
    virtual void SaveToPNG(const QString& FileName);
    // Replaces Bitmap with a new 32-bit ARGB frame of Width x Height whose
    // pixels outside the frame are transparent. A null image is "no bitmap".
    virtual void Render(QImage& Bitmap) = 0;
    // The pictures of one file may take at most FrameFileBudget decoded in
    // all: each is charged, by its header, before it is decoded, and a file
    // over the budget raises EImagingError naming it.
    virtual void LoadFromFile(const QString& FileName) = 0;
    virtual void SaveToFile(const QString& FileName) = 0;

    // Whether pictures of these sizes, stored in one frame file, can be
    // loaded from it: each charged as LoadFromFile charges it, against the
    // same FrameFileBudget.
    static bool PicturesFitFrameFile(const std::vector<QSize>& Sizes);

    // Asked before each picture LoadFromFile decodes; true gives the load up
    // with EDecodeStopped (a thumbnail worker told to stop).
    void SetStopRequest(std::function<bool()> StopRequested)
    {
        m_stopRequested = std::move(StopRequested);
    }

protected:
    // What LoadFromFile and SaveToFile of every kind share.

    // Opens the file for reading without sharing and places it after the
    // header, which is neither read nor tested. Raises EFOpenError.
    static std::unique_ptr<TFileStreamW> OpenFrameFile(const QString& FileName);
    // The budget of one LoadFromFile of FileName.
    TDecodeBudget NewLoadBudget(const QString& FileName) const;
    // Reads Count picture bytes at the file's position and decodes them
    // within Budget. A count larger than what is left of the file raises
    // EReadError "Stream read error" before anything of that size is
    // allocated.
    static QImage ReadFramePicture(TFileStreamW& File, uint32_t Count, TDecodeBudget& Budget);
    // The JPEG bytes of a picture as a frame file holds them; empty for an
    // empty picture. Raises EImagingError for a picture the encoder refuses.
    static QByteArray EncodeFramePicture(const QImage& Picture);
    // Writes the header with the type byte, the record and the pictures back
    // to back. The file is replaced only once everything was written; on
    // failure it raises EFCreateError "Cannot create file %s" naming FileName
    // and the old file stays as it was.
    static void WriteFrameFile(const QString& FileName, uint8_t FrameType, const QByteArray& Record,
                               const std::vector<QByteArray>& Pictures);
    // Raises EFCreateError for FileName, with the file writer's Detail.
    [[noreturn]] static void RaiseCreateError(const QString& FileName, const QString& Detail = {});

    int32_t Height = 0;
    int32_t Width = 0;

private:
    std::function<bool()> m_stopRequested;
};

// Clamps a 64-bit sum of file fields to the 32-bit range.
int32_t SaturateToInt32(int64_t Value);

// Opens the file for reading, reads the 6-byte header and returns byte 5.
uint8_t GetFrameFileType(const QString& FileName);

// The factory rule every user of frame files applies: 0 simple, 1 ornate,
// 2 picture, anything else no generator.
std::unique_ptr<TFrameMakerBase> CreateFrameMaker(uint8_t FrameType);

// Encodes Bitmap as JPEG of quality 100 at the stream's position and leaves
// the stream after the written bytes. An empty bitmap writes nothing.
void SaveBitmapToJpegStream(const QImage& Bitmap, TMemoryStream& Stream);

// Decodes the whole content of Stream, which it takes over. Undecodable or
// empty content gives an empty (0 x 0) picture, never an error.
QImage LoadBitmapFromStream(std::unique_ptr<TMemoryStream> Stream);
