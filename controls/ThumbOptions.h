#pragma once

// The option sets of the thumbnail browser, one per display mode: geometry,
// colours, frame styles, font and default picture. The browser creates its
// three sets with itself and lays out afresh from them at every paint; the
// sets know nothing of the browser.

#include "GdiDraw.h"
#include "MyGdiPlus.h"

#include <QColor>
#include <QFont>
#include <QImage>

#include <cstdint>
#include <vector>

// Colour values of the option sets: colour references (red in the low byte).
constexpr TColorRef clWhite = 0xFFFFFF;
constexpr TColorRef clBlack = 0x000000;
constexpr TColorRef clSilver = 0xC0C0C0;
constexpr TColorRef clNavy = 0x800000;
constexpr TColorRef clYellow = 0x00FFFF;
// System colours: the platform's button face and window text.
constexpr TColorRef clBtnFace = 0x8000000F;
constexpr TColorRef clWindowText = 0x80000008;

// The drawing colour of a colour value, system colours resolved through the
// application's palette.
QColor ThumbColor(TColorRef color);

// Frame styles of cells and picture rectangles.
enum class TBevelCut : uint8_t
{
    bvNone,
    bvLowered,
    bvRaised,
    bvSpace,
};

// A font with its colour.
struct TThumbFont
{
    QFont Font;
    TColorRef Color = clWindowText;
    friend bool operator==(const TThumbFont&, const TThumbFont&) = default;
};

// The values shared by the grid modes (thumbnails and details).
class TGridOptions
{
public:
    TGridOptions() = default;
    virtual ~TGridOptions() = default;

    int32_t LeftSpace = 5;
    int32_t RightSpace = 5;
    int32_t TopSpace = 5;
    int32_t BottomSpace = 5;
    TColorRef ButtonColor = clWhite;
    TColorRef BKColor = clWhite;
    TColorRef OutFrameColor = clSilver;
    TBevelCut OutFrameStyle = TBevelCut::bvSpace;
    TColorRef InnerFrameColor = clSilver;
    TBevelCut InnerFrameStyle = TBevelCut::bvSpace;
    int32_t InnerXSpace = 3;
    int32_t InnerYSPace = 3;
    int32_t ButtonWidth = 128;
    int32_t ButtonHeight = 128;
    int32_t PicRectLeft = 6;
    int32_t PicRectWidth = 116;
    int32_t PicRectTop = 5;
    int32_t PicRectHeight = 95;
    int32_t TextLeft = 6;
    int32_t TextWidth = 116;
    int32_t TextTop = 104;
    int32_t TextHeight = 20;
    TColorRef SelectColor = clNavy;

    // Owned: the setters copy the content, never adopt the caller's object.
    const TThumbFont& TextFont() const { return m_textFont; }
    TThumbFont& TextFont() { return m_textFont; }
    void SetTextFont(const TThumbFont& font) { m_textFont = font; }
    const QImage& DefaultBMP() const { return m_defaultBmp; }
    void SetDefaultBMP(const QImage& bitmap) { m_defaultBmp = CopyBitmap(bitmap); }

protected:
    void AssignGrid(const TGridOptions& source);

private:
    TThumbFont m_textFont;
    QImage m_defaultBmp;
};

// The grid of equal cells (smThumb).
class TThumbOptions : public TGridOptions
{
public:
    TThumbOptions() = default;
    TThumbOptions(const TThumbOptions& source) : TGridOptions() { Assign(source); }
    TThumbOptions& operator=(const TThumbOptions& source)
    {
        Assign(source);
        return *this;
    }
    void Assign(const TThumbOptions& source);

    bool ShowImageName = true;
};

// The grid of wide cells with five detail lines (smDetail).
class TDetailOptions : public TGridOptions
{
public:
    TDetailOptions();
    TDetailOptions(const TDetailOptions& source) : TGridOptions() { Assign(source); }
    TDetailOptions& operator=(const TDetailOptions& source)
    {
        Assign(source);
        return *this;
    }
    void Assign(const TDetailOptions& source);

    // The height of each detail line.
    int32_t TextSpace = 15;
};

// The strip of small cells above one large picture (smPic).
class TSmalThumbOptions
{
public:
    TSmalThumbOptions();
    TSmalThumbOptions(const TSmalThumbOptions& source) { Assign(source); }
    TSmalThumbOptions& operator=(const TSmalThumbOptions& source)
    {
        Assign(source);
        return *this;
    }
    void Assign(const TSmalThumbOptions& source);

    int32_t LeftSpace = 5;
    int32_t TopSpace = 5;
    int32_t RightSpace = 5;
    int32_t BottomSpace = 5;
    int32_t ThumbSize = 32;
    // Stored only; the strip has a fixed 2-pixel frame.
    int32_t ThumbFrameSize = 2;
    TColorRef ThumbFrameColor = clWhite;
    TColorRef ThumbSelectedColor = clYellow;
    int32_t ThumbSpace = 3;
    int32_t ThumbPicSpace = 5;
    int32_t PicInnerSpace = 20;
    // Stored only.
    bool ShowShaw = true;
    TColorRef BKColor = clSilver;
    TColorRef PicBKColor = clWhite;
    bool AutoThumbCount = false;

    int32_t ThumbCount() const { return m_thumbCount; }
    // Stores the count and resizes StripCells to count + 2 (a negative count
    // leaves the two buttons).
    void SetThumbCount(int32_t value);

    const QImage& LButton() const { return m_lButton; }
    void SetLButton(const QImage& bitmap) { m_lButton = CopyBitmap(bitmap); }
    const QImage& RButton() const { return m_rButton; }
    void SetRButton(const QImage& bitmap) { m_rButton = CopyBitmap(bitmap); }

    // Entry 0 the left button, 1 .. ThumbCount the cells, the last the right
    // button. Written by the browser's strip layout only.
    std::vector<TRect> StripCells;

private:
    int32_t m_thumbCount = 9;
    QImage m_lButton;
    QImage m_rButton;
};
