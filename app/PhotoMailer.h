#pragma once

// The mail command's work once the "Send Email" dialog has been answered: the
// composition goes to a temporary "email.jpg" in the program folder, the mail
// component sends it to the one address entered, and the file is deleted.

#include <QString>

class QWidget;
class TMapiControl;
class TQynKadrix;

struct TPhotoMail
{
    QString SendTo;
    QString Subject;
    QString Message;
};

class TPhotoMailer
{
public:
    // Messages are shown over Owner; Canvas and Mapi must outlive the mailer.
    TPhotoMailer(QWidget* Owner, TQynKadrix& Canvas, TMapiControl& Mapi);

    // Sends Mail with the composition at screen size; ProgramFolder ends with
    // a path separator. A send that does not reach a mail program is reported
    // in a message box; a failing save raises its error after the temporary
    // file is gone.
    void Send(const TPhotoMail& Mail, const QString& ProgramFolder);

    // The temporary file of a program folder.
    static QString TempFileName(const QString& ProgramFolder);

    static QString NoMailProgramText();
    static QString MailErrorText(int ErrCode);

private:
    QWidget* m_owner;
    TQynKadrix& m_canvas;
    TMapiControl& m_mapi;
};
