#include "PhotoMailer.h"

#include "MapiControl.h"
#include "ProgramInfo.h"
#include "QynKadrix.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>

namespace {
// Deletes the file when it goes out of scope, whatever happened; whether the
// deletion succeeds is not looked at.
class TFileRemover
{
public:
    explicit TFileRemover(QString fileName) : m_fileName(std::move(fileName)) {}
    ~TFileRemover() { QFile::remove(m_fileName); }
    TFileRemover(const TFileRemover&) = delete;
    TFileRemover& operator=(const TFileRemover&) = delete;

private:
    QString m_fileName;
};

// Sets the component's events for one send and clears them again after it,
// so the component keeps no events between commands.
class TScopedEvents
{
public:
    TScopedEvents(TMapiControl& mapi, int* result) : m_mapi(mapi)
    {
        m_mapi.OnSuccess = [result](QObject*) { *result = SUCCESS_SUCCESS; };
        m_mapi.OnUserAbort = [result](QObject*) { *result = MAPI_USER_ABORT; };
        m_mapi.OnMapiError = [result](QObject*, int ErrCode) { *result = ErrCode; };
    }
    ~TScopedEvents()
    {
        m_mapi.OnSuccess = nullptr;
        m_mapi.OnUserAbort = nullptr;
        m_mapi.OnMapiError = nullptr;
    }
    TScopedEvents(const TScopedEvents&) = delete;
    TScopedEvents& operator=(const TScopedEvents&) = delete;

private:
    TMapiControl& m_mapi;
};
} // namespace

TPhotoMailer::TPhotoMailer(QWidget* Owner, TQynKadrix& Canvas, TMapiControl& Mapi)
    : m_owner(Owner), m_canvas(Canvas), m_mapi(Mapi)
{}

QString TPhotoMailer::TempFileName(const QString& ProgramFolder)
{
    return QDir(ProgramFolder).filePath(QStringLiteral("email.jpg"));
}

QString TPhotoMailer::NoMailProgramText()
{
    return QStringLiteral("The photo was not sent: no mail program was found on this computer.");
}

QString TPhotoMailer::MailErrorText(int ErrCode)
{
    return QStringLiteral("The photo was not sent: the mail program reported error %1.")
        .arg(ErrCode);
}

void TPhotoMailer::Send(const TPhotoMail& Mail, const QString& ProgramFolder)
{
    const QString fileName = TempFileName(ProgramFolder);
    int result = SUCCESS_SUCCESS;
    {
        TFileRemover remover(fileName);
        m_canvas.SaveJPEG(fileName, 1.0);
        m_mapi.Subject = Mail.Subject;
        m_mapi.SetRecipients({Mail.SendTo});
        m_mapi.Body = Mail.Message;
        m_mapi.SetAttachedFiles({fileName});
        TScopedEvents events(m_mapi, &result);
        m_mapi.SendMail();
    }
    if (result == SUCCESS_SUCCESS)
        return;
    const QString text = result == MAPI_USER_ABORT ? NoMailProgramText() : MailErrorText(result);
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kMessageCaption), text,
                    QMessageBox::Ok, m_owner);
    box.exec();
}
