#pragma once

// A non-visual component that sends one mail message with recipients and file
// attachments through the system's mail service, so that the user's own mail
// program delivers it. The host sets the properties, fills the lists and calls
// SendMail; the outcome comes back as one of three events.

#include "MailService.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TMapiErrEvent = std::function<void(QObject* Sender, int ErrCode)>;

class TMapiControl : public QObject
{
    Q_OBJECT

public:
    // Sends through the desktop's own mail service.
    explicit TMapiControl(QObject* Owner = nullptr);
    // Sends through Service (tests stand in for the desktop with it).
    TMapiControl(std::unique_ptr<TMailService> Service, QObject* Owner = nullptr);
    ~TMapiControl() override;

    QString Subject;
    QString Body;
    QString FromName;
    QString FromAdress;

    // Writing a list copies the given entries into the component's own list.
    const QStringList& Recipients() const { return m_recipients; }
    void SetRecipients(const QStringList& Value) { m_recipients = Value; }
    const QStringList& CopyTo() const { return m_copyTo; }
    void SetCopyTo(const QStringList& Value) { m_copyTo = Value; }
    const QStringList& BlindCopyTo() const { return m_blindCopyTo; }
    void SetBlindCopyTo(const QStringList& Value) { m_blindCopyTo = Value; }
    const QStringList& AttachedFiles() const { return m_attachedFiles; }
    void SetAttachedFiles(const QStringList& Value) { m_attachedFiles = Value; }
    // The hosts add entries to the lists in place as well.
    QStringList& Recipients() { return m_recipients; }
    QStringList& CopyTo() { return m_copyTo; }
    QStringList& BlindCopyTo() { return m_blindCopyTo; }
    QStringList& AttachedFiles() { return m_attachedFiles; }
    // The file-name parts of the attachments of the last send that had any.
    const QStringList& DisplayFileName() const { return m_displayFileName; }

    bool ShowDialog = false;
    // Kept with the component; sending does not consult it.
    bool UseAppHandle = false;

    TNotifyEvent OnUserAbort;
    TMapiErrEvent OnMapiError;
    TNotifyEvent OnSuccess;

    // Builds the message from the properties, sends it and fires one event.
    // The lists are left as they are for the next send.
    void SendMail();

    // The message SendMail would hand over now (DisplayFileName is updated
    // as a send would).
    TMapiMessage BuildMessage();
    TMailService& MailService() const { return *m_service; }
    void SetMailService(std::unique_ptr<TMailService> Service);

private:
    std::unique_ptr<TMailService> m_service;
    QStringList m_recipients;
    QStringList m_copyTo;
    QStringList m_blindCopyTo;
    QStringList m_attachedFiles;
    QStringList m_displayFileName;
};
