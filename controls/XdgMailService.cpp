#include "XdgMailService.h"

#include "DetachedTool.h"
#include "WaitCursor.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrlQuery>

namespace {
// Exit codes of xdg-email. Without a mail program it ends with 3 ("no method
// available") where it looks for a program itself, and with 4 where the
// desktop's own opener refuses the "mailto:" address it was handed.
constexpr int kExitSyntax = 1;
constexpr int kExitFileMissing = 2;
constexpr int kExitToolMissing = 3;
constexpr int kExitActionFailed = 4;
constexpr int kExitNoPermission = 5;

// Copies older than this are removed at the next send.
constexpr qint64 kCopyLifeSecs = 24 * 60 * 60;

QString EncodeAddress(const QString& address)
{
    QByteArray encoded = QUrl::toPercentEncoding(address, "@.-_+");
    // A leading dash would be read as an option of the tool.
    if (encoded.startsWith('-'))
        encoded = "%2D" + encoded.mid(1);
    return QString::fromLatin1(encoded);
}
} // namespace

TXdgMailService::TXdgMailService(QString Program, TUrlOpener Opener, QString CopyRoot)
    : m_program(std::move(Program)), m_opener(std::move(Opener)), m_copies(std::move(CopyRoot))
{
    if (!m_opener)
        m_opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
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
    case kExitActionFailed:
        // No mail program opened: as if there were no mail service.
        return MAPI_USER_ABORT;
    case kExitSyntax:
    default:
        return MAPI_E_FAILURE;
    }
}

int TXdgMailService::SendMail(const TMapiMessage& Message, uint32_t /*Flags*/)
{
    m_copies.RemoveUnchangedSince(QDateTime::currentDateTime().addSecs(-kCopyLifeSecs));
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
    const std::unique_ptr<QTemporaryDir> folder = m_copies.NewFolder();
    if (!folder)
        return MAPI_E_FAILURE;
    QStringList paths;
    const int copied = TMailCopies::Copy(Message, folder->path(), paths);
    if (copied != SUCCESS_SUCCESS)
        return copied;

    const TWaitCursor waitCursor;
    TDetachedTool tool;
    const TDetachedTool::TResult run =
        tool.Run(Program, Arguments(Message, paths), folder->path(), WaitMs);
    int result = SUCCESS_SUCCESS;
    if (run.Outcome == TDetachedTool::TOutcome::FailedToStart)
        result = MAPI_USER_ABORT;
    else if (run.Outcome == TDetachedTool::TOutcome::Finished)
        result = ResultOfExitCode(run.ExitCode);
    // Still running: the tool is holding the mail program open.
    if (result == SUCCESS_SUCCESS) {
        // The mail program reads the copies later on.
        folder->setAutoRemove(false);
    }
    return result;
}
