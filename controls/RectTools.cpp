#include "RectTools.h"

#include "ExtMath.h"
#include "GdiDraw.h"

#include <QCursor>
#include <QGuiApplication>

TGPRect HandleSquare(int cx, int cy)
{
    return TGPRect{cx - 2, cy - 2, 5, 5};
}

THandleSquares CalcHandleSquares(const TGPRect& rect)
{
    const int hx = rect.Width / 2;
    const int hy = rect.Height / 2;
    const int right = rect.X + rect.Width - 1;
    const int bottom = rect.Y + rect.Height - 1;
    return THandleSquares{
        HandleSquare(rect.X, rect.Y),      HandleSquare(rect.X + hx, rect.Y),
        HandleSquare(right, rect.Y),       HandleSquare(rect.X, rect.Y + hy),
        HandleSquare(right, rect.Y + hy),  HandleSquare(rect.X, bottom),
        HandleSquare(rect.X + hx, bottom), HandleSquare(right, bottom),
    };
}

int HandleAt(const THandleSquares& squares, int x, int y)
{
    for (int i = 0; i < 8; ++i) {
        if (GPRectContains(squares[i], TGPPoint{x, y}))
            return i;
    }
    return -1;
}

namespace {

// k = Size x (d / Other), the quotient held as a double and the product
// truncated toward zero. A start size of 0 or less gives no change.
int AspectStep(int size, int d, int other)
{
    if (other <= 0)
        return 0;
    const double ratio = double(d) / double(other);
    return XTrunc(XMul(size, ratio));
}

} // namespace

TGPRect ResizeRect(const TGPRect& start, int handle, int dx, int dy, bool keepAspect)
{
    const int sx = start.X;
    const int sy = start.Y;
    const int sw = start.Width;
    const int sh = start.Height;
    TGPRect r = start;
    if (!keepAspect) {
        switch (handle) {
        case 0:
            r = {sx + dx, sy + dy, sw - dx, sh - dy};
            break;
        case 1:
            r = {sx, sy + dy, sw, sh - dy};
            break;
        case 2:
            r = {sx, sy + dy, sw + dx, sh - dy};
            break;
        case 3:
            r = {sx + dx, sy, sw - dx, sh};
            break;
        case 4:
            r = {sx, sy, sw + dx, sh};
            break;
        case 5:
            r = {sx + dx, sy, sw - dx, sh + dy};
            break;
        case 6:
            r = {sx, sy, sw, sh + dy};
            break;
        case 7:
            r = {sx, sy, sw + dx, sh + dy};
            break;
        default:
            break;
        }
    } else {
        switch (handle) {
        case 0: {
            const int k = AspectStep(sh, dx, sw);
            r = {sx + dx, sy + k, sw - dx, sh - k};
            break;
        }
        case 1: {
            const int k = AspectStep(sw, dy, sh);
            r = {sx + k / 2, sy + dy, sw - k, sh - dy};
            break;
        }
        case 2: {
            const int k = AspectStep(sh, dx, sw);
            r = {sx, sy - k, sw + dx, sh + k};
            break;
        }
        case 3: {
            const int k = AspectStep(sh, dx, sw);
            r = {sx + dx, sy + k / 2, sw - dx, sh - k};
            break;
        }
        case 4: {
            const int k = AspectStep(sh, dx, sw);
            r = {sx, sy - k / 2, sw + dx, sh + k};
            break;
        }
        case 5: {
            const int k = AspectStep(sh, dx, sw);
            r = {sx + dx, sy, sw - dx, sh - k};
            break;
        }
        case 6: {
            const int k = AspectStep(sw, dy, sh);
            r = {sx - k / 2, sy, sw + k, sh + dy};
            break;
        }
        case 7: {
            const int k = AspectStep(sh, dx, sw);
            r = {sx, sy, sw + dx, sh + k};
            break;
        }
        default:
            break;
        }
    }
    if (r.Width < 1)
        r.Width = 1;
    if (r.Height < 1)
        r.Height = 1;
    return r;
}

Qt::CursorShape HandleCursor(int handle)
{
    switch (handle) {
    case 0:
    case 7:
        return Qt::SizeFDiagCursor;
    case 1:
    case 6:
        return Qt::SizeVerCursor;
    case 2:
    case 5:
        return Qt::SizeBDiagCursor;
    case 3:
    case 4:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void DrawSelectionMarks(QPainter& painter, const TGPRect& rect, const THandleSquares& squares)
{
    DrawRectOutline(painter, MakeSelectionPen(), rect);
    const QColor black(0, 0, 0, 255);
    for (const TGPRect& square : squares)
        FillRectSolid(painter, square, black);
}

void SetAppCursor(Qt::CursorShape shape)
{
    if (shape == Qt::ArrowCursor) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        return;
    }
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(shape));
    else
        QGuiApplication::setOverrideCursor(QCursor(shape));
}

bool AppCursorIsDefault()
{
    return QGuiApplication::overrideCursor() == nullptr;
}

Qt::CursorShape AppCursorShape()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

void RestoreEditingCursor()
{
    switch (AppCursorShape()) {
    case Qt::SizeVerCursor:
    case Qt::SizeHorCursor:
    case Qt::SizeBDiagCursor:
    case Qt::SizeFDiagCursor:
    case Qt::PointingHandCursor:
        SetAppCursor(Qt::ArrowCursor);
        break;
    default:
        break;
    }
}
