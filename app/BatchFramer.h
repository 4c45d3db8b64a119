#pragma once

// The work of the batch framing wizard, without its window: the target box,
// the fit of a photo into it, the framed output of one photo (with a PNG
// frame or a frame file), the output name and the JPEG written for it.

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

class TFrameMakerBase;
class TPictureFile;
struct TDecodeCost;

// Raised for a photo that a run skips: the message says why, in a few words.
class EPhotoSkipped : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TBatchFramer
{
public:
    // The entries of the size list; the last one is "Custom".
    static const std::array<QString, 8> SizeCaptions;
    static constexpr int CustomSize = 7;

    // The target box of a size entry; for "Custom" the two texts are read as
    // whole numbers (EConvertError when they are not).
    static QSize TargetBox(int Entry, const QString& CustomX, const QString& CustomY);

    // The scale of a w x h photo under a PNG frame into BW x BH: the side
    // whose ratio to the box is strictly larger limits it, else the height.
    static double PngScale(int32_t w, int32_t h, int32_t BW, int32_t BH);
    // The same for a frame that adds AddedWidth x AddedHeight to the photo.
    static double FrameScale(int32_t w, int32_t h, int32_t BW, int32_t BH, int32_t AddedWidth,
                             int32_t AddedHeight);
    // Trunc(Side x s), the product formed in extended precision.
    static int32_t ScaledSide(int32_t Side, double s);

    // The size of the output of a w x h photo under a PNG frame into
    // BW x BH; empty when the photo gives no output.
    static QSize PngOutputSize(int32_t w, int32_t h, int32_t BW, int32_t BH);

    // The framed output of Photo, 32-bit ARGB; pixels neither the photo nor
    // the frame covers stay transparent black. An empty result means the
    // photo gives no output (it has no pixels, or the box leaves none).
    static QImage FrameWithPng(const QImage& Photo, const QImage& PngFrame, int32_t BW, int32_t BH);
    // The same drawn into Output: a bitmap of PngOutputSize with every pixel
    // transparent black.
    static void DrawWithPng(QImage& Output, const QImage& Photo, const QImage& PngFrame);
    // The same framed output in steps, for a photo handed over and a frame
    // that may still be decoding, with as little memory as can be; the
    // pixels are FrameWithPng's. First the photo alone in an output of Size
    // (PngOutputSize's): it is let go as soon as it is reduced, and an
    // opaque photo that covers the whole output at its size (as it is, or
    // once reduced) becomes the output itself, with nothing copied. Then the
    // frame over it: all at once, or, for a frame of the output's own size,
    // over rows [Top, End) of the output whose pixels begin at Pixels (the
    // output's bits, which it holds alone), so that bands of one output may
    // be drawn at once on different threads.
    static QImage PhotoAsPngOutput(QImage Photo, QSize Size);
    static void DrawPngFrame(QImage& Output, const QImage& PngFrame);
    static void DrawPngFrameRows(uchar* Pixels, const QImage& Output, const QImage& PngFrame,
                                 int Top, int End);
    // Maker has its frame file loaded; it gets the output size and renders.
    static QImage FrameWithMaker(const QImage& Photo, TFrameMakerBase& Maker, int32_t BW,
                                 int32_t BH);

    // The same in steps, for a frame rendered once for many photos: a frame
    // file's frame rendered for one output size, with the bands its
    // generator gave for it.
    struct TRenderedFrame
    {
        QSize Output;
        QImage Picture;
        int32_t LeftBand = 0;
        int32_t TopBand = 0;
        int32_t AddedWidth = 0;
        int32_t AddedHeight = 0;
    };
    // The output size of a w x h photo in a frame that adds AddedWidth x
    // AddedHeight, fitted into BW x BH; empty when the photo gives no output.
    static QSize MakerOutputSize(int32_t w, int32_t h, int32_t BW, int32_t BH, int32_t AddedWidth,
                                 int32_t AddedHeight);
    // Maker's frame at Output (which it gets as its output size).
    static TRenderedFrame RenderFrame(TFrameMakerBase& Maker, QSize Output);
    // Photo drawn into Frame's opening and Frame over it, into Output: a
    // bitmap of Frame.Output with every pixel transparent black.
    static void DrawFramed(QImage& Output, const QImage& Photo, const TRenderedFrame& Frame);
    // The same into a new bitmap, the photo let go once it is reduced and
    // before the output is made.
    static QImage ComposeFramed(QImage Photo, const TRenderedFrame& Frame);

