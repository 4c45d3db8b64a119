// The "Send Email" dialog and the main window's mail command, with a stand-in
// mail service in the window's mail component.

#include "DesktopServices.h"
#include "HandlerGuard.h"
#include "MainForm.h"
#include "MapiControl.h"
#include "ModalDriver.h"
#include "PhotoMailer.h"
#include "QynKadrix.h"
#include "SendEmail.h"
#include "TestSupport.h"
#include "XdgMailService.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {
class TNoWallpaper : public TWallpaperSetter
{
public:
    bool SetWallpaper(const QString&) override { return false; }
};

class TNoHelp : public THelpViewer
{
public:
    void ShowHelp(const QString&, std::function<void()>) override {}
};

class TNoAddresses : public TAddressOpener
{
public:
    void OpenAddress(const QString&) override {}
};

// What the stand-in mail service saw: each message with its flags, and the
// attachment's bytes as they were at the moment of sending.
struct TMailLog
{
    struct TSent
    {
        TMapiMessage Message;
        uint32_t Flags = 0;
        QByteArray Attachment;
    };
    std::vector<TSent> Sent;
    int Result = SUCCESS_SUCCESS;
    bool Available = true;
};

class TStandInMail : public TMailService
{
public:
    explicit TStandInMail(TMailLog* log) : m_log(log) {}
    bool Available() const override { return m_log->Available; }
    int SendMail(const TMapiMessage& Message, uint32_t Flags) override
    {
        TMailLog::TSent sent{Message, Flags, {}};
        if (!Message.Files.empty()) {
            QFile f(Message.Files.front().lpszPathName);
            if (f.open(QIODevice::ReadOnly))
                sent.Attachment = f.readAll();
        }
        m_log->Sent.push_back(sent);
        return m_log->Result;
    }

private:
    TMailLog* m_log;
};

// A stand-in for the desktop's mail tool: it leaves the file "started" in its
// folder, waits until the file "go" appears there (or gives up after a long
// while) and ends with the exit code written in the file "code".
QString WriteWaitingTool(const TTempDir& tools)
{
    const QByteArray body =
        ": > \"$d/started\"\n"
        "i=0\n"
        "while [ ! -e \"$d/go\" ] && [ $i -lt 3000 ]; do sleep 0.01; i=$((i+1)); done\n"
        "exit $(cat \"$d/code\")\n";
    const QString path = tools.write(QStringLiteral("xdg-email"),
                                     "#!/bin/sh\nd='" + tools.path().toUtf8() + "'\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// Counts the paint events of a widget.
class TPaintCounter : public QObject
{
public:
    explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};

// Sets the modification time of a file or folder and everything in it.
void SetModified(const QString& path, const QDateTime& time)
{
    timespec times[2] = {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time.toSecsSinceEpoch();
    QStringList entries{path};
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.prepend(it.next());
    for (const QString& entry : entries)
        ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(entry).constData(), times, 0), 0);
}

class SendEmailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
        QImage frame = MakeSolid(400, 300, QColor(150, 30, 30));
        for (int y = 60; y < 240; ++y)
            for (int x = 80; x < 320; ++x)
                frame.setPixel(x, y, qRgba(0, 0, 0, 0));
        ASSERT_TRUE(frame.save(folder.file(QStringLiteral("Default.png"))));
        ASSERT_TRUE(MakeGradient(800, 600).save(folder.file(QStringLiteral("Default.jpg")), "JPG"));
    }
    void TearDown() override
    {
        StopModalDrivers();
        window.reset();
    }

    void StartUp(const QString& programFolder = {})
    {
        TDesktopServices services;
        services.Wallpaper = std::make_unique<TNoWallpaper>();
        services.Help = std::make_unique<TNoHelp>();
        services.Addresses = std::make_unique<TNoAddresses>();
        const QString path =
            programFolder.isEmpty() ? folder.path() + QLatin1Char('/') : programFolder;
        window = std::make_unique<TfrmMain>(std::move(services), [path] { return path; });
        window->MapiControl1->SetMailService(std::make_unique<TStandInMail>(&mail));
        window->ShowMaximised();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->QynKadrix1->Photo->Loaded; }));
    }

    // Fills the next mail dialog and closes it with Send (or Cancel); then
    // answers the message box that follows, if any, keeping its text.
    void AnswerMailDialog(const QString& to, const QString& subject, const QString& message,
                          bool send = true, QString* boxText = nullptr)
    {
        WhenModal<TfrmSendMail>([=](TfrmSendMail* dialog) {
            QTest::keyClicks(dialog->edtSendto, to);
            QTest::keyClicks(dialog->edtSubject, subject);
            dialog->memMsg->setPlainText(message);
            if (boxText)
                AnswerMessageBox(QMessageBox::Ok, boxText);
            QTest::mouseClick(send ? dialog->btnSend : dialog->btnCancel, Qt::LeftButton);
        });
    }

    QString TempFile() const { return folder.file(QStringLiteral("email.jpg")); }

    TScopedSettings settings;
    TTempDir folder;
    TMailLog mail;
    std::unique_ptr<TfrmMain> window;
};
} // namespace

