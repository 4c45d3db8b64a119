#pragma once

// The desktop's mail service: "xdg-email" opens the user's mail program with
// the message and its attachments; without it, a message with no attachment
// still goes out as a "mailto:" address through the desktop.
//
// The mail program may read an attachment long after it was started, while
// the host removes its own files as soon as the send returns; each send
// therefore hands over copies kept in a private folder under CopyRoot (named
// as the message names them), which are left for the system's clean-up of
// temporary files once the mail program has them.

#include "MailService.h"

#include <QStringList>
#include <QUrl>

#include <functional>

class TXdgMailService : public TMailService
{
public:
    using TUrlOpener = std::function<bool(const QUrl& Url)>;

    // Program: the mail tool to run; empty looks up "xdg-email" on the search
    // path at each send. Opener opens "mailto:" addresses; empty uses the
    // desktop's. CopyRoot: where the private folders go; empty is the system's
    // temporary folder.
    explicit TXdgMailService(QString Program = {}, TUrlOpener Opener = {}, QString CopyRoot = {});

    bool Available() const override;
    int SendMail(const TMapiMessage& Message, uint32_t Flags) override;

    // How long a send waits for the tool to report; a tool still running
    // then has opened the mail program and counts as a success.
    int WaitMs = 5000;

    // The tool's arguments for the message with its attachments at Paths.
    static QStringList Arguments(const TMapiMessage& Message, const QStringList& Paths);
    // The message as a "mailto:" address (attachments cannot go this way).
    static QUrl MailtoUrl(const TMapiMessage& Message);
    // The address of a recipient without its "SMTP:" prefix, with every
    // character that could be read as part of a mail address's options
    // percent-encoded.
    static QString PlainAddress(const TMapiRecipDesc& Recip);
    // The result for one of the tool's exit codes.
    static int ResultOfExitCode(int ExitCode);

private:
    QString ProgramPath() const;
    int SendThroughTool(const QString& Program, const TMapiMessage& Message);
    int SendThroughOpener(const TMapiMessage& Message);

    QString m_program;
    TUrlOpener m_opener;
    QString m_copyRoot;
};
