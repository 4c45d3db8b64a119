// The mail component: the message it builds from its properties, the events
// each result fires, the desktop's mail tool against a stand-in script, and a
// desktop tool started without waiting for it.

#include "DetachedTool.h"
#include "MapiControl.h"
#include "TestSupport.h"
#include "XdgMailService.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <optional>

namespace {
// Keeps every message handed to it and answers with Result.
class TRecordingService : public TMailService
{
public:
    struct TSent
    {
        TMapiMessage Message;
        uint32_t Flags;
    };
    explicit TRecordingService(std::vector<TSent>* Sent, int Result = SUCCESS_SUCCESS,
                               bool IsAvailable = true)
        : m_sent(Sent), m_result(Result), m_available(IsAvailable)
    {}
    bool Available() const override { return m_available; }
    int SendMail(const TMapiMessage& Message, uint32_t Flags) override
    {
        m_sent->push_back({Message, Flags});
        return m_result;
    }

private:
    std::vector<TSent>* m_sent;
    int m_result;
    bool m_available;
};

// Which events fired, in order.
struct TEventLog
{
    QStringList Fired;
    void Attach(TMapiControl& control)
    {
        control.OnSuccess = [this](QObject*) { Fired << QStringLiteral("success"); };
        control.OnUserAbort = [this](QObject*) { Fired << QStringLiteral("abort"); };
        control.OnMapiError = [this](QObject*, int code) {
            Fired << QStringLiteral("error %1").arg(code);
        };
    }
};

std::unique_ptr<TMapiControl> MakeControl(std::vector<TRecordingService::TSent>* sent,
                                          int result = SUCCESS_SUCCESS, bool available = true)
{
    return std::make_unique<TMapiControl>(
        std::make_unique<TRecordingService>(sent, result, available));
}
} // namespace

TEST(MapiControl, MessageCarriesRecipientsInClassOrderWithSmtpAddresses)
{
    std::vector<TRecordingService::TSent> sent;
    auto control = MakeControl(&sent);
    control->Subject = QStringLiteral("Holiday");
    control->Body = QStringLiteral("Look at this\nframe");
    control->SetRecipients({QStringLiteral("ann@example.org"), QStringLiteral("bob@example.org")});
    control->SetCopyTo({QStringLiteral("cy@example.org")});
    control->SetBlindCopyTo({QStringLiteral("di@example.org")});
    control->SendMail();

    ASSERT_EQ(sent.size(), 1u);
    const TMapiMessage& m = sent[0].Message;
    EXPECT_EQ(m.lpszSubject, QStringLiteral("Holiday"));
    EXPECT_EQ(m.lpszNoteText, QStringLiteral("Look at this\nframe"));
    EXPECT_EQ(m.flFlags, 0u);
    ASSERT_EQ(m.Recips.size(), 4u);
    const uint32_t classes[] = {MAPI_TO, MAPI_TO, MAPI_CC, MAPI_BCC};
    const char* names[] = {"ann@example.org", "bob@example.org", "cy@example.org",
                           "di@example.org"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(m.Recips[i].ulRecipClass, classes[i]);
        EXPECT_EQ(m.Recips[i].lpszName, QString::fromLatin1(names[i]));
        EXPECT_EQ(m.Recips[i].lpszAddress, QStringLiteral("SMTP:") + QString::fromLatin1(names[i]));
        EXPECT_EQ(m.Recips[i].ulEIDSize, 0u);
    }
    // The originator is always there, empty texts as they stand.
    EXPECT_EQ(m.Originator.ulRecipClass, MAPI_ORIG);
    EXPECT_TRUE(m.Originator.lpszName.isEmpty());
    EXPECT_TRUE(m.Originator.lpszAddress.isEmpty());
    EXPECT_TRUE(m.Files.empty());
}

TEST(MapiControl, OriginatorGoesWithoutPrefixAndFlagsFollowShowDialog)
{
    std::vector<TRecordingService::TSent> sent;
    auto control = MakeControl(&sent);
    control->FromName = QStringLiteral("Eve");
    control->FromAdress = QStringLiteral("eve@example.org");
    control->SendMail();
    control->ShowDialog = true;
    control->SendMail();

    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].Message.Originator.lpszName, QStringLiteral("Eve"));
    EXPECT_EQ(sent[0].Message.Originator.lpszAddress, QStringLiteral("eve@example.org"));
    EXPECT_TRUE(sent[0].Message.Recips.empty());
    EXPECT_EQ(sent[0].Flags, 0u);
    EXPECT_EQ(sent[1].Flags, 11u);
}

