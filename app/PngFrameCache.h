#pragma once

// The PNG frame of a batch run, decoded once and shared by the threads that
// frame the photos, and decoded anew as soon as its file changes (size,
// times, or another file in its place), so that every photo gets what
// decoding the file for that photo would give. The frame reduced to an
// output size is kept too, for the photos of the same output size. The
// first thread that asks decodes the frame; the others wait for it, and
// threads that draw the frame at its own size may follow its rows as they
// are decoded (FrameRowsAt) instead of waiting for all of them.

#include "FileStamp.h"
#include "SingleFlight.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>

class TPngFrameCache
{
private:
    struct TDecoded;

public:
    // Raised for rows that were followed while the frame was decoded when
    // that decode came to another picture in the end (the file turned out
    // to be one the row by row decoder leaves to another): whatever was
    // drawn from them is to be drawn again from the whole frame.
    class EDecodedAgain : public std::runtime_error
    {
    public:
        EDecodedAgain() : std::runtime_error("The frame was decoded again") {}
    };

    // A frame to be drawn into (0, 0, Size), with what of it is final.
    class TRows
    {
    public:
        // Null when the frame does not decode.
        QImage Picture;
        // Returns once rows [0, Rows) of Picture are final: at once for a
        // whole frame. Raises what decoding the frame raised, and
        // EDecodedAgain.
        void WaitFor(int Rows) const;

    private:
        friend class TPngFrameCache;
        std::shared_ptr<TDecoded> m_decoded;
    };

    explicit TPngFrameCache(QString FileName);

    // The frame as its file holds it now; empty when it does not decode.
    // Begun, when given, is called once the frame's bitmap is made (its rows
    // to come) or the decode ended without one; at once when another thread
    // decodes the frame.
    QImage Frame(const std::function<void()>& Begun = {});
    // The frame ready to be drawn into (0, 0, Size): reduced to Size with
    // the high-quality reduction when Size is smaller in either direction,
    // else the frame itself. Drawing it 1:1 gives the same pixels as drawing
    // the frame with high-quality interpolation into that rectangle.
    QImage FrameAt(QSize Size);
    // The same, without waiting for the rows of a frame of Size itself that
    // is still being decoded.
    TRows FrameRowsAt(QSize Size);

private:
    // The file decoded at one stamp, by the first thread that asks for it.
    struct TDecoded
    {
        std::mutex Lock;
        std::condition_variable Changed;
        bool Started = false;
        bool Done = false;
        // The bitmap the frame is decoded into, and its rows that are final.
        QImage Partial;
        int Rows = 0;
        // Once done: the frame, or what decoding it raised.
        QImage Frame;
        std::exception_ptr Error;
        TSingleFlight<std::pair<int, int>, QImage> Reduced{4};
    };

    // The file as it is now, decoded by this thread when it is the first to
    // ask (the others return at once).
    std::shared_ptr<TDecoded> Current(const std::function<void()>& Begun = {});
    void Decode(TDecoded& Decoded, const std::function<void()>& Begun);
    // Decoded's frame once it is whole; raises what decoding it raised.
    static QImage Whole(TDecoded& Decoded);
    QImage Reduced(TDecoded& Decoded, QSize Size);

    const QString m_fileName;
    TSingleFlight<TFileStamp, std::shared_ptr<TDecoded>> m_decoded{1};
};
