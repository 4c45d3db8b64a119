// The stream adapter: reading and seeking through it, ownership of the
// memory stream, the statistics record, and decoding a picture through it.

#include "MyStreamAdapter.h"

#include "MyGdiPlus.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TMemoryStream> StreamOf(const QByteArray& bytes)
{
    auto stream = std::make_unique<TMemoryStream>();
    stream->setData(bytes);
    stream->open(QIODevice::ReadOnly);
    return stream;
}

// The current local time in 100-nanosecond units since 1601-01-01.
int64_t LocalNowAsFileTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    return (now.toMSecsSinceEpoch() + int64_t(now.offsetFromUtc()) * 1000) * 10000 +
           116444736000000000LL;
}

} // namespace

TEST(StreamAdapterTest, StatGivesTypeSizeLocksAndLocalTimes)
{
    auto stream = StreamOf(QByteArray(1234, 'x'));
    TMyStreamAdapter adapter(stream.get(), TMyStreamAdapter::soReference);
    STATSTG record;
    record.grfMode = 77;
    record.clsid[3] = 9;
    record.grfStateBits = 5;
    const int64_t before = LocalNowAsFileTime();
    EXPECT_EQ(adapter.Stat(&record, 0), S_OK);
    const int64_t after = LocalNowAsFileTime();
    EXPECT_EQ(record.type, 2u);
    EXPECT_EQ(record.cbSize, 1234u);
    EXPECT_EQ(record.grfLocksSupported, 1u);
    EXPECT_EQ(record.pwcsName, nullptr);
    EXPECT_EQ(record.grfMode, 0u);
    EXPECT_EQ(record.clsid[3], 0);
    EXPECT_EQ(record.grfStateBits, 0u);
    EXPECT_GE(int64_t(record.mtime), before);
    EXPECT_LE(int64_t(record.mtime), after);
    EXPECT_EQ(record.ctime, record.mtime);
    EXPECT_EQ(record.atime, record.mtime);
}

TEST(StreamAdapterTest, StatWithoutRecordSucceedsAndNameFlagIsIgnored)
{
    auto stream = StreamOf("abc");
    TMyStreamAdapter adapter(stream.get(), TMyStreamAdapter::soReference);
    EXPECT_EQ(adapter.Stat(nullptr, 0), S_OK);
    STATSTG record;
    EXPECT_EQ(adapter.Stat(&record, 1), S_OK);
    EXPECT_EQ(record.pwcsName, nullptr);
    EXPECT_EQ(record.cbSize, 3u);
}

TEST(StreamAdapterTest, ReadsAndSeeksOverTheWholeStream)
{
    auto stream = StreamOf("0123456789");
    stream->seek(7); // the adapter starts at the beginning of the stream
    TMyStreamAdapter adapter(stream.get(), TMyStreamAdapter::soReference);
    EXPECT_TRUE(adapter.isOpen());
    EXPECT_TRUE(adapter.isReadable());
    EXPECT_FALSE(adapter.isWritable());
    EXPECT_FALSE(adapter.isSequential());
    EXPECT_EQ(adapter.size(), 10);
    EXPECT_EQ(adapter.read(3), QByteArray("012"));
    EXPECT_TRUE(adapter.seek(8));
    EXPECT_EQ(adapter.read(5), QByteArray("89"));
    EXPECT_TRUE(adapter.atEnd());
    EXPECT_EQ(adapter.read(1), QByteArray());
    EXPECT_FALSE(adapter.seek(-1));
    EXPECT_TRUE(adapter.seek(2));
    EXPECT_EQ(adapter.readAll(), QByteArray("23456789"));
    EXPECT_EQ(stream->data(), QByteArray("0123456789"));
}

TEST(StreamAdapterTest, OwnedStreamIsFreedWithTheAdapterReferencedOneIsNot)
{
    QPointer<TMemoryStream> owned = StreamOf("abc").release();
    {
        TMyStreamAdapter adapter(owned.data(), TMyStreamAdapter::soOwned);
    }
    EXPECT_TRUE(owned.isNull());

    auto kept = StreamOf("abc");
    {
        TMyStreamAdapter adapter(kept.get(), TMyStreamAdapter::soReference);
        adapter.readAll();
    }
    EXPECT_TRUE(kept->isOpen());
    EXPECT_EQ(kept->data(), QByteArray("abc"));
}

TEST(StreamAdapterTest, PicturesDecodeThroughTheAdapter)
{
    const QImage picture = MakeGradient(17, 9);
    auto stream = std::make_unique<TMemoryStream>();
    stream->open(QIODevice::ReadWrite);
    ASSERT_TRUE(EncodeImage(picture, stream.get(), "image/png"));
    // Left at the end by the encoder: the adapter still reads from the start.
    TMyStreamAdapter adapter(stream.release(), TMyStreamAdapter::soOwned);
    const QImage decoded = DecodeImageDevice(&adapter);
    ASSERT_FALSE(decoded.isNull());
    EXPECT_TRUE(SamePixels(decoded, picture));
}

TEST(StreamAdapterTest, UndecodableBytesGiveAnEmptyPicture)
{
    auto stream = StreamOf("not a picture at all");
    TMyStreamAdapter adapter(stream.get(), TMyStreamAdapter::soReference);
    EXPECT_TRUE(DecodeImageDevice(&adapter).isNull());
}
