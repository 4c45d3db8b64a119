#include "BatchFramer.h"

#include "DecodeBudget.h"
#include "ExtMath.h"
#include "FrameMaker.h"
#include "IntegerText.h"
#include "MyGdiPlus.h"
#include "PictureFile.h"
#include "UniFuncs.h"

#include <QColorSpace>
#include <QIODevice>

#include <cerrno>

const std::array<QString, 8> TBatchFramer::SizeCaptions = {
    QStringLiteral("100 x 75"),    QStringLiteral("320 x 240"),  QStringLiteral("640 x 480"),
    QStringLiteral("800 x 600"),   QStringLiteral("1024 x 768"), QStringLiteral("1028 x 960"),
    QStringLiteral("1600 x 1200"), QStringLiteral("Custom")};

QSize TBatchFramer::TargetBox(int Entry, const QString& CustomX, const QString& CustomY)
{
    static constexpr std::array<QSize, 7> boxes = {
        QSize(100, 75),   QSize(320, 240),  QSize(640, 480),  QSize(800, 600),
        QSize(1024, 768), QSize(1028, 960), QSize(1600, 1200)};
    if (Entry >= 0 && Entry < CustomSize)
        return boxes[static_cast<size_t>(Entry)];
    const int32_t width = StrToInt(CustomX);
    const int32_t height = StrToInt(CustomY);
    return QSize(width, height);
}

double TBatchFramer::PngScale(int32_t w, int32_t h, int32_t BW, int32_t BH)
{
    if (XDiv(w, BW) > XDiv(h, BH))
        return static_cast<double>(XDiv(BW, w));
    return static_cast<double>(XDiv(BH, h));
}

double TBatchFramer::FrameScale(int32_t w, int32_t h, int32_t BW, int32_t BH, int32_t AddedWidth,
                                int32_t AddedHeight)
{
    if (XDiv(w, BW) > XDiv(h, BH))
        return static_cast<double>(XDiv(double(BW) - AddedWidth, w));
    return static_cast<double>(XDiv(double(BH) - AddedHeight, h));
}

int32_t TBatchFramer::ScaledSide(int32_t Side, double s)
{
    return XTrunc(XMul(Side, s));
}

QSize TBatchFramer::PngOutputSize(int32_t w, int32_t h, int32_t BW, int32_t BH)
{
    if (w <= 0 || h <= 0 || BW <= 0 || BH <= 0)
        return QSize();
    const double s = PngScale(w, h, BW, BH);
    const int32_t W = ScaledSide(w, s);
    const int32_t H = ScaledSide(h, s);
    if (W <= 0 || H <= 0)
        return QSize();
    return QSize(W, H);
}

QImage TBatchFramer::FrameWithPng(const QImage& Photo, const QImage& PngFrame, int32_t BW,
                                  int32_t BH)
{
    const QSize size = PngOutputSize(Photo.width(), Photo.height(), BW, BH);
    if (size.isEmpty())
        return QImage();
    QImage output = NewBitmap(size.width(), size.height());
    DrawWithPng(output, Photo, PngFrame);
    return output;
}

void TBatchFramer::DrawWithPng(QImage& Output, const QImage& Photo, const QImage& PngFrame)
{
    const int32_t W = Output.width();
    const int32_t H = Output.height();
    QPainter painter(&Output);
    SetInterpolationMode(painter, TInterpolation::HighQuality);
    DrawBitmap(painter, Photo, QRectF(0, 0, W, H), QRect(0, 0, Photo.width(), Photo.height()));
    DrawBitmap(painter, PngFrame, QRectF(0, 0, W, H),
               QRect(0, 0, PngFrame.width(), PngFrame.height()));
}

