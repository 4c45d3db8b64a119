// The Frame tab's design commands of the main window: "New Simple Frame",
// "New Ornate Frame" and "Edit".

#include "FrameMakerBase.h"
#include "MainForm.h"
#include "OrnateFrame.h"
#include "PicThumb.h"
#include "SidePanel.h"
#include "SimpleFrame.h"

#include <QComboBox>
#include <QMessageBox>

#include <memory>

namespace {

// A frame just stored by a designer: appended to the frame list, then the
// user category is chosen and reloaded. When the list has no such category
// the new frame stays appended and current in the list shown.
void ShowNewFrame(TfrmMain& Main, const QString& FrameFile)
{
    TPicThumb* thuFrame = Main.SidePanel->thuFrame;
    QComboBox* lsbFrame = Main.SidePanel->lsbFrame;
    thuFrame->AddFile(FrameFile);
    int user = -1;
    for (int i = 0; i < lsbFrame->count() && user < 0; ++i)
        if (lsbFrame->itemText(i).compare(QStringLiteral("User"), Qt::CaseInsensitive) == 0)
            user = i;
    lsbFrame->setCurrentIndex(user);
    thuFrame->SetItemIndex(thuFrame->Count() - 1);
    Main.lsbFrameChange();
    thuFrame->viewport()->update();
}

template <class TDesigner> void RunEdit(TfrmMain& Main, const QString& FileName)
{
    // A file that cannot be read ends the command before the dialog shows.
    auto designer = std::make_unique<TDesigner>([&Main] { return Main.ProgramFolder(); }, &Main);
    designer->LoadFrame(FileName);
    designer.release()->exec();
}

} // namespace

void TfrmMain::SpTBXItem16Click()
{
    auto* designer = new TfrmSimpleFrame([this] { return ProgramFolder(); }, this);
    if (designer->exec() == QDialog::Accepted)
        ShowNewFrame(*this, designer->FrameFile);
}

void TfrmMain::SpTBXItem17Click()
{
    auto* designer = new TfrmOrnateFrame([this] { return ProgramFolder(); }, this);
    if (designer->exec() == QDialog::Accepted)
        ShowNewFrame(*this, designer->FrameFile);
}

void TfrmMain::SpTBXButton4Click()
{
    TPicThumb* thuFrame = SidePanel->thuFrame;
    const int32_t index = thuFrame->ItemIndex;
    if (index < 0 || index >= thuFrame->FileList().size())
        return;
    const QString fileName = thuFrame->FileList().at(index);
    switch (GetFrameFileType(fileName)) {
    case ftSimple:
        RunEdit<TfrmSimpleFrame>(*this, fileName);
        break;
    case ftOrnate:
        RunEdit<TfrmOrnateFrame>(*this, fileName);
        break;
    case ftPicture: {
        QMessageBox box(QMessageBox::Warning, QString(),
                        QStringLiteral("The picture frame can not be edited."), QMessageBox::Ok);
        box.exec();
        return;
    }
    default:
        return;
    }
    // OK or Cancel: the item's thumbnail is drawn again either way.
    if (thuFrame->ItemIndex >= 0)
        thuFrame->RefreshThumb(thuFrame->ItemIndex);
}
