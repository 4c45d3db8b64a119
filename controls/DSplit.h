#pragma once

// The grid of cuts of the frame split control: an outline rectangle and
// twelve split points that divide it into the twelve pieces of a picture
// frame (four corners, four edges, four edge ends). Each split point carries
// one cut coordinate; its other coordinate only places its square in the
// middle of its band.
//
//   P0.X, P1.X   the top band's cuts       P2.Y   the top band's lower side
//   P6.X, P7.X   the bottom band's cuts    P8.Y   the bottom band's upper side
//   P9.Y, P10.Y  the left band's cuts      P11.X  the left band's right side
//   P3.Y, P4.Y   the right band's cuts     P5.X   the right band's left side
//
// Dragging a split square moves that cut, kept at least one pixel away from
// its neighbours and inside the outline; dragging the outline's handles moves
// whole bands so that corners and ends keep their size, and a corner handle
// moves both of its edges or, when one of them cannot move, neither.

#include "MoveObject.h"

#include <array>

class TDSplit : public TMoveObject
{
public:
    static constexpr int SplitMargin = 20;
    static constexpr int SplitCount = 12;
    static constexpr int PieceCount = 12;

    using TMoveObject::TMoveObject;

    // The default cuts for the outline.
    void PlaceSplits();
    // The squares centred on the split points; nothing while not Selected.
    void UpdateSplitHandles();
    // Piece Index (0..11, clockwise from the top-left corner) in the
    // control's coordinates.
    TGPRect PieceRect(int Index) const;
    // Shift a whole band's cuts from the start positions; false (and nothing
    // moved) when a cut would pass its neighbour.
    bool MoveTopEdge(int dy);
    bool MoveBottomEdge(int dy);
    bool MoveLeftEdge(int dx);
    bool MoveRightEdge(int dx);

    void Paint(QPainter& g) override;
    void DragMove(int px, int py) override;
    void DragResize(int px, int py) override;
    void UpdateCursor(int px, int py) override;
    // A press on a split square starts that cut's drag and answers false;
    // elsewhere the outline is selected, moved or resized.
    bool MouseDown(int px, int py) override;
    // The outline's marks, the twelve red cut lines and the split squares.
    void PaintSelection(QPainter& g) override;
    const TGPRegion& GetRegion() override;

    std::array<TGPRect, SplitCount> SplitHandles{};
    std::array<TGPPoint, SplitCount> Splits{};
    std::array<TGPPoint, SplitCount> StartSplits{};
    int32_t DragSplit = -1;

private:
    int Right() const { return X + Width; }
    int Bottom() const { return Y + Height; }
    // The cut lines as one-pixel strips (first and last pixel included).
    std::array<TGPRect, SplitCount> CutStrips() const;
    // The lowest split square holding the point; -1 for none.
    int SplitAt(int px, int py) const;
    // Moves the dragged split point's cut by (dx, dy) from its start.
    void DragSplitPoint(int dx, int dy);
};
