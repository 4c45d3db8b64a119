#include "XdgMailService.h"

#include "WaitCursor.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrlQuery>

namespace {
// Runs the tool detached from this process, so that closing the program never
// takes the mail program with it, and leaves the tool's exit code in the file
// "status" of the folder named first. It keeps none of this process's
// standard channels open.
const QString kLauncher =
    QStringLiteral("exec </dev/null >/dev/null 2>&1; d=$1; shift; \"$@\"; s=$?; "
                   "printf %s \"$s\" > \"$d/status.tmp\" && mv \"$d/status.tmp\" \"$d/status\"");

constexpr int kPollMs = 10;

// Exit codes of xdg-email.
constexpr int kExitSyntax = 1;
constexpr int kExitFileMissing = 2;
constexpr int kExitToolMissing = 3;
constexpr int kExitActionFailed = 4;
constexpr int kExitNoPermission = 5;

QString EncodeAddress(const QString& address)
{
    QByteArray encoded = QUrl::toPercentEncoding(address, "@.-_+");
    // A leading dash would be read as an option of the tool.
    if (encoded.startsWith('-'))
        encoded = "%2D" + encoded.mid(1);
    return QString::fromLatin1(encoded);
}

// Copies the attachments into Folder, each in a numbered sub-folder under the
// name the message gives it; returns a result other than success on failure.
int CopyAttachments(const TMapiMessage& Message, const QString& Folder, QStringList& Paths)
{
    for (size_t i = 0; i < Message.Files.size(); ++i) {
        const TMapiFileDesc& file = Message.Files[i];
        if (!QFileInfo(file.lpszPathName).isFile())
            return MAPI_E_ATTACHMENT_NOT_FOUND;
        const QString subFolder = Folder + QLatin1Char('/') + QString::number(i + 1);
        QString name = file.lpszFileName;
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
            name == QLatin1String(".."))
            name = QFileInfo(file.lpszPathName).fileName();
        const QString target = subFolder + QLatin1Char('/') + name;
        if (!QDir().mkpath(subFolder) || !QFile::copy(file.lpszPathName, target))
            return MAPI_E_ATTACHMENT_OPEN_FAILURE;
        Paths.append(target);
    }
    return SUCCESS_SUCCESS;
}
} // namespace

TXdgMailService::TXdgMailService(QString Program, TUrlOpener Opener, QString CopyRoot)
    : m_program(std::move(Program)), m_opener(std::move(Opener)), m_copyRoot(std::move(CopyRoot))
{
    if (!m_opener)
        m_opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    if (m_copyRoot.isEmpty())
        m_copyRoot = QDir::tempPath();
}

