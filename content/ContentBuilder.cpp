#include "ContentBuilder.h"

#include "ClipArtPainter.h"
#include "FrameLibrary.h"
#include "HelpWriter.h"
#include "LandscapePainter.h"
#include "PngFramePainter.h"
#include "TexturePainter.h"

TContentBuilder::TContentBuilder(const QString& ProgramDir, const QByteArray& Fingerprint,
                                 bool Force)
    : m_writer(ProgramDir, Fingerprint, Force)
{}

void TContentBuilder::Build()
{
    BuildClipArt();
    BuildPngFrames();
    BuildTextures();
    BuildFrames();
    BuildDefaults();
    BuildHelp();
    m_writer.Finish();
}

void TContentBuilder::BuildClipArt()
{
    for (const TClipArtItem& item : TClipArtPainter::Catalogue()) {
        m_writer.WritePng(QStringLiteral("clipart/%1/%2").arg(item.Category, item.FileName),
                          [&] { return TClipArtPainter::Paint(item); });
    }
}

void TContentBuilder::BuildPngFrames()
{
    for (const TPngFrameItem& item : TPngFramePainter::Catalogue()) {
        m_writer.WritePng(QStringLiteral("png/") + item.FileName,
                          [&] { return TPngFramePainter::Paint(item); });
    }
    // The PNG export's default place is "PNG/PngFrame.png". Where file names
    // ignore case that is the folder above; here it needs one of its own.
    m_writer.MakeFolder(QStringLiteral("PNG"));
}

void TContentBuilder::BuildTextures()
{
    for (const TTexturePainter::TTexture& texture : TTexturePainter::Catalogue()) {
        m_writer.WriteJpeg(QStringLiteral("bkpic/") + texture.FileName, JpegQuality,
                           [&] { return TTexturePainter::Paint(texture); });
    }
}

void TContentBuilder::BuildFrames()
{
    for (const TFrameItem& item : TFrameLibrary::Catalogue()) {
        m_writer.WriteWith(QStringLiteral("Frame/%1/%2").arg(item.Category, item.FileName),
                           [&](const QString& FileName) { item.Make()->SaveToFile(FileName); });
    }
    m_writer.MakeFolder(QStringLiteral("Frame/") + QLatin1String(TFrameLibrary::UserCategory));
}

void TContentBuilder::BuildDefaults()
{
    m_writer.WritePng(QStringLiteral("Default.png"),
                      [] { return TPngFramePainter::PaintDefault(); });
    m_writer.WriteJpeg(QStringLiteral("Default.jpg"), JpegQuality,
                       [] { return TLandscapePainter::Paint(); });
}

void TContentBuilder::BuildHelp()
{
    m_writer.WriteBytes(QString::fromLatin1(THelpWriter::FileName),
                        [] { return THelpWriter::Page(); });
}
