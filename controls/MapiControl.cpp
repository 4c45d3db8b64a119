#include "MapiControl.h"

#include "XdgMailService.h"

#include <QFileInfo>

namespace {
void AddRecipients(std::vector<TMapiRecipDesc>& recips, const QStringList& entries,
                   uint32_t recipClass)
{
    for (const QString& entry : entries) {
        TMapiRecipDesc recip;
        recip.ulRecipClass = recipClass;
        recip.lpszName = entry;
        recip.lpszAddress = QStringLiteral("SMTP:") + entry;
        recips.push_back(std::move(recip));
    }
}
} // namespace

TMapiControl::TMapiControl(QObject* Owner)
    : TMapiControl(std::make_unique<TXdgMailService>(), Owner)
{}

TMapiControl::TMapiControl(std::unique_ptr<TMailService> Service, QObject* Owner)
    : QObject(Owner), m_service(std::move(Service))
{}

TMapiControl::~TMapiControl() = default;

void TMapiControl::SetMailService(std::unique_ptr<TMailService> Service)
{
    m_service = std::move(Service);
}

TMapiMessage TMapiControl::BuildMessage()
{
    TMapiMessage message;
    message.lpszSubject = Subject;
    message.lpszNoteText = Body;
    message.Originator.ulRecipClass = MAPI_ORIG;
    message.Originator.lpszName = FromName;
    message.Originator.lpszAddress = FromAdress;
    AddRecipients(message.Recips, m_recipients, MAPI_TO);
    AddRecipients(message.Recips, m_copyTo, MAPI_CC);
    AddRecipients(message.Recips, m_blindCopyTo, MAPI_BCC);
    if (!m_attachedFiles.isEmpty()) {
        m_displayFileName.clear();
        for (const QString& path : m_attachedFiles) {
            m_displayFileName.append(QFileInfo(path).fileName());
            TMapiFileDesc file;
            file.lpszPathName = path;
            file.lpszFileName = m_displayFileName.last();
            message.Files.push_back(std::move(file));
        }
    }
    return message;
}

void TMapiControl::SendMail()
{
    const TMapiMessage message = BuildMessage();
    const uint32_t flags = ShowDialog ? (MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG) : 0;
    // Without a mail service nothing is sent and the send counts as aborted.
    const int result =
        m_service && m_service->Available() ? m_service->SendMail(message, flags) : MAPI_USER_ABORT;
    if (result == SUCCESS_SUCCESS) {
        if (OnSuccess)
            OnSuccess(this);
    } else if (result == MAPI_USER_ABORT) {
        if (OnUserAbort)
            OnUserAbort(this);
    } else if (OnMapiError) {
        OnMapiError(this, result);
    }
}
