#include "ThumbOptions.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

QColor ThumbColor(TColorRef color)
{
    if (color == clBtnFace)
        return QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    if (color == clWindowText)
        return QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
    return ColorRefToColor(color);
}

void TGridOptions::AssignGrid(const TGridOptions& source)
{
    if (&source == this)
        return;
    LeftSpace = source.LeftSpace;
    RightSpace = source.RightSpace;
    TopSpace = source.TopSpace;
    BottomSpace = source.BottomSpace;
    ButtonColor = source.ButtonColor;
    BKColor = source.BKColor;
    OutFrameColor = source.OutFrameColor;
    OutFrameStyle = source.OutFrameStyle;
    InnerFrameColor = source.InnerFrameColor;
    InnerFrameStyle = source.InnerFrameStyle;
    InnerXSpace = source.InnerXSpace;
    InnerYSPace = source.InnerYSPace;
    ButtonWidth = source.ButtonWidth;
    ButtonHeight = source.ButtonHeight;
    PicRectLeft = source.PicRectLeft;
    PicRectWidth = source.PicRectWidth;
    PicRectTop = source.PicRectTop;
    PicRectHeight = source.PicRectHeight;
    TextLeft = source.TextLeft;
    TextWidth = source.TextWidth;
    TextTop = source.TextTop;
    TextHeight = source.TextHeight;
    SelectColor = source.SelectColor;
    SetTextFont(source.TextFont());
    SetDefaultBMP(source.DefaultBMP());
}

void TThumbOptions::Assign(const TThumbOptions& source)
{
    AssignGrid(source);
    ShowImageName = source.ShowImageName;
}

TDetailOptions::TDetailOptions()
{
    ButtonColor = clBtnFace;
    ButtonWidth = 280;
    ButtonHeight = 120;
    PicRectLeft = 10;
    PicRectWidth = 120;
    PicRectTop = 8;
    PicRectHeight = 100;
    TextLeft = 140;
    TextWidth = 130;
    TextTop = 10;
    TextHeight = 110;
}

void TDetailOptions::Assign(const TDetailOptions& source)
{
    AssignGrid(source);
    TextSpace = source.TextSpace;
}

TSmalThumbOptions::TSmalThumbOptions()
{
    SetThumbCount(9);
}

void TSmalThumbOptions::SetThumbCount(int32_t value)
{
    m_thumbCount = value;
    StripCells.resize(static_cast<size_t>(std::max(0, value) + 2));
}

void TSmalThumbOptions::Assign(const TSmalThumbOptions& source)
{
    if (&source == this)
        return;
    LeftSpace = source.LeftSpace;
    TopSpace = source.TopSpace;
    RightSpace = source.RightSpace;
    BottomSpace = source.BottomSpace;
    SetThumbCount(source.ThumbCount());
    ThumbSize = source.ThumbSize;
    ThumbFrameSize = source.ThumbFrameSize;
    ThumbFrameColor = source.ThumbFrameColor;
    ThumbSelectedColor = source.ThumbSelectedColor;
    ThumbSpace = source.ThumbSpace;
    ThumbPicSpace = source.ThumbPicSpace;
    PicInnerSpace = source.PicInnerSpace;
    ShowShaw = source.ShowShaw;
    SetLButton(source.LButton());
    SetRButton(source.RButton());
    BKColor = source.BKColor;
    PicBKColor = source.PicBKColor;
    AutoThumbCount = source.AutoThumbCount;
}
