#pragma once

// The PNG frame of a batch run, decoded once and shared by the threads that
// frame the photos, and decoded anew as soon as its file changes (size,
// times, or another file in its place), so that every photo gets what
// decoding the file for that photo would give. The frame reduced to an
// output size is kept too, for the photos of the same output size. Each is
// made by one thread while the others that want it wait, and threads that
// want something else go on.

#include "FileStamp.h"
#include "SingleFlight.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <utility>

class TPngFrameCache
{
public:
    explicit TPngFrameCache(QString FileName);

    // The frame as its file holds it now; empty when it does not decode.
    QImage Frame();
    // The frame ready to be drawn into (0, 0, Size): reduced to Size with
    // the high-quality reduction when Size is smaller in either direction,
    // else the frame itself. Drawing it 1:1 gives the same pixels as drawing
    // the frame with high-quality interpolation into that rectangle.
    QImage FrameAt(QSize Size);

private:
    // The file decoded at one stamp, with its reductions.
    struct TDecoded
    {
        QImage Frame;
        TSingleFlight<std::pair<int, int>, QImage> Reduced{4};
    };

    // The file as it is now, decoded anew when it changed.
    std::shared_ptr<TDecoded> Current();

    const QString m_fileName;
    TSingleFlight<TFileStamp, std::shared_ptr<TDecoded>> m_decoded{1};
};