TEST(SendEmailDialog, CaptionTextsAndButtons)
{
    TfrmSendMail dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Send Email"));
    EXPECT_EQ(dialog.size(), QSize(447, 289));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.lblTop->text(),
              QStringLiteral("Input you frield's Email address, the photo will be send to your "
                             "frield as a attached"));
    EXPECT_TRUE(dialog.lblTop->wordWrap());
    EXPECT_EQ(dialog.pnTop->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_FALSE(dialog.Image1->pixmap().isNull());
    EXPECT_EQ(dialog.lblSendto->text(), QStringLiteral("Send to"));
    EXPECT_EQ(dialog.lblSubject->text(), QStringLiteral("Subject"));
    EXPECT_EQ(dialog.lblMsg->text(), QStringLiteral("Your Message"));
    EXPECT_TRUE(dialog.edtSendto->text().isEmpty());
    EXPECT_TRUE(dialog.edtSubject->text().isEmpty());
    EXPECT_TRUE(dialog.memMsg->toPlainText().isEmpty());
    EXPECT_EQ(dialog.btnSend->text(), QStringLiteral("Send"));
    EXPECT_EQ(dialog.btnCancel->text(), QStringLiteral("Cancel"));
    for (QPushButton* button : {dialog.btnSend, dialog.btnCancel}) {
        EXPECT_FALSE(button->autoDefault());
        EXPECT_TRUE(dialog.rect().contains(button->geometry()));
    }
}

TEST(SendEmailDialog, SendAndCancelCloseWithTheirResults)
{
    for (bool send : {true, false}) {
        TfrmSendMail dialog(nullptr);
        WhenModal<TfrmSendMail>([send](TfrmSendMail* d) {
            QTest::mouseClick(send ? d->btnSend : d->btnCancel, Qt::LeftButton);
        });
        EXPECT_EQ(dialog.exec(), send ? QDialog::Accepted : QDialog::Rejected);
        StopModalDrivers();
    }
}

TEST_F(SendEmailTest, SendsTheCompositionToTheAddressAndDeletesTheFile)
{
    StartUp();
    AnswerMailDialog(QStringLiteral("ann@example.org"), QStringLiteral("Our lake"),
                     QStringLiteral("First line\nsecond line"));
    window->mEmail->trigger();

    ASSERT_EQ(mail.Sent.size(), 1u);
    const TMailLog::TSent& sent = mail.Sent[0];
    EXPECT_EQ(sent.Flags, 0u);
    EXPECT_EQ(sent.Message.lpszSubject, QStringLiteral("Our lake"));
    EXPECT_EQ(sent.Message.lpszNoteText, QStringLiteral("First line\nsecond line"));
    ASSERT_EQ(sent.Message.Recips.size(), 1u);
    EXPECT_EQ(sent.Message.Recips[0].ulRecipClass, MAPI_TO);
    EXPECT_EQ(sent.Message.Recips[0].lpszName, QStringLiteral("ann@example.org"));
    EXPECT_EQ(sent.Message.Recips[0].lpszAddress, QStringLiteral("SMTP:ann@example.org"));
    ASSERT_EQ(sent.Message.Files.size(), 1u);
    EXPECT_EQ(sent.Message.Files[0].lpszPathName, TempFile());
    EXPECT_EQ(sent.Message.Files[0].lpszFileName, QStringLiteral("email.jpg"));

    // The attachment is the composition at screen size, the frame rectangle.
    QImage attached = QImage::fromData(sent.Attachment, "JPG");
    const TGPRect frame = window->QynKadrix1->GetFrameRect();
    EXPECT_EQ(attached.size(), QSize(frame.Width, frame.Height));
    EXPECT_FALSE(QFile::exists(TempFile()));
    EXPECT_EQ(frmSendMail->edtSendto->text(), QStringLiteral("ann@example.org"));
}

