#pragma once

// A desktop tool run so that it outlives this process (closing the program
// never takes the mail program it opened with it), waited for a limited time
// while the user-interface thread goes on painting and running its timers.
// Input from the user is held back for the wait and delivered after it, so no
// other command starts while a send is waiting. Or started without a wait,
// its outcome reported whenever it comes. The tool gets none of this
// process's standard channels.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

class TDetachedTool
{
public:
    enum class TOutcome
    {
        Finished,      // the tool ended; ExitCode holds its exit code
        StillRunning,  // the time ran out; the tool runs on on its own
        FailedToStart, // not even the launcher could be started
    };
    struct TResult
    {
        TOutcome Outcome = TOutcome::FailedToStart;
        int ExitCode = -1;
    };

    TDetachedTool() = default;
    // Leaves a tool that is still running alone.
    ~TDetachedTool();
    TDetachedTool(const TDetachedTool&) = delete;
    TDetachedTool& operator=(const TDetachedTool&) = delete;

    // Starts Program with Arguments in WorkingFolder and waits up to WaitMs
    // for it to end. Call once.
    TResult Run(const QString& Program, const QStringList& Arguments, const QString& WorkingFolder,
                int WaitMs);
    // Starts Program the same way and returns at once; Finished gets the
    // outcome (Finished or FailedToStart) from the event loop when the tool
    // ends. A tool still running when this object goes is left alone, and
    // nothing is reported. Call once, instead of Run.
    void Start(const QString& Program, const QStringList& Arguments, const QString& WorkingFolder,
               std::function<void(TResult)> Finished);
    // After Start: whether Finished has been called and has returned.
    bool Reported() const { return m_reported; }

private:
    void SetUp(const QString& Program, const QStringList& Arguments, const QString& WorkingFolder);
    // The outcome of a launcher that is no longer running.
    TResult Outcome() const;
    void LetGo();

    // The shell that starts the tool in the background and ends with its
    // exit code; ending the shell leaves the tool running.
    QProcess m_launcher;
    bool m_reported = false;
};
