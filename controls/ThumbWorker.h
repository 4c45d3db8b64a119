#pragma once

// The worker of a thumbnail run: one std::thread per run, owned by its
// browser and joined by it (before the next run, after Clear's wait and in
// the browser's destructor), never detached. The body builds the browser's
// missing thumbnails and then asks the user-interface thread for a repaint
// of the whole browser; it never paints itself.

#include <atomic>
#include <thread>

class TPicThumb;

class TCreateThumbThread
{
public:
    // Starts the thread at once unless CreateSuspended; then Start starts it.
    TCreateThumbThread(bool CreateSuspended, TPicThumb* Browser);
    // Joins the thread (the owner has made the run end first).
    ~TCreateThumbThread();
    TCreateThumbThread(const TCreateThumbThread&) = delete;
    TCreateThumbThread& operator=(const TCreateThumbThread&) = delete;

    void Start();
    // Waits for the body to end; nothing when it never started or has been
    // joined already.
    void Join();
    // True once the body has made its last request of the browser.
    bool Finished() const { return m_finished.load(); }

    TPicThumb* const Browser;

private:
    // The run on the worker: a failing callback ends it silently, without the
    // final repaint.
    void Execute();

    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};
