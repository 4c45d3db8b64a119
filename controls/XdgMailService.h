#pragma once

// The desktop's mail service: "xdg-email" opens the user's mail program with
// the message and its attachments; without it, a message with no attachment
// still goes out as a "mailto:" address through the desktop. The tool gets
// private copies of the attachments (see TMailCopies).

#include "MailCopies.h"
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
    // desktop's. CopyRoot: where the private folders of the copies go; empty
    // is the program's folder in the user's cache.
    explicit TXdgMailService(QString Program = {}, TUrlOpener Opener = {}, QString CopyRoot = {});

    bool Available() const override;
    int SendMail(const TMapiMessage& Message, uint32_t Flags) override;

    // How long a send waits for the tool to report, painting on; a tool still
    // running then has opened the mail program and counts as a success.
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
    TMailCopies m_copies;
};