QString TXdgMailService::ProgramPath() const
{
    if (!m_program.isEmpty())
        return QFileInfo(m_program).isExecutable() ? m_program : QString();
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

bool TXdgMailService::Available() const
{
    // The desktop's "mailto:" handler is only known by trying it.
    return true;
}

QString TXdgMailService::PlainAddress(const TMapiRecipDesc& Recip)
{
    QString address = Recip.lpszAddress;
    if (address.startsWith(QLatin1String("SMTP:"), Qt::CaseInsensitive))
        address.remove(0, 5);
    return EncodeAddress(address.trimmed());
}

QStringList TXdgMailService::Arguments(const TMapiMessage& Message, const QStringList& Paths)
{
    QStringList args{QStringLiteral("--utf8")};
    QStringList to;
    for (const TMapiRecipDesc& recip : Message.Recips) {
        const QString address = PlainAddress(recip);
        if (address.isEmpty())
            continue;
        if (recip.ulRecipClass == MAPI_CC)
            args << QStringLiteral("--cc") << address;
        else if (recip.ulRecipClass == MAPI_BCC)
            args << QStringLiteral("--bcc") << address;
        else
            to << address;
    }
    if (!Message.lpszSubject.isEmpty())
        args << QStringLiteral("--subject") << Message.lpszSubject;
    if (!Message.lpszNoteText.isEmpty())
        args << QStringLiteral("--body") << Message.lpszNoteText;
    for (const QString& path : Paths)
        args << QStringLiteral("--attach") << path;
    return args + to;
}

QUrl TXdgMailService::MailtoUrl(const TMapiMessage& Message)
{
    QStringList to;
    QUrlQuery query;
    for (const TMapiRecipDesc& recip : Message.Recips) {
        const QString address = PlainAddress(recip);
        if (address.isEmpty())
            continue;
        if (recip.ulRecipClass == MAPI_CC)
            query.addQueryItem(QStringLiteral("cc"), address);
        else if (recip.ulRecipClass == MAPI_BCC)
            query.addQueryItem(QStringLiteral("bcc"), address);
        else
            to << address;
    }
    auto encoded = [](const QString& text) {
        return QString::fromLatin1(QUrl::toPercentEncoding(text));
    };
    if (!Message.lpszSubject.isEmpty())
        query.addQueryItem(QStringLiteral("subject"), encoded(Message.lpszSubject));
    if (!Message.lpszNoteText.isEmpty())
        query.addQueryItem(QStringLiteral("body"), encoded(Message.lpszNoteText));
    QUrl url(QStringLiteral("mailto:") + to.join(QLatin1Char(',')));
    if (!query.isEmpty())
        url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

int TXdgMailService::ResultOfExitCode(int ExitCode)
{
    switch (ExitCode) {
    case 0:
        return SUCCESS_SUCCESS;
    case kExitFileMissing:
        return MAPI_E_ATTACHMENT_NOT_FOUND;
    case kExitNoPermission:
        return MAPI_E_ATTACHMENT_OPEN_FAILURE;
    case kExitToolMissing:
        // No mail program to open: as if there were no mail service.
        return MAPI_USER_ABORT;
    case kExitSyntax:
    case kExitActionFailed:
    default:
        return MAPI_E_FAILURE;
    }
}

int TXdgMailService::SendMail(const TMapiMessage& Message, uint32_t /*Flags*/)
{
    // The mail program always shows its compose window, whatever the flags.
    const QString program = ProgramPath();
    if (!program.isEmpty())
        return SendThroughTool(program, Message);
    if (!Message.Files.empty())
        return MAPI_USER_ABORT;
    return SendThroughOpener(Message);
}

int TXdgMailService::SendThroughOpener(const TMapiMessage& Message)
{
    return m_opener(MailtoUrl(Message)) ? SUCCESS_SUCCESS : MAPI_USER_ABORT;
}

int TXdgMailService::SendThroughTool(const QString& Program, const TMapiMessage& Message)
{
    QDir().mkpath(m_copyRoot);
    QTemporaryDir folder(m_copyRoot + QStringLiteral("/orvo-mail-XXXXXX"));
    if (!folder.isValid())
        return MAPI_E_FAILURE;
    QStringList paths;
    const int copied = CopyAttachments(Message, folder.path(), paths);
    if (copied != SUCCESS_SUCCESS)
        return copied;

    const QStringList args =
        QStringList{QStringLiteral("-c"), kLauncher, QStringLiteral("sh"), folder.path(), Program} +
        Arguments(Message, paths);
    if (!QProcess::startDetached(QStringLiteral("/bin/sh"), args, folder.path()))
        return MAPI_USER_ABORT;

    const QString statusFile = folder.filePath(QStringLiteral("status"));
    const QDeadlineTimer deadline(WaitMs);
    const TWaitCursor waitCursor;
    while (!QFileInfo::exists(statusFile) && !deadline.hasExpired())
        QThread::msleep(kPollMs);
    QFile status(statusFile);
    if (!status.open(QIODevice::ReadOnly)) {
        // Still running: the tool is holding the mail program open.
        folder.setAutoRemove(false);
        return SUCCESS_SUCCESS;
    }
    bool ok = false;
    const int exitCode = status.readAll().trimmed().toInt(&ok);
    status.close();
    const int result = ResultOfExitCode(ok ? exitCode : kExitActionFailed);
    if (result == SUCCESS_SUCCESS) {
        // The mail program reads the copies later on.
        status.remove();
        folder.setAutoRemove(false);
    }
    return result;
}
