#pragma once

// The picture frame: twelve pieces cut out of a frame picture. Corners and
// end pieces are drawn at their natural size, the four edge pieces repeat
// along the sides, so the frame fits any output size.

#include "FrameMakerBase.h"

#include <array>

class TPicFrameMaker : public TFrameMakerBase
{
public:
    // Piece order, clockwise from the top-left corner; also the order of the
    // pictures in the frame file.
    enum TPieceIndex : int
    {
        piTopLeft = 0,
        piTop = 1,
        piTopRight = 2,
        piRightUpper = 3,
        piRight = 4,
        piRightLower = 5,
        piBottomRight = 6,
        piBottom = 7,
        piBottomLeft = 8,
        piLeftLower = 9,
        piLeft = 10,
        piLeftUpper = 11,
    };
    static constexpr int PieceCount = 12;

    // w10 + w4, h1 + h7, h1 and w10; an absent piece counts as 0 x 0.
    int32_t GetAddedWidth() const override;
    int32_t GetAddedHeight() const override;
    int32_t GetTopBand() const override;
    int32_t GetLeftBand() const override;

    // Does nothing (Bitmap untouched) until the generator is loaded.
    void Render(QImage& Bitmap) override;
    void LoadFromFile(const QString& FileName) override;
    // Raises EPictureTooLarge, writing nothing, when the pieces would make a
    // file that LoadFromFile refuses (PicturesFitFrameFile).
    void SaveToFile(const QString& FileName) override;

    // Stores a copy of Bitmap as piece Index (a null Bitmap removes the
    // piece) and marks the generator loaded. An Index outside 0 to 11 is
    // ignored.
    void SetPiece(const QImage& Bitmap, int Index);

private:
    int PieceWidth(int Index) const { return Pieces[Index].width(); }
    int PieceHeight(int Index) const { return Pieces[Index].height(); }

    std::array<QImage, PieceCount> Pieces;
    bool Loaded = false;
};
