#pragma once

// What every movable object on a composing control shares: the eight sizing
// handles, the resize rules, the cursor shown over each handle, the dashed
// selection outline and the application-wide cursor.
//
// Handle numbers: 0 top-left, 1 top-middle, 2 top-right, 3 middle-left,
// 4 middle-right, 5 bottom-left, 6 bottom-middle, 7 bottom-right.

#include "MyGdiPlus.h"

#include <QPainter>

#include <array>

using THandleSquares = std::array<TGPRect, 8>;

// The 5 x 5 square centred on the pixel (CX, CY): (CX - 2, CY - 2, 5, 5).
TGPRect HandleSquare(int cx, int cy);

// The eight handle squares of a rectangle, centred on its corners (the last
// pixel row or column inside it) and on the middles of its sides (half the
// width or height truncated toward zero).
THandleSquares CalcHandleSquares(const TGPRect& rect);

// The lowest handle number whose square holds the point; -1 for none.
int HandleAt(const THandleSquares& squares, int x, int y);

// The rectangle after dragging handle Handle by (dx, dy) from Start. Without
// KeepAspect each handle moves its own sides. With KeepAspect the corner
// handles and the left and right middle handles follow the horizontal
// movement only, the top and bottom middle handles the vertical movement
// only; the other dimension changes by k = Start size times (d / Start other
// size) truncated toward zero (the middle handles move by k / 2 truncated, so
// they grow symmetrically). Width and height never fall below 1 and the
// position is not corrected, so the rectangle never flips.
TGPRect ResizeRect(const TGPRect& start, int handle, int dx, int dy, bool keepAspect);

// The sizing cursor of a handle: 0 and 7 north-west to south-east, 1 and 6
// vertical, 2 and 5 north-east to south-west, 3 and 4 horizontal.
Qt::CursorShape HandleCursor(int handle);

// The dashed selection outline (opaque black, 3 on 1 off) around Rect and the
// eight squares filled with opaque black.
void DrawSelectionMarks(QPainter& painter, const TGPRect& rect, const THandleSquares& squares);

// ---------------------------------------------------------------------------
// The application-wide cursor, kept on Qt's override cursor stack.

// Qt::ArrowCursor means the default: every override is removed. Any other
// shape replaces the current override (or sets one when there is none), so
// the stack never grows beyond one entry.
void SetAppCursor(Qt::CursorShape shape);
// True when no override cursor is set.
bool AppCursorIsDefault();
// The shape of the override; Qt::ArrowCursor when there is none.
Qt::CursorShape AppCursorShape();
// Back to the default when the cursor is one that editing objects set (a
// sizing cursor or the hand); any other (a command's wait cursor) stays.
// Controls call it when they hide or go, since the pointer may never leave
// them: their objects' cursor would otherwise stay and make every object of
// every control decline presses.
void RestoreEditingCursor();
