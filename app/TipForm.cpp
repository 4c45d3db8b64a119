#include "TipForm.h"

#include "HandlerGuard.h"
#include "ScreenCentre.h"
#include "TipSetting.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <memory>

namespace {
// The small hint picture of the left strip: a light bulb, 17 x 16.
QPixmap HintPicture()
{
    QPixmap pixmap(17, 16);
    pixmap.fill(Qt::transparent);
    QPainter g(&pixmap);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(120, 90, 0), 1));
    g.setBrush(QColor(255, 230, 80));
    g.drawEllipse(QRectF(3.5, 0.5, 10, 10));
    g.setBrush(QColor(170, 170, 170));
    g.drawRect(QRectF(6.5, 10.5, 4, 4));
    g.setPen(QPen(QColor(255, 255, 255), 1));
    g.drawLine(QPointF(6.5, 3.5), QPointF(7.5, 2.5));
    return pixmap;
}

QFont PixelFont(const QFont& base, int pixels, bool bold)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
} // namespace

const std::array<QString, 3> TfrmTips::TipTexts = {
    QStringLiteral("How to send your photo which had been framed to your frields?\n\r"
                   " Click the \"Email\" button and input your firelds email address your photo "
                   "will be send to your frield immediately."),
    QStringLiteral("How to make your photo to wallpaper?\n\r"
                   " Just click the \"wallpaper button.\""),
    QStringLiteral("How to rotate your photo?\n\r"
                   " Click your photo and click the menu rotate 90 right or rotate 90 left."),
};

TfrmTips::TfrmTips(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Tip of days"));
    setFixedSize(379, 251);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(9, 9, 361, 193);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);

    Panel2 = new QFrame(Panel1);
    Panel2->setGeometry(2, 2, 56, 189);
    Panel2->setAutoFillBackground(true);
    QPalette strip = Panel2->palette();
    strip.setColor(QPalette::Window, QColor(0xAB, 0xAB, 0xAB));
    Panel2->setPalette(strip);
    Image1 = new QLabel(Panel2);
    Image1->setGeometry(16, 16, 17, 16);
    Image1->setPixmap(HintPicture());

    Panel3 = new QFrame(Panel1);
    Panel3->setGeometry(58, 2, 301, 189);

    Label1 = new QLabel(QStringLiteral("Do you know..."), Panel3);
    Label1->setFont(PixelFont(font(), 16, true));
    Label1->setGeometry(10, 10, 281, 24);

    Shape1 = new QFrame(Panel3);
    Shape1->setGeometry(10, 38, 281, 1);
    Shape1->setAutoFillBackground(true);
    QPalette grey = Shape1->palette();
    grey.setColor(QPalette::Window, Qt::gray);
    Shape1->setPalette(grey);

    lblMessage = new QLabel(Panel3);
    lblMessage->setGeometry(16, 48, 257, 129);
    lblMessage->setWordWrap(true);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMessage->setFont(PixelFont(font(), 13, false));
    lblMessage->setTextFormat(Qt::PlainText);

    CheckBox1 = new QCheckBox(QStringLiteral("Show tips on star"), this);
    CheckBox1->setGeometry(9, 216, 180, 25);

    Button1 = new QPushButton(QStringLiteral("&Next Tip"), this);
    Button1->setGeometry(210, 214, 75, 27);
    Button2 = new QPushButton(QStringLiteral("&OK"), this);
    Button2->setGeometry(295, 214, 75, 27);
    // Return presses "&OK", or the button that has the focus.
    Button2->setDefault(true);

    connect(Button1, &QPushButton::clicked, this, Guarded(this, [this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, Guarded(this, [this] { Button2Click(); }));
}

void TfrmTips::FormShow()
{
    TipIndex = 0;
    ShowTip();
}

void TfrmTips::Button1Click()
{
    TipIndex = TipIndex + 1;
    if (TipIndex > 2)
        TipIndex = 0;
    ShowTip();
}

void TfrmTips::Button2Click()
{
    accept();
}

void TfrmTips::FormClose()
{
    if (!WriteTipsSetting(CheckBox1->isChecked()))
        ShowErrorMessage(this, QStringLiteral("Failed to set data for 'Tips'"));
}

void TfrmTips::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        RunGuarded(this, [this] { FormShow(); });
        CentreOnScreen(*this);
        // The keyboard comes here at once, also at start-up, when no window
        // of the program was active before.
        Button2->setFocus(Qt::ActiveWindowFocusReason);
        activateWindow();
    }
}

void TfrmTips::done(int result)
{
    RunGuarded(this, [this] { FormClose(); });
    QDialog::done(result);
}

void TfrmTips::ShowTip()
{
    lblMessage->setText(TipTexts[size_t(TipIndex)]);
}

namespace {
void ShowTipsDialog(bool Checked)
{
    // The dialog belongs to no window: at start-up the main window does not
    // exist yet.
    auto dialog = std::make_unique<TfrmTips>();
    dialog->CheckBox1->setChecked(Checked);
    dialog->exec();
}
} // namespace

void ShowTipsAtStartup()
{
    if (!ReadTipsSetting())
        return;
    ShowTipsDialog(true);
}

void ShowTips()
{
    ShowTipsDialog(ReadTipsSetting());
}
