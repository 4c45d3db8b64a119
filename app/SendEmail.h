#pragma once

// The "Send Email" dialog: the friend's address, the subject and a message for
// the framed photo. It only asks; the main window's mail command sends.

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

class TfrmSendMail : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSendMail(QWidget* Owner);

    // The top band with its picture and text.
    QWidget* pnTop = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblTop = nullptr;
    QLabel* lblSendto = nullptr;
    QLineEdit* edtSendto = nullptr;
    QLabel* lblSubject = nullptr;
    QLineEdit* edtSubject = nullptr;
    QLabel* lblMsg = nullptr;
    QPlainTextEdit* memMsg = nullptr;
    // "Send" closes the dialog with OK, "Cancel" with Cancel.
    QPushButton* btnSend = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

// The dialog of the latest mail command.
extern QPointer<TfrmSendMail> frmSendMail;
