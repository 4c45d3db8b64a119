// Frame files: the header probe, the factory rule, whole written files against
// their expected bytes, loading with its failures, and the JPEG pictures
// inside them.

#include "FrameMaker.h"

#include "TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Put32(QByteArray& bytes, int offset, uint32_t value)
{
    qToLittleEndian<quint32>(value, bytes.data() + offset);
}

uint32_t Get32(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// The 46-byte simple frame that SetSimpleFrame() below writes.
QByteArray ExpectedSimpleFile()
{
    const unsigned char bytes[46] = {'O',  'K',  'X',  0,    0, 0, // header, type 0
                                     50,   0,    0,    0,          // FrameWidth
                                     20,   0,    0,    0,          // FrameHeight
                                     3,    0,    0,    0,          // InnerEdge
                                     0x33, 0x22, 0x11, 0x00,       // InnerEdgeColor
                                     2,    0,    0,    0,          // OutEdge
                                     0x66, 0x55, 0x44, 0x00,       // OutEdgeColor
                                     2,                            // Shape
                                     0,                            // UseTexture
                                     0,    0,                      // reserved
                                     0x99, 0x88, 0x77, 0x00,       // BackColor
                                     0,    0,    0,    0,          // texture count
                                     0,    0,                      // FileWord
                                     0,    0};                     // reserved
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void SetSimpleFrame(TSimapleFrameMaker& maker)
{
    maker.SetFrameWidth(50);
    maker.SetFrameHeight(20);
    maker.SetInnerEdge(3);
    maker.SetInnerEdgeColor(0x112233);
    maker.SetOutEdge(2);
    maker.SetOutEdgeColor(0x445566);
    maker.SetShape(TSimapleFrameMaker::shDiamond);
    maker.SetBackColor(0x778899);
}

QByteArray JpegOf(const QImage& image)
{
    TMemoryStream stream;
    stream.open(QIODevice::ReadWrite);
    SaveBitmapToJpegStream(image, stream);
    return stream.data();
}

void ExpectReadError(const std::function<void()>& f)
{
    try {
        f();
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
}

} // namespace

TEST(FrameFileTest, TypeIsByteFiveWhateverTheLetters)
{
    TTempDir dir;
    EXPECT_EQ(GetFrameFileType(dir.write("a.okx", QByteArray("OKX\0\0\2", 6))), 2);
    EXPECT_EQ(GetFrameFileType(dir.write("b.okx", QByteArray("ABC\7\7\1rest", 10))), 1);
    EXPECT_EQ(GetFrameFileType(dir.write("c.okx", QByteArray("OKX\0\0\xFF", 6))), 0xFF);
    ExpectReadError([&] { GetFrameFileType(dir.write("d.okx", QByteArray("OKX\0\0", 5))); });
    EXPECT_THROW(GetFrameFileType(dir.file("missing.okx")), EFOpenError);
}

TEST(FrameFileTest, FactoryMakesOneGeneratorPerKnownTypeAndNoneOtherwise)
{
    EXPECT_NE(dynamic_cast<TSimapleFrameMaker*>(CreateFrameMaker(0).get()), nullptr);
    EXPECT_NE(dynamic_cast<TOrnateFrameMaker*>(CreateFrameMaker(1).get()), nullptr);
    EXPECT_NE(dynamic_cast<TPicFrameMaker*>(CreateFrameMaker(2).get()), nullptr);
    EXPECT_EQ(CreateFrameMaker(3), nullptr);
    EXPECT_EQ(CreateFrameMaker(255), nullptr);
}

TEST(FrameFileTest, LoadFrameMakerLoadsTheGeneratorOfTheTypeAtASize)
{
    TTempDir dir;
    TSimapleFrameMaker written;
    SetSimpleFrame(written);
    written.SaveToFile(dir.file("s.okx"));
    const std::unique_ptr<TFrameMakerBase> maker = LoadFrameMaker(dir.file("s.okx"), 300, 200);
    ASSERT_NE(dynamic_cast<TSimapleFrameMaker*>(maker.get()), nullptr);
    EXPECT_EQ(maker->GetAddedWidth(), written.GetAddedWidth());
    EXPECT_EQ(maker->GetWidth(), 300);
    EXPECT_EQ(maker->GetHeight(), 200);

    const QString unknown = dir.write("u.okx", QByteArray("OKX\0\0\3", 6));
    EXPECT_EQ(LoadFrameMaker(unknown, 10, 10), nullptr);
    try {
        LoadKnownFrameMaker(unknown, 10, 10);
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), unknown + " is not a frame file of a known kind");
    }
    EXPECT_THROW(LoadFrameMaker(dir.file("missing.okx"), 10, 10), EFOpenError);
}

TEST(FrameFileTest, SimpleFrameWithoutTextureIsTheExpected46Bytes)
{
    TTempDir dir;
    TSimapleFrameMaker maker;
    SetSimpleFrame(maker);
    maker.SaveToFile(dir.file("s.okx"));
    EXPECT_EQ(ReadAll(dir.file("s.okx")).toHex(' '), ExpectedSimpleFile().toHex(' '));
}

