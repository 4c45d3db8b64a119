#pragma once

// The simple frame: from the outside in, an outer edge line, a band filled
// with one colour or a tiled texture, and an inner edge line, around a
// rectangular, elliptical or diamond-shaped transparent opening.

#include "FrameMakerBase.h"
#include "GPPath.h"
#include "GdiDraw.h"

#include <QBrush>
#include <QPen>

#include <cstdint>
#include <memory>

class TSimapleFrameMaker : public TFrameMakerBase
{
public:
    // Opening shapes; other values draw the outer edge only.
    enum : uint8_t
    {
        shRectangle = 0,
        shEllipse = 1,
        shDiamond = 2
    };
    // Brush and pen kinds.
    enum : uint16_t
    {
        bkOutEdge = 0,
        bkBand = 1,
        bkInnerEdge = 2
    };
    enum : uint16_t
    {
        pkOutEdge = 0,
        pkInnerEdge = 1
    };

    TSimapleFrameMaker() = default;

    int32_t GetAddedWidth() const override;
    int32_t GetAddedHeight() const override;
    int32_t GetTopBand() const override;
    int32_t GetLeftBand() const override;
    void Render(QImage& Bitmap) override;
    void LoadFromFile(const QString& FileName) override;
    void SaveToFile(const QString& FileName) override;

    // Each replaces Path with a new even-odd path of two figures whose ring
    // is the part drawn.
    virtual void GetInnerEdgePath(std::unique_ptr<TGPPath>& Path);
    virtual void GetOuterEdgePath(std::unique_ptr<TGPPath>& Path);
    virtual void GetBandPath(std::unique_ptr<TGPPath>& Path);
    // A pen of the outer edge (kind 0) or inner edge (kind 1); other kinds
    // make nothing and leave Pen as it was.
    virtual void MakePen(std::unique_ptr<QPen>& Pen, uint16_t Kind);

    // Replaces Brush: kind 0 outer edge colour, kind 1 the band (the texture
    // tiled from the origin when UseTexture is set, else BackColor), kind 2
    // inner edge colour; other kinds leave no brush.
    void MakeBrush(std::unique_ptr<QBrush>& Brush, uint16_t Kind) const;

    // Decodes a new texture from the whole content of Stream; the stream
    // stays the caller's.
    void LoadTextureFromStream(TMemoryStream& Stream);
    // The texture when UseTexture is set, else an empty picture.
    QImage GetTexture() const;

    int32_t GetOutEdge() const { return OutEdge; }
    TColorRef GetOutEdgeColor() const { return OutEdgeColor; }
    int32_t GetFrameHeight() const { return FrameHeight; }
    int32_t GetFrameWidth() const { return FrameWidth; }
    TColorRef GetBackColor() const { return BackColor; }
    uint8_t GetShape() const { return Shape; }
    bool GetUseTexture() const { return UseTexture; }
    int32_t GetInnerEdge() const { return InnerEdge; }
    TColorRef GetInnerEdgeColor() const { return InnerEdgeColor; }
    uint16_t GetFileWord() const { return FileWord; }

    void SetOutEdge(int32_t Value) { OutEdge = Value; }
    void SetOutEdgeColor(TColorRef Value) { OutEdgeColor = Value; }
    void SetFrameHeight(int32_t Value) { FrameHeight = Value; }
    void SetFrameWidth(int32_t Value) { FrameWidth = Value; }
    void SetBackColor(TColorRef Value) { BackColor = Value; }
    void SetShape(uint8_t Value) { Shape = Value; }
    void SetUseTexture(bool Value) { UseTexture = Value; }
    void SetInnerEdge(int32_t Value) { InnerEdge = Value; }
    void SetInnerEdgeColor(TColorRef Value) { InnerEdgeColor = Value; }

private:
    // The opening inset by K: a rectangle, the ellipse in it or the diamond
    // through its edge midpoints, as one closed figure of Path.
    void AddOpening(TGPPath& Path, int64_t K) const;

    int32_t OutEdge = 0;
    TColorRef OutEdgeColor = 0;
    int32_t FrameHeight = 0;
    int32_t FrameWidth = 0;
    TColorRef BackColor = 0;
    uint8_t Shape = shRectangle;
    bool UseTexture = false;
    int32_t InnerEdge = 0;
    TColorRef InnerEdgeColor = 0;
    QImage Texture;
    uint16_t FileWord = 0;
};