TEST_F(SendEmailTest, ASecondSendGoesOnlyToTheSecondAddressWithOneAttachment)
{
    StartUp();
    AnswerMailDialog(QStringLiteral("ann@example.org"), QStringLiteral("one"), QString());
    window->mEmail->trigger();
    QPointer<TfrmSendMail> first = frmSendMail;
    AnswerMailDialog(QStringLiteral("bob@example.org"), QStringLiteral("two"), QString());
    window->btnEmail->trigger();

    ASSERT_EQ(mail.Sent.size(), 2u);
    EXPECT_NE(frmSendMail.data(), first.data());
    const TMapiMessage& second = mail.Sent[1].Message;
    ASSERT_EQ(second.Recips.size(), 1u);
    EXPECT_EQ(second.Recips[0].lpszAddress, QStringLiteral("SMTP:bob@example.org"));
    EXPECT_EQ(second.Files.size(), 1u);
    EXPECT_EQ(window->MapiControl1->DisplayFileName(), QStringList{QStringLiteral("email.jpg")});
    EXPECT_TRUE(window->MapiControl1->CopyTo().isEmpty());
    EXPECT_TRUE(window->MapiControl1->BlindCopyTo().isEmpty());
    EXPECT_FALSE(QFile::exists(TempFile()));
}

TEST_F(SendEmailTest, CancelWritesAndSendsNothing)
{
    StartUp();
    AnswerMailDialog(QStringLiteral("ann@example.org"), QString(), QString(), false);
    window->mEmail->trigger();
    EXPECT_TRUE(mail.Sent.empty());
    EXPECT_FALSE(QFile::exists(TempFile()));
}

TEST_F(SendEmailTest, AnEmptyAddressIsSentAsIs)
{
    StartUp();
    AnswerMailDialog(QString(), QString(), QString());
    window->mEmail->trigger();
    ASSERT_EQ(mail.Sent.size(), 1u);
    ASSERT_EQ(mail.Sent[0].Message.Recips.size(), 1u);
    EXPECT_TRUE(mail.Sent[0].Message.Recips[0].lpszName.isEmpty());
    EXPECT_EQ(mail.Sent[0].Message.Recips[0].lpszAddress, QStringLiteral("SMTP:"));
}

TEST_F(SendEmailTest, ASendThatReachesNoMailProgramIsReported)
{
    const struct
    {
        bool Available;
        int Result;
        QString Text;
    } cases[] = {
        {false, SUCCESS_SUCCESS, TPhotoMailer::NoMailProgramText()},
        {true, MAPI_USER_ABORT, TPhotoMailer::NoMailProgramText()},
        {true, MAPI_E_FAILURE, TPhotoMailer::MailErrorText(2)},
    };
    StartUp();
    for (const auto& c : cases) {
        mail.Available = c.Available;
        mail.Result = c.Result;
        QString shown;
        AnswerMailDialog(QStringLiteral("ann@example.org"), QString(), QString(), true, &shown);
        window->mEmail->trigger();
        EXPECT_EQ(shown, c.Text);
        EXPECT_FALSE(QFile::exists(TempFile()));
        // The component keeps no events between commands.
        EXPECT_FALSE(window->MapiControl1->OnSuccess);
        EXPECT_FALSE(window->MapiControl1->OnUserAbort);
        EXPECT_FALSE(window->MapiControl1->OnMapiError);
    }
    EXPECT_EQ(TPhotoMailer::MailErrorText(2),
              QStringLiteral("The photo was not sent: the mail program reported error 2."));
}