TEST(FrameFileTest, LoadingCarriesFileWordAndRewritesReservedBytesAsZero)
{
    TTempDir dir;
    QByteArray bytes = ExpectedSimpleFile();
    bytes.replace(0, 3, "ZZZ"); // letters are not tested
    bytes[4] = 9;               // reserved header byte
    bytes[31] = 5;              // UseTexture 5 counts as set ...
    bytes[32] = 7;              // reserved
    bytes[33] = 7;
    Put32(bytes, 38, 0);    // ... with an empty texture
    bytes[42] = char(0xEF); // FileWord 0xBEEF
    bytes[43] = char(0xBE);
    bytes[44] = 1; // reserved
    bytes[45] = 1;
    TSimapleFrameMaker maker;
    maker.LoadFromFile(dir.write("in.okx", bytes));
    EXPECT_EQ(maker.GetFrameWidth(), 50);
    EXPECT_EQ(maker.GetFrameHeight(), 20);
    EXPECT_EQ(maker.GetInnerEdge(), 3);
    EXPECT_EQ(maker.GetInnerEdgeColor(), 0x112233u);
    EXPECT_EQ(maker.GetOutEdge(), 2);
    EXPECT_EQ(maker.GetOutEdgeColor(), 0x445566u);
    EXPECT_EQ(maker.GetShape(), 2);
    EXPECT_TRUE(maker.GetUseTexture());
    EXPECT_EQ(maker.GetBackColor(), 0x778899u);
    EXPECT_EQ(maker.GetFileWord(), 0xBEEF);
    EXPECT_TRUE(maker.GetTexture().isNull());

    maker.SaveToFile(dir.file("out.okx"));
    QByteArray expected = ExpectedSimpleFile();
    expected[31] = 1;
    expected[42] = char(0xEF);
    expected[43] = char(0xBE);
    EXPECT_EQ(ReadAll(dir.file("out.okx")).toHex(' '), expected.toHex(' '));

    // And round-trips once more unchanged.
    TSimapleFrameMaker again;
    again.LoadFromFile(dir.file("out.okx"));
    again.SaveToFile(dir.file("again.okx"));
    EXPECT_EQ(ReadAll(dir.file("again.okx")), expected);
}

TEST(FrameFileTest, TextureFollowsTheRecordAndComesBackOpaque)
{
    TTempDir dir;
    QImage texture = MakeGradient(16, 12);
    texture.setPixel(3, 3, qRgba(10, 20, 30, 0)); // transparent texel
    TMemoryStream stream;
    stream.setData(JpegOf(texture));
    TSimapleFrameMaker maker;
    SetSimpleFrame(maker);
    maker.LoadTextureFromStream(stream);
    maker.SetUseTexture(true);
    maker.SaveToFile(dir.file("t.okx"));

    const QByteArray file = ReadAll(dir.file("t.okx"));
    ASSERT_GT(file.size(), 46);
    EXPECT_EQ(Get32(file, 38), uint32_t(file.size() - 46));
    EXPECT_EQ(file[31], 1);
    EXPECT_EQ(file.mid(46, 2), QByteArray("\xFF\xD8")); // JPEG start of image

    TSimapleFrameMaker loaded;
    loaded.LoadFromFile(dir.file("t.okx"));
    const QImage back = loaded.GetTexture();
    ASSERT_EQ(back.size(), QSize(16, 12));
    EXPECT_FALSE(back.hasAlphaChannel());
    EXPECT_EQ(AlphaAt(back, 3, 3), 255);
    EXPECT_LE(
        MaxChannelDifference(back.convertToFormat(QImage::Format_ARGB32), MakeGradient(16, 12)),
        40);

    // Without UseTexture the texture is neither written nor read.
    loaded.SetUseTexture(false);
    loaded.SaveToFile(dir.file("n.okx"));
    EXPECT_EQ(ReadAll(dir.file("n.okx")), ExpectedSimpleFile());
    EXPECT_TRUE(loaded.GetTexture().isNull());
}

TEST(FrameFileTest, ShortFilesFailWithTheReadErrorKeepingWhatWasComplete)
{
    TTempDir dir;
    TSimapleFrameMaker maker;
    SetSimpleFrame(maker);
    maker.SetFrameWidth(77);
    // Record cut short: nothing is taken.
    ExpectReadError(
        [&] { maker.LoadFromFile(dir.write("short.okx", ExpectedSimpleFile().left(45))); });
    EXPECT_EQ(maker.GetFrameWidth(), 77);
    ExpectReadError([&] { maker.LoadFromFile(dir.write("tiny.okx", QByteArray("OK"))); });

    // A texture announced but cut short: the record's fields stay set.
    QByteArray bytes = ExpectedSimpleFile();
    bytes[31] = 1;
    Put32(bytes, 38, 100);
    bytes.append(QByteArray(99, 'x'));
    ExpectReadError([&] { maker.LoadFromFile(dir.write("cut.okx", bytes)); });
    EXPECT_EQ(maker.GetFrameWidth(), 50);
    EXPECT_TRUE(maker.GetUseTexture());
}

