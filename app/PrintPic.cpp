#include "PrintPic.h"

#include "HandlerGuard.h"
#include "PrintPrevew.h"
#include "SystemPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

QPointer<TfrmPrintPic> frmPrintPic;

namespace {
constexpr int kTabWidth = 193;
constexpr int kGlyphSize = 24;

// A sheet with a small block at the place the button stands for.
QIcon PositionGlyph(int column, int row)
{
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter g(&pixmap);
    g.setPen(QColor(90, 90, 90));
    g.setBrush(Qt::white);
    g.drawRect(2, 2, kGlyphSize - 5, kGlyphSize - 5);
    const int block = 6;
    const int inner = kGlyphSize - 8 - block;
    const int x = 4 + column * inner / 2;
    const int y = 4 + row * inner / 2;
    g.fillRect(x, y, block, block, QColor(40, 90, 170));
    return QIcon(pixmap);
}
} // namespace

TfrmPrintPic::TfrmPrintPic(QWidget* Owner) : TfrmPrintPic(std::make_unique<TSystemPrinter>(), Owner)
{}

TfrmPrintPic::TfrmPrintPic(std::unique_ptr<TPrinterDevice> Printer, QWidget* Owner) : QDialog(Owner)
{
    setWindowTitle(QStringLiteral("Print Preview"));
    // The dialog frees itself when it is closed.
    setAttribute(Qt::WA_DeleteOnClose);

    TabControl = new QTabWidget(this);
    TabControl->setFixedWidth(kTabWidth);
    auto* page = new QWidget(TabControl);
    TabControl->addTab(page, QStringLiteral("Print"));

    SpTBXButton2 = new QPushButton(QStringLiteral("Print"), page);
    SpTBXButton1 = new QPushButton(QStringLiteral("Print Setup"), page);
    for (QPushButton* button : {SpTBXButton2, SpTBXButton1})
        button->setAutoDefault(false);

    AlignGroup = new QGroupBox(QStringLiteral("Align"), page);
    auto* grid = new QGridLayout;
    // The positions the grid's cells stand for, row by row.
    const int tags[9] = {0, 1, 2, 7, 8, 3, 6, 5, 4};
    for (int i = 0; i < 9; ++i) {
        auto* button = new QToolButton(AlignGroup);
        button->setProperty("Tag", tags[i]);
        button->setIcon(PositionGlyph(i % 3, i / 3));
        button->setIconSize(QSize(kGlyphSize, kGlyphSize));
        button->setAutoRaise(true);
        grid->addWidget(button, i / 3, i % 3, Qt::AlignCenter);
        SpeedButtons[i] = button;
    }
    SpTBXSpeedButton1 = SpeedButtons[0];
    SpTBXSpeedButton2 = SpeedButtons[1];
    SpTBXSpeedButton8 = SpeedButtons[2];
    SpTBXSpeedButton3 = SpeedButtons[3];
    SpTBXSpeedButton7 = SpeedButtons[4];
    SpTBXSpeedButton4 = SpeedButtons[5];
    SpTBXSpeedButton6 = SpeedButtons[6];
    SpTBXSpeedButton5 = SpeedButtons[7];
    SpTBXSpeedButton9 = SpeedButtons[8];
    SpTBXCheckBox1 = new QCheckBox(QStringLiteral("Auto fit"), AlignGroup);
    SpTBXCheckBox1->setChecked(false);
    auto* groupLayout = new QVBoxLayout(AlignGroup);
    groupLayout->addLayout(grid);
    groupLayout->addWidget(SpTBXCheckBox1);

    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(SpTBXButton2);
    pageLayout->addWidget(SpTBXButton1);
    pageLayout->addSpacing(8);
    pageLayout->addWidget(AlignGroup);
    pageLayout->addStretch(1);

    PrintPrevew1 = new TPrintPrevew(std::move(Printer), this);
    PrintPrevew1->SetLineColor(MakeColorRef(255, 0, 0));
    PrintPrevew1->SetBKColor(MakeColorRef(0xA0, 0xA0, 0xA4));
    PrintPrevew1->SetBordSize(30);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TabControl);
    layout->addWidget(PrintPrevew1, 1);

    connect(SpTBXButton2, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton2Click(); }));
    connect(SpTBXButton1, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton1Click(); }));
    for (QToolButton* button : SpeedButtons)
        connect(button, &QToolButton::clicked, this,
                Guarded(this, [this, button] { SpTBXSpeedButton1Click(button); }));

    // The dialog opens maximized. It takes the screen's size now, so that it
    // does not show small until the window system has maximized it; the
    // preview fits the picture anew into the sheet of the size it then gets.
    setWindowState(Qt::WindowMaximized);
    const QScreen* screen = Owner ? Owner->screen() : QApplication::primaryScreen();
    if (screen)
        resize(screen->availableGeometry().size());
    this->layout()->activate();
}

void TfrmPrintPic::SpTBXButton2Click()
{
    PrintPrevew1->Print();
}

void TfrmPrintPic::SpTBXButton1Click()
{
    // The platform's set-up dialog has nothing to set up without a printer.
    if (!PrintPrevew1->Printer().HasPrinter()) {
        ShowInformationMessage(this, QStringLiteral("No printer is installed, so there is no "
                                                    "printer set-up to change."));
        return;
    }
    if (PrintPrevew1->Printer().ShowSetupDialog(this))
        PrintPrevew1->update();
}

void TfrmPrintPic::SpTBXSpeedButton1Click(QToolButton* Sender)
{
    PrintPrevew1->AlignPicture(Tag(Sender), SpTBXCheckBox1->isChecked());
}

int TfrmPrintPic::Tag(const QToolButton* Button)
{
    return Button->property("Tag").toInt();
}