TEST_F(SendEmailTest, APhotoThatCannotBeWrittenEndsTheCommandWithItsMessage)
{
    StartUp();
    // A folder in the temporary file's place: the photo cannot be written.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("email.jpg")));
    QString shown;
    AnswerMailDialog(QStringLiteral("ann@example.org"), QString(), QString(), true, &shown);
    window->mEmail->trigger();
    EXPECT_TRUE(mail.Sent.empty());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Cannot create file"))) << shown.toStdString();
    EXPECT_TRUE(QFileInfo(TempFile()).isDir());
}

TEST_F(SendEmailTest, WhileTheMailToolRunsTheWindowPaintsOnAndNoMailProgramIsNamed)
{
    StartUp();
    TTempDir tools;
    window->MapiControl1->SetMailService(
        std::make_unique<TXdgMailService>(WriteWaitingTool(tools)));
    TPaintCounter paints(window->QynKadrix1);
    // Once the tool runs: ask for a repaint, and let the tool go on only
    // after the canvas was painted again.
    int paintsBefore = -1;
    bool waitCursor = false;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!QFile::exists(tools.file(QStringLiteral("started"))) ||
            QFile::exists(tools.file(QStringLiteral("go"))))
            return;
        if (paintsBefore < 0) {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            waitCursor = cursor && cursor->shape() == Qt::WaitCursor;
            paintsBefore = paints.Count;
            window->QynKadrix1->update();
        } else if (paints.Count > paintsBefore) {
            tools.write(QStringLiteral("go"), {});
        }
    });
    watcher.start();
    // Without a mail program, xdg-email ends with 3 where it looks for one
    // itself and with 4 where the desktop's opener refuses the address.
    for (const QByteArray code : {"3", "4"}) {
        tools.write(QStringLiteral("code"), code);
        QFile::remove(tools.file(QStringLiteral("started")));
        QFile::remove(tools.file(QStringLiteral("go")));
        paintsBefore = -1;
        waitCursor = false;
        QString shown;
        AnswerMailDialog(QStringLiteral("ann@example.org"), QString(), QString(), true, &shown);
        window->mEmail->trigger();
        EXPECT_TRUE(QFile::exists(tools.file(QStringLiteral("go")))) << code.data();
        EXPECT_TRUE(waitCursor) << code.data();
        EXPECT_EQ(shown, TPhotoMailer::NoMailProgramText()) << code.data();
        EXPECT_FALSE(QGuiApplication::overrideCursor());
    }
}

TEST_F(SendEmailTest, CopiesForTheMailProgramStayInTheCacheForADay)
{
    StartUp();
    TTempDir tools;
    tools.write(QStringLiteral("code"), "0");
    tools.write(QStringLiteral("go"), {});
    window->MapiControl1->SetMailService(
        std::make_unique<TXdgMailService>(WriteWaitingTool(tools)));
    const QDir copies(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                      QStringLiteral("/mail"));
    auto folders = [&copies] { return copies.entryList(QDir::Dirs | QDir::NoDotAndDotDot); };
    const QStringList before = folders();
    AnswerMailDialog(QStringLiteral("ann@example.org"), QString(), QString());
    window->mEmail->trigger();
    QStringList sent = folders();
    for (const QString& folder : before)
        sent.removeOne(folder);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_TRUE(QFile::exists(copies.filePath(sent[0] + QStringLiteral("/1/email.jpg"))));

    // A day and a minute later the copy goes at the next send; an hour old
    // one stays.
    const QString old = copies.filePath(sent[0]);
    SetModified(old, QDateTime::currentDateTime().addSecs(-(24 * 60 + 1) * 60));
    ASSERT_TRUE(copies.mkpath(QStringLiteral("orvo-mail-fresh/1")));
    const QString fresh = copies.filePath(QStringLiteral("orvo-mail-fresh"));
    QFile(fresh + QStringLiteral("/1/email.jpg")).open(QIODevice::WriteOnly);
    SetModified(fresh, QDateTime::currentDateTime().addSecs(-60 * 60));
    AnswerMailDialog(QStringLiteral("ann@example.org"), QString(), QString());
    window->mEmail->trigger();
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_TRUE(QFile::exists(fresh + QStringLiteral("/1/email.jpg")));
}
