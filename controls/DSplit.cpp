#include "DSplit.h"

#include "MoveContain.h"

#include <algorithm>

namespace {

// One-pixel strip of the line from (x1, y1) to (x2, y2), both ends included;
// the line is horizontal or vertical.
TGPRect Strip(int x1, int y1, int x2, int y2)
{
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    return TGPRect{left, top, std::max(x1, x2) - left + 1, std::max(y1, y2) - top + 1};
}

} // namespace

void TDSplit::PlaceSplits()
{
    const int r = Right();
    const int b = Bottom();
    const int m = SplitMargin;
    const int half = SplitMargin / 2;
    Splits[0] = {X + m, Y + half};
    Splits[1] = {r - m, Y + half};
    Splits[2] = {X + Width / 2, Y + m};
    Splits[3] = {r - half, Y + 2 * m};
    Splits[4] = {r - half, b - 2 * m};
    Splits[5] = {r - m, Y + Height / 2};
    Splits[6] = {X + m, b - half};
    Splits[7] = {r - m, b - half};
    Splits[8] = {X + Width / 2, b - m};
    Splits[9] = {X + half, Y + 2 * m};
    Splits[10] = {X + half, b - 2 * m};
    Splits[11] = {X + m, Y + Height / 2};
}

void TDSplit::UpdateSplitHandles()
{
    if (!Selected)
        return;
    for (int i = 0; i < SplitCount; ++i)
        SplitHandles[i] = HandleRect(Splits[i].X, Splits[i].Y);
}

TGPRect TDSplit::PieceRect(int Index) const
{
    const auto& p = Splits;
    const int r = Right();
    const int b = Bottom();
    switch (Index) {
    case 0:
        return {X, Y, p[0].X - X, p[2].Y - Y};
    case 1:
        return {p[0].X, Y, p[1].X - p[0].X, p[2].Y - Y};
    case 2:
        return {p[1].X, Y, r - p[1].X, p[2].Y - Y};
    case 3:
        return {p[5].X, p[2].Y, r - p[5].X, p[3].Y - p[2].Y};
    case 4:
        return {p[5].X, p[3].Y, r - p[5].X, p[4].Y - p[3].Y};
    case 5:
        return {p[5].X, p[4].Y, r - p[5].X, p[8].Y - p[4].Y};
    case 6:
        return {p[7].X, p[8].Y, r - p[7].X, b - p[8].Y};
    case 7:
        return {p[6].X, p[8].Y, p[7].X - p[6].X, b - p[8].Y};
    case 8:
        return {X, p[8].Y, p[6].X - X, b - p[8].Y};
    case 9:
        return {X, p[10].Y, p[11].X - X, p[8].Y - p[10].Y};
    case 10:
        return {X, p[9].Y, p[11].X - X, p[10].Y - p[9].Y};
    case 11:
        return {X, p[2].Y, p[11].X - X, p[9].Y - p[2].Y};
    default:
        return {};
    }
}

bool TDSplit::MoveLeftEdge(int dx)
{
    const auto& s = StartSplits;
    if (!(s[11].X + dx <= s[5].X && s[0].X + dx <= s[1].X && s[6].X + dx <= s[7].X))
        return false;
    for (int i : {0, 9, 10, 6, 11})
        Splits[i].X = s[i].X + dx;
    Splits[2].X = Splits[11].X + (s[5].X - Splits[11].X) / 2;
    Splits[8].X = Splits[2].X;
    return true;
}

bool TDSplit::MoveRightEdge(int dx)
{
    const auto& s = StartSplits;
    if (!(s[5].X + dx >= s[11].X && s[1].X + dx >= s[0].X && s[7].X + dx >= s[6].X))
        return false;
    for (int i : {3, 4, 1, 7, 5})
        Splits[i].X = s[i].X + dx;
    Splits[2].X = s[11].X + (Splits[5].X - s[11].X) / 2;
    Splits[8].X = Splits[2].X;
    return true;
}

bool TDSplit::MoveTopEdge(int dy)
{
    const auto& s = StartSplits;
    if (!(s[9].Y + dy <= s[10].Y && s[3].Y + dy <= s[4].Y && s[2].Y + dy <= s[8].Y))
        return false;
    for (int i : {0, 1, 2, 9, 3})
        Splits[i].Y = s[i].Y + dy;
    Splits[11].Y = Splits[2].Y + (s[8].Y - Splits[2].Y) / 2;
    Splits[5].Y = Splits[11].Y;
    return true;
}