namespace {

// Photo in place of its high-quality reduction into Dest, when it is
// reduced: the full-size photo goes as soon as its reduction is made.
void ReduceFor(QImage& Photo, const QRectF& Dest)
{
    QImage reduced = ReducedForDrawing(Photo, Dest, Photo.rect());
    if (!reduced.isNull())
        Photo = std::move(reduced);
}

// Photo, drawn 1:1 over the whole of a new transparent bitmap of its size,
// gives the photo's own pixels when it is opaque and has nothing a new
// bitmap lacks (texts, a colour space) that an encoder would read: then it
// becomes that bitmap, its resolution a new bitmap's.
bool BecomeOutput(QImage& Photo, QSize Size, QImage& Output)
{
    if (Photo.size() != Size || Photo.format() != QImage::Format_RGB32 ||
        !Photo.textKeys().isEmpty() || Photo.colorSpace().isValid() || !Photo.offset().isNull())
        return false;
    const QImage blank(1, 1, QImage::Format_ARGB32);
    Output = std::move(Photo);
    if (!Output.reinterpretAsFormat(QImage::Format_ARGB32)) {
        Photo = std::move(Output);
        return false;
    }
    Output.setDotsPerMeterX(blank.dotsPerMeterX());
    Output.setDotsPerMeterY(blank.dotsPerMeterY());
    return true;
}

} // namespace

QImage TBatchFramer::PhotoAsPngOutput(QImage Photo, QSize Size)
{
    if (Size.isEmpty())
        return QImage();
    const QRectF whole(0, 0, Size.width(), Size.height());
    ReduceFor(Photo, whole);
    QImage output;
    if (!BecomeOutput(Photo, Size, output)) {
        output = NewBitmap(Size.width(), Size.height());
        QPainter painter(&output);
        SetInterpolationMode(painter, TInterpolation::HighQuality);
        DrawBitmap(painter, Photo, whole, Photo.rect());
    }
    return output;
}

void TBatchFramer::DrawPngFrame(QImage& Output, const QImage& PngFrame)
{
    QPainter painter(&Output);
    SetInterpolationMode(painter, TInterpolation::HighQuality);
    DrawBitmap(painter, PngFrame, QRectF(Output.rect()), PngFrame.rect());
}

void TBatchFramer::DrawPngFrameRows(uchar* Pixels, const QImage& Output, const QImage& PngFrame,
                                    int Top, int End)
{
    // Drawn 1:1, each pixel of the frame over its own: the rows apart give
    // what all of them at once give.
    const qsizetype stride = Output.bytesPerLine();
    QImage rows(Pixels + Top * stride, Output.width(), End - Top, stride, Output.format());
    const QImage frameRows(PngFrame.constScanLine(Top), PngFrame.width(), End - Top,
                           PngFrame.bytesPerLine(), PngFrame.format());
    DrawPngFrame(rows, frameRows);
}

QSize TBatchFramer::MakerOutputSize(int32_t w, int32_t h, int32_t BW, int32_t BH,
                                    int32_t AddedWidth, int32_t AddedHeight)
{
    // A photo without pixels or a box without room cannot be fitted: the
    // scale would come from a division by zero or be no scale at all.
    if (w <= 0 || h <= 0 || BW <= 0 || BH <= 0)
        return QSize();
    const double s = FrameScale(w, h, BW, BH, AddedWidth, AddedHeight);
    const int32_t W = SaturateToInt32(int64_t(AddedWidth) + ScaledSide(w, s));
    const int32_t H = SaturateToInt32(int64_t(AddedHeight) + ScaledSide(h, s));
    // A frame wider than the box leaves the photo no room.
    if (s <= 0 || W <= 0 || H <= 0)
        return QSize();
    return QSize(W, H);
}

TBatchFramer::TRenderedFrame TBatchFramer::RenderFrame(TFrameMakerBase& Maker, QSize Output)
{
    TRenderedFrame frame;
    frame.Output = Output;
    Maker.SetWidth(Output.width());
    Maker.SetHeight(Output.height());
    Maker.Render(frame.Picture);
    frame.LeftBand = Maker.GetLeftBand();
    frame.TopBand = Maker.GetTopBand();
    frame.AddedWidth = Maker.GetAddedWidth();
    frame.AddedHeight = Maker.GetAddedHeight();
    return frame;
}

