#include "SelectFrame.h"

#include "HandlerGuard.h"
#include "MainForm.h"
#include "PicThumb.h"
#include "ScreenCentre.h"
#include "SidePanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

QPointer<TfrmSelectFrame> frmSelectFrame;

namespace {

// The text without leading and trailing blanks and control characters.
bool IsBlank(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > u' ')
            return false;
    return true;
}

} // namespace

TfrmSelectFrame::TfrmSelectFrame(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Frame"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(674, 423);

    lblFrame = new QLabel(QStringLiteral("Frame"));
    lsbFrame = new QComboBox;
    lsbFrame->setEditable(false);
    lsbFrame->setMinimumWidth(200);
    thuFrame = new TPicThumb;
    TSidePanel::SetPanelOptions(*thuFrame);
    thuFrame->OnCreateThumb = &TSidePanel::thuFrameCreateThumb;
    thuFrame->setFixedSize(648, 337);
    OK = new QPushButton(QStringLiteral("OK"));
    Cancel = new QPushButton(QStringLiteral("Cancel"));
    for (QPushButton* button : {OK, Cancel})
        button->setAutoDefault(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(lblFrame);
    bar->addWidget(lsbFrame);
    bar->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OK);
    buttons->addWidget(Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(13, 10, 13, 10);
    layout->addLayout(bar);
    layout->addWidget(thuFrame);
    layout->addLayout(buttons);

    connect(lsbFrame, &QComboBox::activated, this, Guarded(this, [this] { lsbFrameChange(); }));
    connect(OK, &QPushButton::clicked, this, Guarded(this, [this] { accept(); }));
    connect(Cancel, &QPushButton::clicked, this, Guarded(this, [this] { reject(); }));
}

TfrmSelectFrame::~TfrmSelectFrame()
{
    // A build still running ends before its browser goes.
    thuFrame->StopThumbs();
    thuFrame->Clear();
}

void TfrmSelectFrame::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        CentreOnScreen(*this);
        RunGuarded(this, [this] { FormShow(); });
    }
}

QString TfrmSelectFrame::FrameFolder() const
{
    return frmMain ? frmMain->ProgramFolder() + QStringLiteral("Frame/") : QString();
}

void TfrmSelectFrame::FormShow()
{
    if (frmMain)
        frmMain->FillFolderCombo(lsbFrame, FrameFolder());
    else
        lsbFrame->clear();
    lsbFrame->setCurrentIndex(lsbFrame->count() > 0 ? 0 : -1);
    lsbFrameChange();
}

void TfrmSelectFrame::lsbFrameChange()
{
    if (IsBlank(lsbFrame->currentText()))
        return;
    thuFrame->StopThumbs();
    thuFrame->Clear();
    // Clear handles events while it waits: the category is read only now.
    const QString category = lsbFrame->currentText();
    if (IsBlank(category) || !frmMain)
        return;
    frmMain->AddFolderFiles(thuFrame, FrameFolder() + category + QStringLiteral("/"),
                            QStringLiteral("*.okx"));
    thuFrame->StartThumbs();
    thuFrame->viewport()->update();
}
