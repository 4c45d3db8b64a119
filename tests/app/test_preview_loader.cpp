// Previews made on another thread: only the newest request is made and
// shown, and a preview no longer wanted, or outliving its loader, is dropped.

#include "PreviewLoader.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

TEST(PreviewLoaderTest, OnlyTheNewestIsMadeAndShownAndNothingOutlivesItsLoader)
{
    std::vector<TPreviewLoader::TTask> held;
    QStringList made;
    const auto make = [&made](QString File) {
        return [&made, File] {
            made << File;
            return TPreview{File, QSize(1, 1), QImage()};
        };
    };
    {
        TPreviewLoader loader(nullptr,
                              [&held](TPreviewLoader::TTask Task) { held.push_back(Task); });
        QSignalSpy ready(&loader, &TPreviewLoader::Ready);
        loader.Request(make(QStringLiteral("a")));
        loader.Request(make(QStringLiteral("b")));
        ASSERT_EQ(held.size(), 1u);
        held[0]();
        EXPECT_EQ(made, QStringList{QStringLiteral("b")});
        EXPECT_EQ(ready.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 10000);
        EXPECT_EQ(ready.at(0).at(0).value<TPreview>().File, QStringLiteral("b"));

        loader.Request(make(QStringLiteral("c")));
        held[1]();
        loader.Cancel();
        QCoreApplication::processEvents();
        EXPECT_EQ(ready.count(), 1);
        // Made but not yet shown, and not yet begun, when the loader goes.
        loader.Request(make(QStringLiteral("d")));
        held[2]();
        loader.Request(make(QStringLiteral("e")));
    }
    QCoreApplication::processEvents();
    held[3]();
    EXPECT_EQ(made.size(), 3);

    // In work on another thread when the loader goes.
    std::thread worker;
    auto loader = std::make_unique<TPreviewLoader>(
        nullptr, [&worker](TPreviewLoader::TTask Task) { worker = std::thread(std::move(Task)); });
    std::promise<void> started, release;
    loader->Request([&started, go = release.get_future().share()] {
        started.set_value();
        go.wait();
        return TPreview{QStringLiteral("f"), QSize(8, 8), QImage(8, 8, QImage::Format_RGB32)};
    });
    started.get_future().wait();
    loader.reset();
    release.set_value();
    worker.join();
    QCoreApplication::processEvents();
}