bool TDSplit::MoveBottomEdge(int dy)
{
    const auto& s = StartSplits;
    if (!(s[10].Y + dy >= s[9].Y && s[4].Y + dy >= s[3].Y && s[8].Y + dy >= s[2].Y))
        return false;
    for (int i : {6, 7, 8, 4, 10})
        Splits[i].Y = s[i].Y + dy;
    Splits[11].Y = s[2].Y + (Splits[8].Y - s[2].Y) / 2;
    Splits[5].Y = Splits[11].Y;
    return true;
}

void TDSplit::Paint(QPainter&) {}

void TDSplit::DragMove(int px, int py)
{
    const int dx = px - DownX;
    const int dy = py - DownY;
    TMoveObject::DragMove(px, py);
    for (int i = 0; i < SplitCount; ++i)
        Splits[i] = {StartSplits[i].X + dx, StartSplits[i].Y + dy};
    UpdateSplitHandles();
    InvalidateOwner();
}

void TDSplit::DragSplitPoint(int dx, int dy)
{
    const auto& s = StartSplits;
    auto& p = Splits;
    const int r = Right();
    const int b = Bottom();
    // Start plus the pointer's offset, then the first bound, then the last,
    // which wins when the two leave no room.
    auto clamp = [](int v, auto first, auto last) { return last(first(v)); };
    auto atMost = [](int limit) { return [limit](int v) { return std::min(v, limit); }; };
    auto atLeast = [](int limit) { return [limit](int v) { return std::max(v, limit); }; };

    switch (DragSplit) {
    case 0:
        p[0].X = clamp(s[0].X + dx, atMost(s[1].X - 1), atLeast(X + 1));
        break;
    case 1:
        p[1].X = clamp(s[1].X + dx, atLeast(s[0].X + 1), atMost(r - 1));
        break;
    case 2:
        p[2].Y = clamp(s[2].Y + dy, atMost(std::min(s[9].Y, s[3].Y) - 1), atLeast(Y + 1));
        p[0].Y = Y + (p[2].Y - Y) / 2;
        p[1].Y = p[0].Y;
        p[11].Y = p[2].Y + (s[8].Y - p[2].Y) / 2;
        p[5].Y = p[11].Y;
        break;
    case 3:
        p[3].Y = clamp(s[3].Y + dy, atMost(s[4].Y - 1), atLeast(s[2].Y + 1));
        break;
    case 4:
        p[4].Y = clamp(s[4].Y + dy, atLeast(s[3].Y + 1), atMost(s[8].Y - 1));
        break;
    case 5:
        p[5].X = clamp(s[5].X + dx, atLeast(s[11].X + 1), atMost(r - 1));
        p[3].X = r - (r - p[5].X) / 2;
        p[4].X = p[3].X;
        break;
    case 6:
        p[6].X = clamp(s[6].X + dx, atMost(s[7].X - 1), atLeast(X + 1));
        break;
    case 7:
        p[7].X = clamp(s[7].X + dx, atLeast(s[6].X + 1), atMost(r - 1));
        break;
    case 8:
        p[8].Y = clamp(s[8].Y + dy, atLeast(std::max(s[10].Y, s[4].Y) + 1), atMost(b - 1));
        p[6].Y = b - (b - p[8].Y) / 2;
        p[7].Y = p[6].Y;
        p[11].Y = s[2].Y + (p[8].Y - s[2].Y) / 2;
        p[5].Y = p[11].Y;
        break;
    case 9:
        p[9].Y = clamp(s[9].Y + dy, atLeast(s[2].Y + 1), atMost(s[10].Y - 1));
        break;
    case 10:
        p[10].Y = clamp(s[10].Y + dy, atLeast(s[9].Y + 1), atMost(s[8].Y - 1));
        break;
    case 11:
        p[11].X = clamp(s[11].X + dx, atLeast(X + 1), atMost(s[5].X - 1));
        p[9].X = X + (p[11].X - X) / 2;
        p[10].X = p[9].X;
        break;
    default:
        break;
    }
}