void TBatchFramer::DrawFramed(QImage& Output, const QImage& Photo, const TRenderedFrame& Frame)
{
    const int32_t W = Frame.Output.width();
    const int32_t H = Frame.Output.height();
    QPainter painter(&Output);
    SetInterpolationMode(painter, TInterpolation::HighQuality);
    DrawBitmap(painter, Photo,
               QRectF(Frame.LeftBand, Frame.TopBand, double(W) - Frame.AddedWidth,
                      double(H) - Frame.AddedHeight),
               QRect(0, 0, Photo.width(), Photo.height()));
    DrawBitmap(painter, Frame.Picture, QRectF(0, 0, W, H), QRect(0, 0, W, H));
}

QImage TBatchFramer::ComposeFramed(QImage Photo, const TRenderedFrame& Frame)
{
    const int32_t W = Frame.Output.width();
    const int32_t H = Frame.Output.height();
    const QRectF opening(Frame.LeftBand, Frame.TopBand, double(W) - Frame.AddedWidth,
                         double(H) - Frame.AddedHeight);
    ReduceFor(Photo, opening);
    QImage output = NewBitmap(W, H);
    QPainter painter(&output);
    SetInterpolationMode(painter, TInterpolation::HighQuality);
    DrawBitmap(painter, Photo, opening, Photo.rect());
    Photo = QImage();
    DrawBitmap(painter, Frame.Picture, QRectF(0, 0, W, H), QRect(0, 0, W, H));
    return output;
}

QImage TBatchFramer::FrameWithMaker(const QImage& Photo, TFrameMakerBase& Maker, int32_t BW,
                                    int32_t BH)
{
    const QSize size = MakerOutputSize(Photo.width(), Photo.height(), BW, BH, Maker.GetAddedWidth(),
                                       Maker.GetAddedHeight());
    if (size.isEmpty())
        return QImage();
    QImage output = NewBitmap(size.width(), size.height());
    DrawFramed(output, Photo, RenderFrame(Maker, size));
    return output;
}

std::unique_ptr<TFrameMakerBase> TBatchFramer::LoadFrame(const QString& FrameFile)
{
    try {
        // The output size follows from the frame's bands, for every photo.
        return LoadKnownFrameMaker(FrameFile, 0, 0);
    } catch (const EFOpenError&) {
        throw;
    } catch (const EPictureTooLarge&) {
        // The decode budget's own message names the file and says why.
        throw;
    } catch (const std::exception&) {
        throw EFOpenError(FileMessage("Cannot read the frame file %1", FrameFile));
    }
}

void TBatchFramer::CheckPngFrame(const QImage& PngFrame, const QString& FileName)
{
    if (PngFrame.isNull())
        throw UnreadablePicture(FileName);
}

void TBatchFramer::CheckPhoto(const QImage& Photo)
{
    if (Photo.isNull())
        throw EPhotoSkipped("the photo cannot be read");
}

QImage TBatchFramer::ReadPhoto(const QString& Photo)
{
    TPictureFile file(Photo);
    CheckOpened(file);
    return ReadPhoto(file);
}

void TBatchFramer::CheckOpened(const TPictureFile& File)
{
    switch (File.OpenError()) {
    case 0:
        return;
    case ENOENT:
    case ENOTDIR:
        throw EPhotoSkipped("the photo does not exist");
    case EACCES:
    case EPERM:
        throw EPhotoSkipped("the photo may not be read");
    default:
        throw EPhotoSkipped("the photo cannot be read");
    }
}

QImage TBatchFramer::ReadPhoto(TPictureFile& File,
                               const std::function<void(const TDecodeCost&)>& Charge)
{
    QImage photo = File.Decode(Charge);
    // The decoders make up the part of the picture that is missing.
    if (File.Damaged())
        throw EPhotoSkipped("the photo is damaged");
    CheckPhoto(photo);
    return photo;
}