    // The frame file loaded into the generator of its type. Every error
    // names the file: EFOpenError when it cannot be opened or its type has
    // no generator, EPictureTooLarge when its pictures are over the decode
    // budget, EFOpenError "Cannot read the frame file" for the rest.
    static std::unique_ptr<TFrameMakerBase> LoadFrame(const QString& FrameFile);
    // Raises EImagingError naming FileName when the PNG frame did not decode.
    static void CheckPngFrame(const QImage& PngFrame, const QString& FileName);

    // What a frame file's generator tells of its bands: the size they add.
    struct TBands
    {
        int32_t AddedWidth = 0;
        int32_t AddedHeight = 0;
    };
    static TBands BandsOf(const TFrameMakerBase& Maker);

    // Raise EPhotoSkipped: for a photo that did not decode; for bands that
    // cannot frame a w x h photo in the box BW x BH (they add a negative
    // size, or they leave the photo no room on the side that limits its
    // scale; an output may exceed the box on the other side, where the frame
    // adds relatively more), or whose output would be larger than JPEG
    // holds, before the frame is rendered; for an output size larger than
    // JPEG holds; for an output without pixels or larger than JPEG holds.
    static void CheckPhoto(const QImage& Photo);
    static void CheckBands(const TBands& Bands, QSize Photo, int32_t BW, int32_t BH);
    static void CheckOutputSize(QSize Output);
    static QImage CheckedOutput(QImage Output);

    // The photo file decoded; raises what decoding raises, and EPhotoSkipped
    // for a photo that does not exist, may not be read, is damaged
    // (TPictureFile::Damaged) or does not decode.
    static QImage ReadPhoto(const QString& Photo);
    // The same in steps, for a photo file opened once: EPhotoSkipped for
    // one that could not be opened, then the photo decoded, Charge told
    // what that takes before it begins (TPictureFile::Decode).
    static void CheckOpened(const TPictureFile& File);
    static QImage ReadPhoto(TPictureFile& File,
                            const std::function<void(const TDecodeCost&)>& Charge = {});

    // The whole output of one photo file: the photo decoded, framed with the
    // PNG picture or the frame file FrameFile (both loaded anew) and fitted
    // into Box. Raises the frame's errors (LoadFrame, CheckPngFrame), and
    // EPhotoSkipped for a photo that gets no output.
    static QImage FramePhoto(const QString& Photo, const QString& FrameFile, bool IsPngFrame,
                             QSize Box);

    // Where a w x h photo is shown in a preview box of bw x bh: fitted whole,
    // the drawn size and offsets truncated. Empty for a photo without pixels.
    static QRectF PreviewRect(int32_t w, int32_t h, int32_t bw, int32_t bh);

    // The output file of Photo: the photo itself when Overwrite, else the
    // photo's folder, Prefix and the photo's file name.
    static QString OutputName(const QString& Photo, bool Overwrite, const QString& Prefix);

    // Writes Output as JPEG of quality 100, whatever the name's extension.
    // False when nothing was written; an old file then stays as it was.
    static bool WriteJpeg(const QImage& Output, const QString& FileName);
    // The same in two steps: the JPEG bytes (empty when Output is empty or
    // cannot be encoded), and their file; Detail as WriteFileAtomically
    // gives it.
    static QByteArray EncodeJpeg(const QImage& Output,
                                 const std::function<void(int Top, int End)>& Rows = {});
    static bool WriteJpegBytes(const QByteArray& Jpeg, const QString& FileName,
                               QString* Detail = nullptr);
};
