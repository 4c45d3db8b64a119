// A photo file opened once and read once: one that gets shorter after it
// was opened reads as damaged, never as a signal.

#include "PictureFile.h"

#include "TestSupport.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

TEST(PictureFileTest, AFileThatShrinksAfterItIsOpenedIsDamaged)
{
    TTempDir dir;
    // Read whole (JPEG, PNG) and read by Qt's reader from the file (BMP).
    for (const char* format : {"JPG", "PNG", "BMP"}) {
        const QString path = dir.file(QStringLiteral("photo.") + QLatin1String(format));
        ASSERT_TRUE(MakeGradient(800, 600).save(path, format));
        TPictureFile file(path);
        ASSERT_EQ(file.OpenError(), 0);
        ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), QFileInfo(path).size() / 2), 0);
        file.Decode();
        EXPECT_TRUE(file.Damaged()) << format;
    }
}
