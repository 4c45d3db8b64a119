#pragma once

// The PNG frame of a batch run, decoded once and shared by the threads that
// frame the photos, and decoded anew as soon as its file changes (size,
// times, or another file in its place), so that every photo gets what
// decoding the file for that photo would give. The frame reduced to an
// output size is kept too, for the photos of the same output size.

#include "FileStamp.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <map>
#include <mutex>
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
    // With the lock held: decodes the file again when it changed.
    void Refresh();

    const QString m_fileName;
    std::mutex m_lock;
    bool m_decoded = false;
    TFileStamp m_stamp;
    QImage m_frame;
    // Reduced frames by output size; a few sizes at most.
    std::map<std::pair<int, int>, QImage> m_reduced;
    static constexpr size_t MaxReducedSizes = 4;
};
