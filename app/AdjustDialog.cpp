#include "AdjustDialog.h"

#include "HandlerGuard.h"
#include "MainForm.h"

#include "EffectBase.h"
#include "QynKadrix.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>

TfrmAdjustBase::TfrmAdjustBase(const QString& Caption, int ClientWidth, int ClientHeight,
                               QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
    setFixedSize(ClientWidth, ClientHeight);

    SpTBXButton1 = new QPushButton(QStringLiteral("&OK"), this);
    SpTBXButton2 = new QPushButton(QStringLiteral("&Cancel"), this);
    for (QPushButton* button : {SpTBXButton1, SpTBXButton2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(SpTBXButton1, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton1Click(); }));
    connect(SpTBXButton2, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton2Click(); }));
}

TQynKadrix* TfrmAdjustBase::Canvas()
{
    return frmMain ? frmMain->QynKadrix1 : nullptr;
}

void TfrmAdjustBase::SetPreviewMode(bool Value)
{
    if (TQynKadrix* canvas = Canvas())
        canvas->SetPreviewMode(Value);
}

QSlider* TfrmAdjustBase::AddTrackBar(QLabel*& Label, const QString& Caption, const QRect& LabelRect,
                                     const QRect& BarRect, int Min, int Max, int Start,
                                     std::function<void()> Handler)
{
    Label = new QLabel(Caption, this);
    Label->setGeometry(LabelRect);
    auto* bar = new QSlider(Qt::Horizontal, this);
    bar->setGeometry(BarRect);
    bar->setRange(Min, Max);
    bar->setValue(Start);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    Label->setBuddy(bar);
    // Connected after the start position is set: the first preview comes
    // from FormShow.
    connect(bar, &QSlider::valueChanged, this, Guarded(this, std::move(Handler)));
    return bar;
}

void TfrmAdjustBase::FormShow()
{
    if (const QWidget* owner = parentWidget()) {
        const QRect outer = owner->frameGeometry();
        move(outer.width() - frameGeometry().width() - 10, outer.top() + 60);
    }
    PreviewChange();
}

void TfrmAdjustBase::PreviewChange()
{
    TQynKadrix* canvas = Canvas();
    if (!canvas)
        return;
    const std::unique_ptr<TEffectBase> effect = BuildEffect();
    canvas->PreviewPhotoEffect(*effect);
}

void TfrmAdjustBase::SpTBXButton1Click()
{
    if (TQynKadrix* canvas = Canvas())
        canvas->ApplyPhotoEffect(BuildEffect());
    accept();
}

void TfrmAdjustBase::SpTBXButton2Click()
{
    reject();
}

void TfrmAdjustBase::FormClose()
{
    SetPreviewMode(false);
}

void TfrmAdjustBase::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunGuarded(this, [this] { FormShow(); });
}

void TfrmAdjustBase::done(int result)
{
    RunGuarded(this, [this] { FormClose(); });
    QDialog::done(result);
}