TEST(FrameFileTest, HugeByteCountFailsBeforeAnythingOfThatSizeIsMade)
{
    TTempDir dir;
    QByteArray bytes = ExpectedSimpleFile();
    bytes[31] = 1;
    Put32(bytes, 38, 0xFFFFFFF0u);
    bytes.append(QByteArray(14, 'x')); // a 60-byte file
    TSimapleFrameMaker maker;
    ExpectReadError([&] { maker.LoadFromFile(dir.write("huge.okx", bytes)); });
}

TEST(FrameFileTest, OpenFailureChangesNothing)
{
    TTempDir dir;
    TSimapleFrameMaker maker;
    SetSimpleFrame(maker);
    EXPECT_THROW(maker.LoadFromFile(dir.file("missing.okx")), EFOpenError);
    EXPECT_EQ(maker.GetFrameWidth(), 50);
    EXPECT_EQ(maker.GetShape(), 2);
}

TEST(FrameFileTest, UndecodableTextureBytesGiveAnEmptyPictureWithoutError)
{
    TTempDir dir;
    QByteArray bytes = ExpectedSimpleFile();
    bytes[31] = 1;
    Put32(bytes, 38, 5);
    bytes.append("hello");
    TSimapleFrameMaker maker;
    maker.LoadFromFile(dir.write("bad.okx", bytes));
    EXPECT_TRUE(maker.GetUseTexture());
    EXPECT_TRUE(maker.GetTexture().isNull());
}

TEST(FrameFileTest, FailedSaveNamesTheFrameFile)
{
    TTempDir dir;
    TSimapleFrameMaker maker;
    SetSimpleFrame(maker);
    const QString name = dir.file("no-such-folder/f.okx");
    try {
        maker.SaveToFile(name);
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "Cannot create file " + name);
    }
}

TEST(FrameFileTest, JpegStreamIsWrittenAtThePositionAndEmptyPicturesWriteNothing)
{
    TMemoryStream stream;
    stream.open(QIODevice::ReadWrite);
    stream.write("abc");
    SaveBitmapToJpegStream(QImage(), stream);
    EXPECT_EQ(stream.size(), 3);
    EXPECT_EQ(stream.pos(), 3);

    SaveBitmapToJpegStream(MakeSolid(8, 8, Qt::red), stream);
    EXPECT_GT(stream.size(), 3 + 2);
    EXPECT_EQ(stream.pos(), stream.size());
    EXPECT_EQ(stream.data().left(5), QByteArray("abc\xFF\xD8"));
}

TEST(FrameFileTest, StreamsDecodeToPicturesAndEmptyOrBadOnesToEmptyPictures)
{
    auto good = std::make_unique<TMemoryStream>();
    good->setData(JpegOf(MakeSolid(9, 7, Qt::blue)));
    const QImage image = LoadBitmapFromStream(std::move(good));
    ASSERT_EQ(image.size(), QSize(9, 7));
    EXPECT_LE(MaxChannelDifference(image.convertToFormat(QImage::Format_ARGB32),
                                   MakeSolid(9, 7, Qt::blue)),
              8);

    EXPECT_TRUE(LoadBitmapFromStream(std::make_unique<TMemoryStream>()).isNull());
    auto bad = std::make_unique<TMemoryStream>();
    bad->setData("not a picture");
    EXPECT_TRUE(LoadBitmapFromStream(std::move(bad)).isNull());
    EXPECT_TRUE(LoadBitmapFromStream(nullptr).isNull());
}

TEST(FrameFileTest, PngExportKeepsTheTransparentOpening)
{
    TTempDir dir;
    TSimapleFrameMaker maker;
    SetSimpleFrame(maker);
    maker.SetShape(TSimapleFrameMaker::shRectangle);
    maker.SetWidth(400);
    maker.SetHeight(300);
    maker.SaveToPNG(dir.file("f.png"));
    const QByteArray file = ReadAll(dir.file("f.png"));
    EXPECT_EQ(file.left(4), QByteArray("\x89PNG"));
    const QImage png = DecodeImageBytes(file);
    QImage rendered;
    maker.Render(rendered);
    EXPECT_TRUE(SamePixels(png, rendered));
    EXPECT_EQ(AlphaAt(png, 200, 150), 0);

    // An empty output writes no file; an unwritable one names the file.
    maker.SetWidth(0);
    maker.SaveToPNG(dir.file("empty.png"));
    EXPECT_FALSE(QFile::exists(dir.file("empty.png")));
    maker.SetWidth(400);
    EXPECT_THROW(maker.SaveToPNG(dir.file("nowhere/f.png")), EFCreateError);
}
