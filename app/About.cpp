#include "About.h"

#include "DesktopServices.h"
#include "HandlerGuard.h"
#include "ProgramInfo.h"
#include "ScreenCentre.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace {
constexpr int kPictureWidth = 399;
constexpr int kPictureHeight = 199;

// The picture behind the labels: a pale sky with the program's name and a
// small framed picture on the left.
QPixmap AboutPicture(const QFont& base)
{
    QPixmap pixmap(kPictureWidth, kPictureHeight);
    QPainter g(&pixmap);
    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0, QColor(214, 230, 250));
    sky.setColorAt(1, Qt::white);
    g.fillRect(pixmap.rect(), sky);
    g.setRenderHint(QPainter::Antialiasing);

    // A frame around a little landscape.
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(140, 90, 40));
    g.drawRect(16, 40, 72, 88);
    g.setBrush(QColor(120, 180, 235));
    g.drawRect(24, 48, 56, 72);
    g.setBrush(QColor(80, 150, 70));
    g.drawRect(24, 96, 56, 24);
    g.setBrush(QColor(250, 210, 60));
    g.drawEllipse(QPointF(64, 62), 7, 7);

    QFont title = base;
    title.setPixelSize(26);
    title.setBold(true);
    g.setFont(title);
    g.setPen(QColor(40, 70, 130));
    g.drawText(QRect(104, 40, 190, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromLatin1(kMessageCaption));
    QFont line = base;
    line.setPixelSize(12);
    g.setFont(line);
    g.setPen(QColor(90, 90, 90));
    g.drawText(QRect(104, 80, 280, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Picture framing"));
    g.setPen(QColor(190, 200, 215));
    g.drawLine(104, 104, 383, 104);
    return pixmap;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setTextFormat(Qt::PlainText);
    // Small enough that each caption ends before its link begins.
    QFont font = label->font();
    font.setPixelSize(11);
    label->setFont(font);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void MakeLink(QLabel* label)
{
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    label->adjustSize();
}

QString WithoutPrefix(const char* address, const QString& prefix)
{
    QString text = QString::fromLatin1(address);
    if (text.startsWith(prefix))
        text.remove(0, prefix.size());
    return text;
}
} // namespace

TfrmAbout::TfrmAbout(TAddressOpener* Addresses, QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_addresses(Addresses)
{
    setWindowTitle(QStringLiteral("About"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setFixedSize(kPictureWidth, kPictureHeight);

    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, kPictureWidth, kPictureHeight);
    Image1->setPixmap(AboutPicture(font()));

    Label1 = MakeLabel(this, QString(), 296, 56);
    QFont bold = Label1->font();
    bold.setPixelSize(13);
    bold.setBold(true);
    Label1->setFont(bold);
    Label4 = MakeLabel(this, QStringLiteral("WebSite"), 104, 112);
    Label5 = MakeLabel(this, WebText(), 152, 112);
    MakeLink(Label5);
    Label6 = MakeLabel(this, QStringLiteral("Email"), 104, 136);
    Label7 = MakeLabel(this, SupportText(), 136, 136);
    MakeLink(Label7);
    for (QLabel* link : {Label5, Label7})
        link->installEventFilter(this);

    SpTBXButton1 = new QPushButton(QStringLiteral("OK"), this);
    SpTBXButton1->setGeometry(312, 160, 75, 25);
    SpTBXButton1->setAutoDefault(false);
    SpTBXButton1->setDefault(false);
    connect(SpTBXButton1, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton1Click(); }));

    RunGuarded(this, [this] { FormCreate(); });
}

QString TfrmAbout::WebText()
{
    return WithoutPrefix(kWebAddress, QStringLiteral("https://"));
}

QString TfrmAbout::SupportText()
{
    return WithoutPrefix(kSupportAddress, QStringLiteral("mailto:"));
}

void TfrmAbout::FormCreate()
{
    Label1->setText(QString::fromLatin1(kProgramVersion));
    Label1->adjustSize();
}

void TfrmAbout::Label5Click()
{
    if (m_addresses)
        m_addresses->OpenAddress(QString::fromLatin1(kWebAddress));
}

void TfrmAbout::Label7Click()
{
    if (m_addresses)
        m_addresses->OpenAddress(QString::fromLatin1(kSupportAddress));
}

void TfrmAbout::SpTBXButton1Click()
{
    accept();
}

void TfrmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(*this);
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Label5) {
            RunGuarded(this, [this] { Label5Click(); });
            return true;
        }
        if (watched == Label7) {
            RunGuarded(this, [this] { Label7Click(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