TEST(MapiControl, ListsStayForTheNextSendAndDisplayNamesFollowTheLastAttachments)
{
    std::vector<TRecordingService::TSent> sent;
    auto control = MakeControl(&sent);
    control->Recipients().append(QStringLiteral("ann@example.org"));
    control->AttachedFiles().append(QStringLiteral("/home/ann/pics/one.jpg"));
    control->SendMail();
    control->Recipients().append(QStringLiteral("bob@example.org"));
    control->AttachedFiles().append(QStringLiteral("/tmp/two.png"));
    control->SendMail();

    ASSERT_EQ(sent.size(), 2u);
    const TMapiMessage& second = sent[1].Message;
    ASSERT_EQ(second.Recips.size(), 2u);
    EXPECT_EQ(second.Recips[1].lpszAddress, QStringLiteral("SMTP:bob@example.org"));
    ASSERT_EQ(second.Files.size(), 2u);
    EXPECT_EQ(second.Files[0].lpszPathName, QStringLiteral("/home/ann/pics/one.jpg"));
    EXPECT_EQ(second.Files[0].lpszFileName, QStringLiteral("one.jpg"));
    EXPECT_EQ(second.Files[1].lpszFileName, QStringLiteral("two.png"));
    EXPECT_EQ(second.Files[1].nPosition, -1);
    EXPECT_EQ(second.Files[1].flFlags, 0u);
    EXPECT_EQ(control->DisplayFileName(),
              (QStringList{QStringLiteral("one.jpg"), QStringLiteral("two.png")}));

    // A send without attachments leaves the names of the last one.
    control->SetAttachedFiles({});
    control->SendMail();
    EXPECT_TRUE(sent[2].Message.Files.empty());
    EXPECT_EQ(control->DisplayFileName().size(), 2);
}

TEST(MapiControl, WritingAListCopiesIt)
{
    std::vector<TRecordingService::TSent> sent;
    auto control = MakeControl(&sent);
    QStringList mine{QStringLiteral("a@example.org")};
    control->SetRecipients(mine);
    mine.append(QStringLiteral("b@example.org"));
    EXPECT_EQ(control->Recipients().size(), 1);
}

TEST(MapiControl, EachResultFiresItsOneEvent)
{
    const struct
    {
        int Result;
        bool Available;
        const char* Fired;
        size_t Sends;
    } cases[] = {
        {SUCCESS_SUCCESS, true, "success", 1},
        {MAPI_USER_ABORT, true, "abort", 1},
        {MAPI_E_FAILURE, true, "error 2", 1},
        {MAPI_E_ATTACHMENT_NOT_FOUND, true, "error 11", 1},
        // No mail service: nothing is sent and the send counts as aborted.
        {SUCCESS_SUCCESS, false, "abort", 0},
    };
    for (const auto& c : cases) {
        std::vector<TRecordingService::TSent> sent;
        auto control = MakeControl(&sent, c.Result, c.Available);
        TEventLog log;
        log.Attach(*control);
        control->SendMail();
        EXPECT_EQ(log.Fired, QStringList{QString::fromLatin1(c.Fired)}) << c.Result;
        EXPECT_EQ(sent.size(), c.Sends);
    }
}

TEST(MapiControl, UnassignedEventsAreSkipped)
{
    for (int result : {SUCCESS_SUCCESS, MAPI_USER_ABORT, MAPI_E_FAILURE}) {
        std::vector<TRecordingService::TSent> sent;
        auto control = MakeControl(&sent, result);
        EXPECT_NO_THROW(control->SendMail());
    }
}

// --- The desktop's mail tool ---------------------------------------------------

