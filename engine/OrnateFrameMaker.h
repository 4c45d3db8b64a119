#pragma once

// The ornate frame: one square tile of N x N pixels repeated along the four
// sides, each side a trapezoid with mitred corners, the tile turned so that
// its top row lies along the outer border. The band width is N.

#include "FrameMakerBase.h"

class TOrnateFrameMaker : public TFrameMakerBase
{
public:
    // 2N and N, whatever the output size.
    int32_t GetAddedWidth() const override;
    int32_t GetAddedHeight() const override;
    int32_t GetTopBand() const override;
    int32_t GetLeftBand() const override;

    // Rounds Width and Height down to whole tiles (in the generator itself)
    // and draws the frame at that size. A size smaller than N gives an empty
    // bitmap; an N of 0 or less gives a fully transparent Width x Height one.
    void Render(QImage& Bitmap) override;
    void LoadFromFile(const QString& FileName) override;
    void SaveToFile(const QString& FileName) override;

    void SetFrameSize(int32_t Value) { FrameSize = Value; }
    int32_t GetFrameSize() const { return FrameSize; }
    // Replaces the tile with the picture decoded from Stream, which stays the
    // caller's.
    void LoadPieceFromStream(TMemoryStream& Stream);
    // The tile; a null image when there is none.
    const QImage& GetPiece() const { return Piece; }

private:
    QImage MakeWorkingTile() const;

    int32_t FrameSize = 0;
    QImage Piece;
};
