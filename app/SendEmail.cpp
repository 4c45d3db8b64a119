#include "SendEmail.h"

#include "Glyphs.h"
#include "ScreenCentre.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

QPointer<TfrmSendMail> frmSendMail;

namespace {
constexpr int kClientWidth = 447;
constexpr int kClientHeight = 289;
constexpr int kTopHeight = 57;
constexpr int kEditLeft = 96;
constexpr int kEditWidth = 335;
constexpr int kEditHeight = 22;

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int x, int y)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(x, y, 75, 25);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}
} // namespace

TfrmSendMail::TfrmSendMail(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Send Email"));
    setFixedSize(kClientWidth, kClientHeight);

    pnTop = new QWidget(this);
    pnTop->setGeometry(0, 0, kClientWidth, kTopHeight);
    pnTop->setAutoFillBackground(true);
    QPalette white = pnTop->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    pnTop->setPalette(white);
    Image1 = new QLabel(pnTop);
    Image1->setGeometry(8, 4, 48, 48);
    Image1->setPixmap(GlyphIcon(TGlyph::Email).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignCenter);
    lblTop = new QLabel(QStringLiteral("Input you frield's Email address, the photo will be send "
                                       "to your frield as a attached"),
                        pnTop);
    lblTop->setTextFormat(Qt::PlainText);
    lblTop->setWordWrap(true);
    lblTop->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblTop->setGeometry(64, 4, kClientWidth - 64 - 12, kTopHeight - 8);

    lblSendto = MakeLabel(this, QStringLiteral("Send to"), 16, 73);
    edtSendto = new QLineEdit(this);
    edtSendto->setGeometry(kEditLeft, 70, kEditWidth, kEditHeight);
    lblSubject = MakeLabel(this, QStringLiteral("Subject"), 16, 103);
    edtSubject = new QLineEdit(this);
    edtSubject->setGeometry(kEditLeft, 100, kEditWidth, kEditHeight);
    lblMsg = MakeLabel(this, QStringLiteral("Your Message"), 16, 130);
    memMsg = new QPlainTextEdit(this);
    memMsg->setGeometry(16, 148, kClientWidth - 32, 92);
    lblSendto->setBuddy(edtSendto);
    lblSubject->setBuddy(edtSubject);
    lblMsg->setBuddy(memMsg);

    btnSend = MakeButton(this, QStringLiteral("Send"), 270, 252);
    btnCancel = MakeButton(this, QStringLiteral("Cancel"), 356, 252);
    connect(btnSend, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSendMail::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(*this);
}
