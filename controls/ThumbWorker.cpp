#include "ThumbWorker.h"

#include "PicThumb.h"

TCreateThumbThread::TCreateThumbThread(bool CreateSuspended, TPicThumb* Browser) : Browser(Browser)
{
    if (!CreateSuspended)
        Start();
}

TCreateThumbThread::~TCreateThumbThread()
{
    Join();
}

void TCreateThumbThread::Start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { Execute(); });
}

void TCreateThumbThread::Join()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void TCreateThumbThread::Execute()
{
    try {
        Browser->RunThumbs();
        Browser->RequestRepaintAll();
    } catch (...) {
        // The run is over and idle; the worker ends without a word and
        // without the final repaint.
    }
    m_finished.store(true);
}