void TDSplit::DragResize(int px, int py)
{
    const int dx = px - DownX;
    const int dy = py - DownY;
    if (DragSplit >= 0) {
        DragSplitPoint(dx, dy);
        return;
    }
    // A corner moves both its edges or neither: a refused second edge must
    // not leave the first edge's cuts moved while the outline stays.
    const auto lastSplits = Splits;
    bool moved = true;
    switch (DragHandle) {
    case 0:
        moved = MoveTopEdge(dy) && MoveLeftEdge(dx);
        break;
    case 1:
        moved = MoveTopEdge(dy);
        break;
    case 2:
        moved = MoveTopEdge(dy) && MoveRightEdge(dx);
        break;
    case 3:
        moved = MoveLeftEdge(dx);
        break;
    case 4:
        moved = MoveRightEdge(dx);
        break;
    case 5:
        moved = MoveLeftEdge(dx) && MoveBottomEdge(dy);
        break;
    case 6:
        moved = MoveBottomEdge(dy);
        break;
    case 7:
        moved = MoveRightEdge(dx) && MoveBottomEdge(dy);
        break;
    default:
        break;
    }
    if (moved)
        TMoveObject::DragResize(px, py);
    else
        Splits = lastSplits;
}

int TDSplit::SplitAt(int px, int py) const
{
    for (int i = 0; i < SplitCount; ++i) {
        if (GPRectContains(SplitHandles[i], TGPPoint{px, py}))
            return i;
    }
    return -1;
}

void TDSplit::UpdateCursor(int px, int py)
{
    UpdateSplitHandles();
    switch (SplitAt(px, py)) {
    case 0:
    case 1:
    case 5:
    case 6:
    case 7:
    case 11:
        SetAppCursor(Qt::SizeHorCursor);
        break;
    case 2:
    case 3:
    case 4:
    case 8:
    case 9:
    case 10:
        SetAppCursor(Qt::SizeVerCursor);
        break;
    default:
        TMoveObject::UpdateCursor(px, py);
        break;
    }
}

bool TDSplit::MouseDown(int px, int py)
{
    if (!HitTest(px, py))
        return false;
    if (DeclinesPress())
        return false;
    StartSplits = Splits;
    DragSplit = -1;
    UpdateSplitHandles();
    const int split = SplitAt(px, py);
    if (split >= 0) {
        // Neither a deselect nor a change of the selection: the grid only
        // takes the cut's drag, and the press goes on to the control.
        DragMode = DragResizing;
        KeepStartRect();
        DragSplit = split;
        DownX = px;
        DownY = py;
        return false;
    }
    return TMoveObject::MouseDown(px, py);
}

std::array<TGPRect, TDSplit::SplitCount> TDSplit::CutStrips() const
{
    const auto& p = Splits;
    const int r = Right();
    const int b = Bottom();
    return {
        Strip(p[0].X, p[2].Y, p[0].X, Y),      Strip(p[1].X, p[2].Y, p[1].X, Y),
        Strip(r, p[2].Y, X, p[2].Y),           Strip(p[11].X, p[8].Y, p[11].X, p[2].Y),
        Strip(p[11].X, p[9].Y, X, p[9].Y),     Strip(p[11].X, p[10].Y, X, p[10].Y),
        Strip(r, p[3].Y, p[5].X, p[3].Y),      Strip(r, p[4].Y, p[5].X, p[4].Y),
        Strip(p[5].X, p[8].Y, p[5].X, p[2].Y), Strip(p[6].X, b, p[6].X, p[8].Y),
        Strip(p[7].X, b, p[7].X, p[8].Y),      Strip(r, p[8].Y, X, p[8].Y),
    };
}

void TDSplit::PaintSelection(QPainter& g)
{
    TMoveObject::PaintSelection(g);
    // The red cut lines, one pixel wide, as exact strips so that the region
    // that protects them covers every pixel drawn.
    const QColor red(255, 0, 0, 255);
    for (const TGPRect& strip : CutStrips())
        FillRectSolid(g, strip, red);
    UpdateSplitHandles();
    const QColor black(0, 0, 0, 255);
    for (const TGPRect& square : SplitHandles)
        FillRectSolid(g, square, black);
}

const TGPRegion& TDSplit::GetRegion()
{
    Region.MakeEmpty();
    UpdateHandles();
    if (Selected) {
        for (const TGPRect& square : Handles)
            Region.Union(square);
        for (const TGPRect& square : SplitHandles)
            Region.Union(square);
        AddBorderToRegion();
        for (const TGPRect& strip : CutStrips())
            Region.Union(strip);
    }
    return Region;
}