TBatchFramer::TBands TBatchFramer::BandsOf(const TFrameMakerBase& Maker)
{
    return TBands{Maker.GetAddedWidth(), Maker.GetAddedHeight()};
}

void TBatchFramer::CheckBands(const TBands& Bands, QSize Photo, int32_t BW, int32_t BH)
{
    // Bands of negative width would place the photo outside the frame's
    // opening.
    if (Bands.AddedWidth < 0 || Bands.AddedHeight < 0)
        throw EPhotoSkipped("band width out of range");
    if (Photo.width() <= 0 || Photo.height() <= 0 || BW <= 0 || BH <= 0)
        return;
    if (FrameScale(Photo.width(), Photo.height(), BW, BH, Bands.AddedWidth, Bands.AddedHeight) <= 0)
        throw EPhotoSkipped("the frame leaves no room in the box");
    CheckOutputSize(MakerOutputSize(Photo.width(), Photo.height(), BW, BH, Bands.AddedWidth,
                                    Bands.AddedHeight));
}

void TBatchFramer::CheckOutputSize(QSize Output)
{
    if (!JpegHolds(Output))
        throw EPhotoSkipped(QStringLiteral("the output of %1 x %2 pixels is too large for JPEG")
                                .arg(Output.width())
                                .arg(Output.height())
                                .toStdString());
}

QImage TBatchFramer::CheckedOutput(QImage Output)
{
    if (Output.isNull())
        throw EPhotoSkipped("the output would have no pixels");
    CheckOutputSize(Output.size());
    return Output;
}

QImage TBatchFramer::FramePhoto(const QString& Photo, const QString& FrameFile, bool IsPngFrame,
                                QSize Box)
{
    const QImage photo = ReadPhoto(Photo);
    if (IsPngFrame) {
        const QImage frame = DecodeImageFile(FrameFile);
        CheckPngFrame(frame, FrameFile);
        return CheckedOutput(FrameWithPng(photo, frame, Box.width(), Box.height()));
    }
    const std::unique_ptr<TFrameMakerBase> maker = LoadFrame(FrameFile);
    CheckBands(BandsOf(*maker), photo.size(), Box.width(), Box.height());
    return CheckedOutput(FrameWithMaker(photo, *maker, Box.width(), Box.height()));
}

QRectF TBatchFramer::PreviewRect(int32_t w, int32_t h, int32_t bw, int32_t bh)
{
    if (w <= 0 || h <= 0 || bw <= 0 || bh <= 0)
        return QRectF();
    const TExtended sw = XDiv(w, bw);
    const TExtended sh = XDiv(h, bh);
    const double s = static_cast<double>(sw > sh ? sw : sh);
    const int32_t dw = XTrunc(XDiv(w, s));
    const int32_t dh = XTrunc(XDiv(h, s));
    const int32_t x = XTrunc(XDiv(double(bw) - dw, 2));
    const int32_t y = XTrunc(XDiv(double(bh) - dh, 2));
    return QRectF(x, y, dw, dh);
}

QString TBatchFramer::OutputName(const QString& Photo, bool Overwrite, const QString& Prefix)
{
    if (Overwrite)
        return Photo;
    const qsizetype separator = Photo.lastIndexOf(u'/');
    return Photo.left(separator + 1) + Prefix + Photo.mid(separator + 1);
}

bool TBatchFramer::WriteJpeg(const QImage& Output, const QString& FileName)
{
    return WriteJpegBytes(EncodeJpeg(Output), FileName);
}

QByteArray TBatchFramer::EncodeJpeg(const QImage& Output,
                                    const std::function<void(int Top, int End)>& Rows)
{
    return EncodeImageBytes(Output, "image/jpeg", 100, Rows);
}

bool TBatchFramer::WriteJpegBytes(const QByteArray& Jpeg, const QString& FileName, QString* Detail)
{
    if (Jpeg.isEmpty())
        return false;
    return WriteFileAtomically(FileName, Jpeg, Detail);
}
