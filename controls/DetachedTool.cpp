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
    m_launcher.kill();
    m_launcher.waitForFinished();
}

TDetachedTool::TResult TDetachedTool::Run(const QString& Program, const QStringList& Arguments,
                                          const QString& WorkingFolder, int WaitMs)
{
    m_launcher.setProgram(QStringLiteral("/bin/sh"));
    m_launcher.setArguments(
        QStringList{QStringLiteral("-c"), kLauncher, QStringLiteral("sh"), Program} + Arguments);
    m_launcher.setWorkingDirectory(WorkingFolder);
    m_launcher.setStandardInputFile(QProcess::nullDevice());
    m_launcher.setStandardOutputFile(QProcess::nullDevice());
    m_launcher.setStandardErrorFile(QProcess::nullDevice());

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

    TResult result;
    if (m_launcher.state() != QProcess::NotRunning) {
        result.Outcome = TOutcome::StillRunning;
        LetGo();
    } else if (m_launcher.error() == QProcess::FailedToStart) {
        result.Outcome = TOutcome::FailedToStart;
    } else {
        result.Outcome = TOutcome::Finished;
        result.ExitCode =
            m_launcher.exitStatus() == QProcess::NormalExit ? m_launcher.exitCode() : -1;
    }
    return result;
}
