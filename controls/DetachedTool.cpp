#include "DetachedTool.h"

#include <QEventLoop>
#include <QTimer>

namespace {
// Runs its arguments in the background and waits for them: the shell's exit
// code is the tool's, and killing the shell does not reach the tool.
const QString kLauncher = QStringLiteral("\"$@\" & wait $!");
} // namespace

TDetachedTool::~TDetachedTool()
{
    LetGo();
}

void TDetachedTool::LetGo()
{
    if (m_launcher.state() == QProcess::NotRunning)
        return;
    // Ending the shell is no outcome of the tool's.
    m_launcher.disconnect();
    m_launcher.kill();
    m_launcher.waitForFinished();
}

void TDetachedTool::SetUp(const QString& Program, const QStringList& Arguments,
                          const QString& WorkingFolder)
{
    m_launcher.setProgram(QStringLiteral("/bin/sh"));
    m_launcher.setArguments(
        QStringList{QStringLiteral("-c"), kLauncher, QStringLiteral("sh"), Program} + Arguments);
    m_launcher.setWorkingDirectory(WorkingFolder);
    m_launcher.setStandardInputFile(QProcess::nullDevice());
    m_launcher.setStandardOutputFile(QProcess::nullDevice());
    m_launcher.setStandardErrorFile(QProcess::nullDevice());
}

TDetachedTool::TResult TDetachedTool::Outcome() const
{
    TResult result;
    if (m_launcher.error() == QProcess::FailedToStart) {
        result.Outcome = TOutcome::FailedToStart;
    } else {
        result.Outcome = TOutcome::Finished;
        result.ExitCode =
            m_launcher.exitStatus() == QProcess::NormalExit ? m_launcher.exitCode() : -1;
    }
    return result;
}

void TDetachedTool::Start(const QString& Program, const QStringList& Arguments,
                          const QString& WorkingFolder, std::function<void(TResult)> Finished)
{
    SetUp(Program, Arguments, WorkingFolder);
    auto report = [this, Finished = std::move(Finished)] {
        if (m_reported)
            return;
        Finished(Outcome());
        m_reported = true;
    };
    QObject::connect(&m_launcher, &QProcess::finished, report);
    QObject::connect(&m_launcher, &QProcess::errorOccurred, [report](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            report();
    });
    m_launcher.start();
}

TDetachedTool::TResult TDetachedTool::Run(const QString& Program, const QStringList& Arguments,
                                          const QString& WorkingFolder, int WaitMs)
{
    SetUp(Program, Arguments, WorkingFolder);

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&m_launcher, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&m_launcher, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    m_launcher.start();
    deadline.start(WaitMs);
    if (m_launcher.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (m_launcher.state() == QProcess::NotRunning)
        return Outcome();
    LetGo();
    return TResult{TOutcome::StillRunning, -1};
}