namespace {
// A stand-in for xdg-email that writes each argument on a line of Log, copies
// every attachment it is given to Log.<n> and exits with ExitCode.
QString WriteFakeTool(const TTempDir& dir, int ExitCode, const QString& Log)
{
    const QByteArray script = "#!/bin/sh\n"
                              "log='" +
                              Log.toUtf8() +
                              "'\n"
                              ": > \"$log\"\n"
                              "n=0\n"
                              "prev=\n"
                              "for a in \"$@\"; do\n"
                              "  printf '%s\\n' \"$a\" >> \"$log\"\n"
                              "  if [ \"$prev\" = --attach ]; then n=$((n+1)); cp \"$a\" "
                              "\"$log.$n\"; fi\n"
                              "  prev=$a\n"
                              "done\n"
                              "exit " +
                              QByteArray::number(ExitCode) + "\n";
    const QString path = dir.write(QStringLiteral("xdg-email"), script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList LogLines(const QString& log)
{
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TMapiRecipDesc Recip(uint32_t recipClass, const QString& address)
{
    TMapiRecipDesc r;
    r.ulRecipClass = recipClass;
    r.lpszName = address;
    r.lpszAddress = QStringLiteral("SMTP:") + address;
    return r;
}
} // namespace

TEST(XdgMailService, ArgumentsNameCopiesSubjectBodyAndPlainAddresses)
{
    TMapiMessage m;
    m.lpszSubject = QStringLiteral("Hi");
    m.lpszNoteText = QStringLiteral("two\nlines");
    m.Recips = {Recip(MAPI_TO, QStringLiteral("ann@example.org")),
                Recip(MAPI_CC, QStringLiteral("cy@example.org")),
                Recip(MAPI_BCC, QStringLiteral("di@example.org")),
                Recip(MAPI_TO, QStringLiteral("bob@example.org"))};
    EXPECT_EQ(TXdgMailService::Arguments(m, {QStringLiteral("/x/email.jpg")}),
              (QStringList{"--utf8", "--cc", "cy@example.org", "--bcc", "di@example.org",
                           "--subject", "Hi", "--body", "two\nlines", "--attach", "/x/email.jpg",
                           "ann@example.org", "bob@example.org"}));
    // Empty texts and an empty address are left out.
    TMapiMessage empty;
    empty.Recips = {Recip(MAPI_TO, QString())};
    EXPECT_EQ(TXdgMailService::Arguments(empty, {}), QStringList{"--utf8"});
}

TEST(XdgMailService, AddressesCannotSmuggleOptionsOrAttachments)
{
    EXPECT_EQ(TXdgMailService::PlainAddress(
                  Recip(MAPI_TO, QStringLiteral("a@b.org?attach=/etc/passwd&x=1"))),
              QStringLiteral("a@b.org%3Fattach%3D%2Fetc%2Fpasswd%26x%3D1"));
    EXPECT_EQ(TXdgMailService::PlainAddress(Recip(MAPI_TO, QStringLiteral("--attach"))),
              QStringLiteral("%2D-attach"));
    EXPECT_EQ(TXdgMailService::PlainAddress(Recip(MAPI_TO, QStringLiteral("mailto:x@y.org"))),
              QStringLiteral("mailto%3Ax@y.org"));
}

TEST(XdgMailService, MailtoAddressCarriesRecipientsAndEncodedTexts)
{
    TMapiMessage m;
    m.lpszSubject = QStringLiteral("A & B");
    m.lpszNoteText = QStringLiteral("x=1\ny");
    m.Recips = {Recip(MAPI_TO, QStringLiteral("ann@example.org")),
                Recip(MAPI_CC, QStringLiteral("cy@example.org"))};
    EXPECT_EQ(TXdgMailService::MailtoUrl(m).toString(QUrl::FullyEncoded),
              QStringLiteral("mailto:ann@example.org?cc=cy@example.org&subject=A%20%26%20B"
                             "&body=x%3D1%0Ay"));
}

TEST(XdgMailService, ExitCodesBecomeResults)
{
    EXPECT_EQ(TXdgMailService::ResultOfExitCode(0), SUCCESS_SUCCESS);
    EXPECT_EQ(TXdgMailService::ResultOfExitCode(1), MAPI_E_FAILURE);
    EXPECT_EQ(TXdgMailService::ResultOfExitCode(2), MAPI_E_ATTACHMENT_NOT_FOUND);
    // 3 and 4 are what the tool ends with when no mail program is there.
    EXPECT_EQ(TXdgMailService::ResultOfExitCode(3), MAPI_USER_ABORT);
    EXPECT_EQ(TXdgMailService::ResultOfExitCode(4), MAPI_USER_ABORT);
    EXPECT_EQ(TXdgMailService::ResultOfExitCode(5), MAPI_E_ATTACHMENT_OPEN_FAILURE);
}

TEST(XdgMailService, ToolGetsACopyThatOutlivesTheOriginal)
{
    TTempDir tools;
    TTempDir copies;
    const QString log = tools.file(QStringLiteral("log"));
    TXdgMailService service(WriteFakeTool(tools, 0, log), {}, copies.path());
    TTempDir pictures;
    const QString picture = pictures.write(QStringLiteral("email.jpg"), "jpeg bytes");

    TMapiControl control(std::make_unique<TXdgMailService>(service));
    control.SetRecipients({QStringLiteral("ann@example.org")});
    control.SetAttachedFiles({picture});
    control.Subject = QStringLiteral("Framed");
    TEventLog events;
    events.Attach(control);
    control.SendMail();
    QFile::remove(picture);

    EXPECT_EQ(events.Fired, QStringList{QStringLiteral("success")});
    const QStringList args = LogLines(log);
    ASSERT_EQ(args.size(), 6);
    EXPECT_EQ(args[5], QStringLiteral("ann@example.org"));
    const QString copy = args[4];
    EXPECT_EQ(QFileInfo(copy).fileName(), QStringLiteral("email.jpg"));
    EXPECT_TRUE(copy.startsWith(copies.path()));
    QFile kept(copy);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("jpeg bytes"));
}

TEST(XdgMailService, FailuresOfTheToolAreReportedAndLeaveNoCopies)
{
    TTempDir pictures;
    const QString picture = pictures.write(QStringLiteral("email.jpg"), "jpeg");
    for (int exitCode : {3, 4}) {
        TTempDir tools;
        TTempDir copies;
        TXdgMailService service(WriteFakeTool(tools, exitCode, tools.file("log")), {},
                                copies.path());
        TMapiMessage m;
        TMapiFileDesc file;
        file.lpszPathName = picture;
        file.lpszFileName = QStringLiteral("email.jpg");
        m.Files = {file};
        EXPECT_EQ(service.SendMail(m, 0), TXdgMailService::ResultOfExitCode(exitCode));
        EXPECT_TRUE(QDir(copies.path()).isEmpty()) << exitCode;
    }
}

TEST(XdgMailService, MissingAttachmentIsNotHandedOver)
{
    TTempDir tools;
    TTempDir copies;
    const QString log = tools.file(QStringLiteral("log"));
    TXdgMailService service(WriteFakeTool(tools, 0, log), {}, copies.path());
    TMapiMessage m;
    TMapiFileDesc file;
    file.lpszPathName = copies.file(QStringLiteral("gone.jpg"));
    file.lpszFileName = QStringLiteral("gone.jpg");
    m.Files = {file};
    EXPECT_EQ(service.SendMail(m, 0), MAPI_E_ATTACHMENT_NOT_FOUND);
    EXPECT_FALSE(QFile::exists(log));
}

TEST(XdgMailService, ToolStillRunningHasOpenedTheMailProgram)
{
    TTempDir tools;
    TTempDir copies;
    const QString path = tools.write(QStringLiteral("xdg-email"), "#!/bin/sh\nsleep 1\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TXdgMailService service(path, {}, copies.path());
    service.WaitMs = 100;
    EXPECT_EQ(service.SendMail(TMapiMessage{}, 0), SUCCESS_SUCCESS);
}

TEST(XdgMailService, WithoutTheToolOnlyMessagesWithoutAttachmentsGoAsMailto)
{
    TTempDir empty;
    const QString missing = empty.file(QStringLiteral("xdg-email"));
    QList<QUrl> opened;
    bool accept = true;
    TXdgMailService service(missing, [&](const QUrl& url) {
        opened << url;
        return accept;
    });
    TMapiMessage m;
    m.Recips = {Recip(MAPI_TO, QStringLiteral("ann@example.org"))};
    EXPECT_EQ(service.SendMail(m, 0), SUCCESS_SUCCESS);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toString(), QStringLiteral("mailto:ann@example.org"));
    accept = false;
    EXPECT_EQ(service.SendMail(m, 0), MAPI_USER_ABORT);

    TMapiFileDesc file;
    file.lpszPathName = empty.write(QStringLiteral("p.jpg"), "x");
    m.Files = {file};
    EXPECT_EQ(service.SendMail(m, 0), MAPI_USER_ABORT);
    EXPECT_EQ(opened.size(), 2);
}

TEST(DetachedTool, StartedToolReportsItsExitCodeFromTheEventLoop)
{
    TDetachedTool tool;
    std::optional<TDetachedTool::TResult> result;
    tool.Start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")},
               QDir::tempPath(), [&](TDetachedTool::TResult r) { result = r; });
    EXPECT_FALSE(result.has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return tool.Reported(); }));
    EXPECT_EQ(result->Outcome, TDetachedTool::TOutcome::Finished);
    EXPECT_EQ(result->ExitCode, 3);
}
