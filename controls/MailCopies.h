#pragma once

// The private copies of a message's attachments that the mail tool is given.
// The mail program may read an attachment long after it was started, while
// the host removes its own files as soon as the send returns; each send
// therefore hands over copies in a folder of its own under Root (named as the
// message names them). A folder that went to a mail program stays there; the
// next send removes the folders nothing has changed in for a day.

#include "MailService.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

class TMailCopies
{
public:
    // Root: where the private folders go; empty is DefaultRoot().
    explicit TMailCopies(QString Root = {});

    // The program's own folder in the user's cache ("mail" in it).
    static QString DefaultRoot();
    const QString& Root() const { return m_root; }

    // A new, empty private folder under Root, removed with the object unless
    // its auto-removal is turned off; null when it cannot be made.
    std::unique_ptr<QTemporaryDir> NewFolder() const;

    // Copies the message's attachments into Folder, each in a numbered
    // sub-folder under the name the message gives it, and lists the copies in
    // Paths; returns a result other than SUCCESS_SUCCESS on failure.
    static int Copy(const TMapiMessage& Message, const QString& Folder, QStringList& Paths);

    // Removes every private folder under Root in which nothing (the folder
    // itself included) was modified at or after Limit.
    void RemoveUnchangedSince(const QDateTime& Limit) const;

private:
    QString m_root;
};
