#pragma once

// The frame generator family and the frame file format's common parts.
//
// A frame file ("*.okx") is a 6-byte header ("OKX", 0, reserved 0, type),
// the record of its kind and the embedded JPEG pictures. A generator holds
// the parameters and pictures and draws the frame at any output size with a
// transparent opening for the photo.

#include "MyStreamAdapter.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

// Frame file type byte.
enum TFrameFileType : uint8_t { ftSimple = 0, ftOrnate = 1, ftPicture = 2 };

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
    virtual void LoadFromFile(const QString& FileName) = 0;
    virtual void SaveToFile(const QString& FileName) = 0;

protected:
    int32_t Height = 0;
    int32_t Width = 0;
};

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
