#include "PicThumb.h"

#include "ExtMath.h"
#include "ThumbWorker.h"
#include "UniFuncs.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDate>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

namespace {

QRect ToQ(const TRect& r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TRect MakeRect(int left, int top, int width, int height)
{
    return TRect{left, top, left + width, top + height};
}

TRect Inset(const TRect& r, int dx, int dy)
{
    return TRect{r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy};
}

bool IsEmptyRect(const TRect& r)
{
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

void Line(QPainter& p, const QColor& color, int x1, int y1, int x2, int y2)
{
    p.setPen(QPen(color, 0));
    p.drawLine(x1, y1, x2, y2);
}

// One ring of the platform's 3-D edge: top and left in one colour, bottom and
// right in the other.
void EdgeRing(QPainter& p, const TRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (IsEmptyRect(r))
        return;
    Line(p, topLeft, r.Left, r.Top, r.Right - 2, r.Top);
    Line(p, topLeft, r.Left, r.Top, r.Left, r.Bottom - 2);
    Line(p, bottomRight, r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
    Line(p, bottomRight, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
}

// Frames a rectangle by a bevel style; returns the pen colour left selected
// (the bvSpace colour, else the one before).
QColor DrawFrame(QPainter& p, const TRect& r, TBevelCut style, TColorRef color, QColor pen)
{
    const QPalette pal = QGuiApplication::palette();
    const QColor highlight = pal.color(QPalette::Light);
    const QColor light = pal.color(QPalette::Midlight);
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor darkShadow = pal.color(QPalette::Shadow);
    switch (style) {
    case TBevelCut::bvNone:
        break;
    case TBevelCut::bvLowered:
        EdgeRing(p, r, shadow, highlight);
        EdgeRing(p, Inset(r, 1, 1), darkShadow, light);
        break;
    case TBevelCut::bvRaised:
        EdgeRing(p, r, light, darkShadow);
        EdgeRing(p, Inset(r, 1, 1), highlight, shadow);
        break;
    case TBevelCut::bvSpace: {
        pen = ThumbColor(color);
        p.setPen(QPen(pen, 0));
        const QPoint pts[5] = {{r.Left + 1, r.Top + 1},
                               {r.Right - 1, r.Top + 1},
                               {r.Right - 1, r.Bottom - 1},
                               {r.Left + 1, r.Bottom - 1},
                               {r.Left + 1, r.Top + 1}};
        p.drawPolyline(pts, 5);
        break;
    }
    }
    return pen;
}

QColor Inverse(const QColor& c)
{
    return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue());
}

// "yyyy/mm/dd hh:mm:ss" of a date-time in days since 1899-12-30; empty when
// it cannot be formatted.
QString FormatFileDate(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
        return QString();
    const double days = std::trunc(value);
    const double fraction = std::fabs(value - days);
    qint64 ms = std::llround(fraction * 86400000.0);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days) + ms / 86400000);
    ms %= 86400000;
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return QString();
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
    return date.toString(QStringLiteral("yyyy/MM/dd")) + QLatin1Char(' ') +
           time.toString(QStringLiteral("hh:mm:ss"));
}

} // namespace

QSize FitThumbSize(int32_t Width, int32_t Height, int32_t AWidth, int32_t AHeight)
{
    if (Width <= 0 || Height <= 0)
        return QSize(0, 0);
    if (Width < AWidth && Height < AHeight)
        return QSize(Width, Height);
    const double rx = double(XDiv(AWidth, Width));
    const double ry = double(XDiv(AHeight, Height));
    const double s = rx <= ry ? rx : ry;
    return QSize(XTrunc(XMul(Width, s)), XTrunc(XMul(Height, s)));
}

// ---------------------------------------------------------------------------
// Life

TPicThumb::TPicThumb(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setTracking(true);
    // Clicks give the focus only where the click handling says so.
    setFocusPolicy(Qt::TabFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setMouseTracking(true);
    m_repaintTimer.setInterval(15);
    connect(&m_repaintTimer, &QTimer::timeout, this, &TPicThumb::FlushRepaints);
    resize(400, 300);
    CalcLayout();
}

TPicThumb::~TPicThumb()
{
    // No cell repaint from here on; the run ends before its next item and
    // the worker is joined before anything it reads is freed.
    m_destroying.store(true);
    StopThumbs();
    if (m_worker) {
        m_worker->Join();
        m_worker.reset();
    }
}

// ---------------------------------------------------------------------------
// The list

void TPicThumb::AddFile(const QString& FileName)
{
    if (!WideFileExists(FileName))
        return;
    WaitForRun();
    auto item = std::make_unique<TImageInfor>();
    const QString ext = WideExtractFileExt(FileName).left(4);
    const QString name = WideExtractFileName(FileName).left(255);
    std::copy_n(reinterpret_cast<const char16_t*>(ext.utf16()), ext.size(), item->Ext);
    std::copy_n(reinterpret_cast<const char16_t*>(name.utf16()), name.size(), item->FileName);
    m_fileList.append(FileName);
    m_items.push_back(std::move(item));
    m_selected.push_back(false);
}

void TPicThumb::Clear()
{
    WaitForRun();
    m_items.clear();
    m_fileList.clear();
    m_selected.clear();
    ItemIndex = -1;
}

// ---------------------------------------------------------------------------
// Thumbnail runs

void TPicThumb::WaitForRun()
{
    while (m_state.load() != StateIdle) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // User input stays queued: a click here could start a nested rebuild.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    // The run is over; its worker may still be making its final repaint
    // request. Joined, it has made them all.
    if (m_worker) {
        m_worker->Join();
        FlushRepaints();
    }
}

void TPicThumb::BuildThumbs()
{
    WaitForRun();
    m_state.store(StateBuilding);
    RunThumbs();
}

void TPicThumb::StartThumbs()
{
    WaitForRun();
    m_state.store(StateBuilding);
    m_worker = std::make_unique<TCreateThumbThread>(false, this);
    m_repaintTimer.start();
}

void TPicThumb::StopThumbs()
{
    uint8_t expected = StateBuilding;
    m_state.compare_exchange_strong(expected, StateStopRequested);
}

void TPicThumb::RunThumbs()
{
    // Whatever ends the run leaves it idle, a failing callback included.
    struct TIdleOnExit
    {
        std::atomic<uint8_t>& state;
        ~TIdleOnExit() { state.store(StateIdle); }
    } idle{m_state};

    const int32_t n = Count();
    for (int32_t i = 0; i < n; ++i) {
        if (m_state.load() == StateStopRequested)
            return;
        TImageInfor& item = *m_items[static_cast<size_t>(i)];
        if (!OnCreateThumb || item.HasThumb.load())
            continue;
        MakeThumb(i);
        if (OnProcessPic)
            OnProcessPic(this, Count(), i + 1);
        RequestCellRepaint(i);
    }
}

void TPicThumb::MakeThumb(int32_t index)
{
    TImageInfor& item = *m_items[static_cast<size_t>(index)];
    {
        std::lock_guard<std::mutex> lock(item.Thumb.Lock());
        item.Thumb.Image = QImage();
    }
    item.HasThumb.store(true);
    OnCreateThumb(this, m_fileList.at(index), item.Thumb, m_thumbOptions.PicRectWidth,
                  m_thumbOptions.PicRectHeight, &item);
}

void TPicThumb::RefreshThumb(int32_t Index)
{
    if (!OnCreateThumb)
        return;
    WaitForRun();
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    MakeThumb(Index);
    RequestCellRepaint(Index);
}

void TPicThumb::RequestCellRepaint(int32_t index)
{
    if (m_destroying.load())
        return;
    if (OnCellRepaintRequest)
        OnCellRepaintRequest(index);
    if (std::this_thread::get_id() == m_uiThread) {
        InvalidateItem(index);
        return;
    }
    // Only the index travels; the user-interface thread finds the cell.
    std::lock_guard<std::mutex> lock(m_repaintLock);
    m_repaintCells.push_back(index);
}

void TPicThumb::RequestRepaintAll()
{
    if (m_destroying.load())
        return;
    std::lock_guard<std::mutex> lock(m_repaintLock);
    m_repaintAll = true;
}

void TPicThumb::FlushRepaints()
{
    const bool workerDone = !m_worker || m_worker->Finished();
    std::vector<int32_t> cells;
    bool all = false;
    {
        std::lock_guard<std::mutex> lock(m_repaintLock);
        cells.swap(m_repaintCells);
        std::swap(all, m_repaintAll);
    }
    if (m_destroying.load())
        return;
    for (const int32_t index : cells)
        InvalidateItem(index);
    if (all)
        viewport()->update();
    if (workerDone) {
        m_repaintTimer.stop();
        if (m_worker) {
            m_worker->Join();
            m_worker.reset();
        }
    }
}

void TPicThumb::InvalidateItem(int32_t index)
{
    if (index < 0 || index >= Count())
        return;
    TRect r;
    switch (m_showMode) {
    case smThumb:
        r = CellRect(index);
        break;
    case smDetail:
        r = DetailCellRect(index);
        break;
    case smPic: {
        const int32_t c = index - m_stripFirstIndex + 1;
        const int32_t tc = m_smalThumbOptions.ThumbCount();
        if (c >= 1 && c <= tc && static_cast<size_t>(c) < m_smalThumbOptions.StripCells.size())
            r = m_smalThumbOptions.StripCells[static_cast<size_t>(c)];
        break;
    }
    }
    if (!IsEmptyRect(r))
        viewport()->update(ToQ(r));
}

// ---------------------------------------------------------------------------
// Layout

void TPicThumb::SetShowMode(TShowMode mode)
{
    m_showMode = mode;
    if (mode == smPic)
        ApplyScrollRange(0);
}

int32_t TPicThumb::ScrollPosition() const
{
    return verticalScrollBar()->value();
}

void TPicThumb::SetScrollPosition(int32_t position)
{
    verticalScrollBar()->setValue(position);
}

void TPicThumb::ApplyScrollRange(int32_t range)
{
    // The scroll bar's maximum is its last position, not the content height.
    m_vertRange = range;
    QScrollBar* bar = verticalScrollBar();
    const int page = viewport()->height();
    bar->setRange(0, std::max(0, range - page));
    bar->setPageStep(std::max(1, page));
}

namespace {

struct TGridLayout
{
    int32_t cellWidth, cellHeight, columns, range, firstRow, visibleRows;
};

TGridLayout GridLayout(const TGridOptions& o, int width, int height, int count, int position,
                       std::function<int(int)> applyRange)
{
    TGridLayout l{};
    l.cellWidth = o.ButtonWidth + o.InnerXSpace;
    l.cellHeight = o.ButtonHeight + o.InnerYSPace;
    l.columns =
        l.cellWidth > 0 ? XTrunc(XDiv(width - o.LeftSpace - o.RightSpace - 10, l.cellWidth)) : 1;
    if (l.columns < 1)
        l.columns = 1;
    const int rows = count / l.columns + (count % l.columns != 0 ? 1 : 0);
    l.range = rows * l.cellHeight + o.TopSpace + o.BottomSpace;
    position = applyRange(l.range);
    l.firstRow = l.cellHeight > 0 ? XTrunc(XDiv(position, l.cellHeight)) : 0;
    l.visibleRows = l.cellHeight > 0 ? XTrunc(XDiv(height, l.cellHeight)) + 1 : 1;
    return l;
}

// The hit-test cell of item i in a grid (one pixel left of the painted one).
TRect GridCell(const TGridOptions& o, int cellWidth, int cellHeight, int columns, int position,
               int i)
{
    const int row = i / columns;
    const int column = i % columns;
    const TRect pitch = MakeRect(o.LeftSpace + column * cellWidth,
                                 o.TopSpace + row * cellHeight - position, cellWidth, cellHeight);
    return Inset(pitch, o.InnerXSpace, o.InnerYSPace);
}

} // namespace

void TPicThumb::CalcLayout()
{
    const TGridLayout l =
        GridLayout(m_thumbOptions, width(), height(), Count(), ScrollPosition(), [this](int range) {
            ApplyScrollRange(range);
            return ScrollPosition();
        });
    m_cellWidth = l.cellWidth;
    m_cellHeight = l.cellHeight;
    m_columns = l.columns;
    m_firstRow = l.firstRow;
    m_visibleRows = l.visibleRows;
    verticalScrollBar()->setSingleStep(std::max(1, m_cellHeight));
}

void TPicThumb::CalcDetailLayout()
{
    const TGridLayout l = GridLayout(m_detailOptions, width(), height(), Count(), ScrollPosition(),
                                     [this](int range) {
                                         ApplyScrollRange(range);
                                         return ScrollPosition();
                                     });
    m_cellWidth = l.cellWidth;
    m_cellHeight = l.cellHeight;
    m_columns = l.columns;
    m_firstRow = l.firstRow;
    m_visibleRows = l.visibleRows;
    verticalScrollBar()->setSingleStep(std::max(1, m_cellHeight));
}

TRect TPicThumb::CellRect(int32_t index) const
{
    if (index < m_firstRow * m_columns || index > (m_firstRow + m_visibleRows) * m_columns)
        return TRect{};
    return GridCell(m_thumbOptions, m_cellWidth, m_cellHeight, m_columns, ScrollPosition(), index);
}

TRect TPicThumb::DetailCellRect(int32_t index) const
{
    if (index < m_firstRow * m_columns || index > (m_firstRow + m_visibleRows) * m_columns)
        return TRect{};
    return GridCell(m_detailOptions, m_cellWidth, m_cellHeight, m_columns, ScrollPosition(), index);
}

namespace {

int32_t GridIndexAt(const TGridOptions& o, int width, int cellWidth, int cellHeight, int columns,
                    int firstRow, int position, int count, int X, int Y)
{
    if (!(o.LeftSpace < X && X < width - o.LeftSpace - 10))
        return -1;
    if (cellWidth <= 0 || cellHeight <= 0)
        return -1;
    const int rowOffset = (Y - (o.TopSpace + firstRow * cellHeight - position)) / cellHeight;
    const int column = (X - o.LeftSpace) / cellWidth;
    const int index = (firstRow + rowOffset) * columns + column;
    if (index < 0 || index >= count)
        return -1;
    const TRect r = GridCell(o, cellWidth, cellHeight, columns, position, index);
    if (X > r.Left && X < r.Right && Y > r.Top && Y < r.Bottom)
        return index;
    return -1;
}

} // namespace

int32_t TPicThumb::ThumbIndexAt(int32_t X, int32_t Y)
{
    if (!(m_thumbOptions.LeftSpace < X && X < width() - m_thumbOptions.LeftSpace - 10))
        return -1;
    CalcLayout();
    return GridIndexAt(m_thumbOptions, width(), m_cellWidth, m_cellHeight, m_columns, m_firstRow,
                       ScrollPosition(), Count(), X, Y);
}

int32_t TPicThumb::DetailIndexAt(int32_t X, int32_t Y) const
{
    return GridIndexAt(m_detailOptions, width(), m_cellWidth, m_cellHeight, m_columns, m_firstRow,
                       ScrollPosition(), Count(), X, Y);
}

void TPicThumb::CalcStripLayout()
{
    TSmalThumbOptions& s = m_smalThumbOptions;
    const QRect c = viewport()->rect();
    const int pitch = s.ThumbSize + s.ThumbSpace;
    m_stripRect.Top = c.top() + s.TopSpace;
    m_stripRect.Bottom = m_stripRect.Top + s.ThumbSize;
    if (s.AutoThumbCount && pitch > 0) {
        int count = (c.width() - 2 * s.LeftSpace) / pitch - 3;
        if (count % 2 == 0)
            --count;
        s.SetThumbCount(count);
    }
    const int tc = std::max(0, s.ThumbCount());
    const int w = pitch * (tc + 2);
    m_stripRect.Left = (width() - w) / 2;
    m_stripRect.Right = m_stripRect.Left + w;
    s.StripCells.resize(static_cast<size_t>(tc + 2));
    for (int j = 0; j <= tc + 1; ++j)
        s.StripCells[static_cast<size_t>(j)] =
            MakeRect(m_stripRect.Left + j * pitch, m_stripRect.Top, s.ThumbSize, s.ThumbSize);
    m_pictureRect =
        TRect{c.left() + s.LeftSpace, m_stripRect.Bottom + s.ThumbPicSpace,
              c.left() + c.width() - s.RightSpace, c.top() + c.height() - s.BottomSpace};
    m_pictureInnerRect = Inset(m_pictureRect, s.PicInnerSpace, s.PicInnerSpace);
    // With no current item the strip starts as if item 0 were current.
    m_stripFirstIndex = std::max(0, ItemIndex) - tc / 2;
}

int32_t TPicThumb::StripCellAt(int32_t X, int32_t Y) const
{
    const TSmalThumbOptions& s = m_smalThumbOptions;
    if (s.StripCells.size() < 2)
        return -1;
    const TRect& first = s.StripCells.front();
    const TRect& last = s.StripCells.back();
    if (Y < first.Top || Y > first.Bottom || X < first.Left || X > last.Right)
        return -1;
    const int pitch = s.ThumbSize + s.ThumbSpace;
    if (pitch <= 0)
        return -1;
    const int j = (X - first.Left) / pitch;
    if (j < 0 || static_cast<size_t>(j) >= s.StripCells.size())
        return -1;
    const TRect& cell = s.StripCells[static_cast<size_t>(j)];
    return X >= cell.Left && X <= cell.Right ? j : -1;
}

// ---------------------------------------------------------------------------
// Painting

void TPicThumb::PaintBuffer()
{
    switch (m_showMode) {
    case smThumb:
        CalcLayout();
        PaintGrid(false);
        break;
    case smDetail:
        CalcDetailLayout();
        PaintGrid(true);
        break;
    case smPic:
        PaintPicMode();
        break;
    }
}

void TPicThumb::PaintGrid(bool details)
{
    const TGridOptions& o =
        details ? static_cast<const TGridOptions&>(m_detailOptions) : m_thumbOptions;
    const int w = width();
    const int h = height();
    m_backBuffer = NewBitmap(std::max(0, w), std::max(0, h), QImage::Format_RGB32);
    if (m_backBuffer.isNull())
        return;
    QPainter p(&m_backBuffer);
    QRegion clip(0, 0, w, h);
    QColor pen(Qt::black);
    const bool excludeCells = details || isEnabled();
    const int position = ScrollPosition();
    const int n = Count();

    int i = m_firstRow * m_columns;
    int y = o.TopSpace + m_firstRow * m_cellHeight - position;
    while (y <= h && i < n) {
        const int column = i % m_columns;
        const TRect r =
            Inset(MakeRect(o.LeftSpace + column * m_cellWidth + 1, y, m_cellWidth, m_cellHeight),
                  o.InnerXSpace, o.InnerYSPace);
        const bool selected = m_selected[static_cast<size_t>(i)];
        const QColor fill = ThumbColor(selected ? o.SelectColor : o.ButtonColor);
        p.setClipRegion(clip);
        if (!IsEmptyRect(r))
            p.fillRect(ToQ(r), fill);
        pen = DrawFrame(p, r, o.OutFrameStyle, o.OutFrameColor, pen);

        const TRect pic =
            MakeRect(r.Left + o.PicRectLeft, r.Top + o.PicRectTop, o.PicRectWidth, o.PicRectHeight);
        TImageInfor& item = *m_items[static_cast<size_t>(i)];
        auto drawCentred = [&](const QImage& image) {
            if (image.isNull())
                return;
            p.drawImage(QPoint(pic.Left + (o.PicRectWidth - image.width()) / 2,
                               pic.Top + (o.PicRectHeight - image.height()) / 2),
                        image);
        };
        if (item.HasThumb.load()) {
            std::lock_guard<std::mutex> lock(item.Thumb.Lock());
            drawCentred(item.Thumb.Image);
        } else {
            drawCentred(o.DefaultBMP());
        }
        pen = DrawFrame(p, pic, o.InnerFrameStyle, o.InnerFrameColor, pen);

        QFont font = o.TextFont().Font;
        const QColor textColor =
            selected ? Inverse(ThumbColor(o.SelectColor)) : ThumbColor(o.TextFont().Color);
        const TRect text =
            MakeRect(r.Left + o.TextLeft, r.Top + o.TextTop, o.TextWidth, o.TextHeight);
        if (!details && m_thumbOptions.ShowImageName && !IsEmptyRect(text)) {
            p.save();
            p.setClipRect(ToQ(text), Qt::IntersectClip);
            p.setFont(font);
            p.setPen(textColor);
            p.setBackgroundMode(Qt::OpaqueMode);
            p.setBackground(fill);
            p.drawText(ToQ(text), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                       item.FileNameText());
            p.restore();
        } else if (details) {
            const int space = m_detailOptions.TextSpace;
            auto drawLine = [&](const TRect& line, const QString& s, bool bold) {
                if (IsEmptyRect(line) || s.isEmpty())
                    return;
                QFont f = font;
                f.setBold(bold);
                p.save();
                p.setClipRect(ToQ(line), Qt::IntersectClip);
                p.setFont(f);
                p.setPen(textColor);
                p.drawText(ToQ(line), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, s);
                p.restore();
            };
            TRect line{text.Left, text.Top, text.Right, text.Top + space};
            drawLine(line, item.FileNameText(), true);
            // A line to (T.right - 1, y) that stops before its end point.
            if (text.Right - 1 > text.Left + 1)
                Line(p, pen, text.Left + 1, line.Bottom, text.Right - 2, line.Bottom);
            line = TRect{text.Left + 6, line.Bottom + 1, text.Right, line.Bottom + 1 + space + 1};
            drawLine(
                line,
                QStringLiteral("%1 x %2 x %3").arg(item.Width).arg(item.Height).arg(item.BitDepth),
                false);
            line = TRect{line.Left, line.Bottom, line.Right, line.Bottom + space};
            drawLine(line, QString::asprintf("Size:%.2fM", item.FileSize / 1024.0 / 1024.0), false);
            line = TRect{line.Left, line.Bottom, line.Right, line.Bottom + space};
            drawLine(line,
                     QStringLiteral("DPI:") + QString::number(item.DpiX, 'g', 15) +
                         QStringLiteral("x") + QString::number(item.DpiY, 'g', 15),
                     false);
            line = TRect{line.Left, line.Bottom, line.Right, line.Bottom + space};
            drawLine(line, FormatFileDate(item.FileDate), false);
        }
        if (excludeCells && !IsEmptyRect(r))
            clip -= ToQ(r);

        ++i;
        if (i % m_columns == 0)
            y += m_cellHeight;
    }

    p.setClipRegion(clip);
    const QColor background =
        details ? ThumbColor(o.BKColor) : ThumbColor(isEnabled() ? o.BKColor : clBtnFace);
    p.fillRect(0, 0, w, h, background);
    if (details && n == 0) {
        p.setClipping(false);
        p.setFont(font());
        p.setPen(Qt::black);
        p.drawText(QRect(0, h / 2, w, h - h / 2),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, m_nullText);
    }
}

void TPicThumb::PaintPicMode()
{
    CalcStripLayout();
    const TSmalThumbOptions& s = m_smalThumbOptions;
    const QRect client = viewport()->rect();
    m_backBuffer = NewBitmap(client.width(), client.height(), QImage::Format_RGB32);
    if (m_backBuffer.isNull())
        return;
    QPainter p(&m_backBuffer);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QRegion clip(client);
    const int tc = std::max(0, s.ThumbCount());
    const int n = Count();

    auto button = [&](const TRect& r, const QImage& image) {
        p.setClipRegion(clip);
        if (!image.isNull())
            p.drawImage(ToQ(r), image);
        clip -= ToQ(r);
    };
    button(s.StripCells.front(), s.LButton());
    button(s.StripCells.back(), s.RButton());

    for (int c = 1; c <= tc; ++c) {
        const TRect& cell = s.StripCells[static_cast<size_t>(c)];
        p.setClipRegion(clip);
        p.fillRect(ToQ(cell),
                   ThumbColor(c == tc / 2 + 1 ? s.ThumbSelectedColor : s.ThumbFrameColor));
        const TRect inner = Inset(cell, 2, 2);
        const int k = m_stripFirstIndex + c - 1;
        if (k >= 0 && k < n) {
            TImageInfor& item = *m_items[static_cast<size_t>(k)];
            if (item.HasThumb.load() && !IsEmptyRect(inner)) {
                std::lock_guard<std::mutex> lock(item.Thumb.Lock());
                if (!item.Thumb.Image.isNull())
                    p.drawImage(ToQ(inner), item.Thumb.Image);
            }
        } else if (!IsEmptyRect(inner)) {
            p.fillRect(ToQ(inner), ThumbColor(s.BKColor));
        }
        clip -= ToQ(cell);
    }

    p.setClipRegion(clip);
    if (!IsEmptyRect(m_pictureRect))
        p.fillRect(ToQ(m_pictureRect), ThumbColor(s.PicBKColor));
    const QImage& picture = ItemIndex == -1 ? m_thumbOptions.DefaultBMP() : m_bigPicture;
    const int W = m_pictureInnerRect.Right - m_pictureInnerRect.Left;
    const int H = m_pictureInnerRect.Bottom - m_pictureInnerRect.Top;
    const QSize drawn = FitThumbSize(picture.width(), picture.height(), W, H);
    if (!drawn.isEmpty())
        p.drawImage(QRect(m_pictureInnerRect.Left + (W - drawn.width()) / 2,
                          m_pictureInnerRect.Top + (H - drawn.height()) / 2, drawn.width(),
                          drawn.height()),
                    picture);
    if (!IsEmptyRect(m_pictureRect))
        clip -= ToQ(m_pictureRect);

    p.setClipRegion(clip);
    p.fillRect(client, ThumbColor(s.BKColor));
}

void TPicThumb::paintEvent(QPaintEvent*)
{
    PaintBuffer();
    QPainter p(viewport());
    p.drawImage(0, 0, m_backBuffer);
}

void TPicThumb::resizeEvent(QResizeEvent* event)
{
    viewport()->update();
    QAbstractScrollArea::resizeEvent(event);
}

void TPicThumb::scrollContentsBy(int, int)
{
    viewport()->update();
}

// ---------------------------------------------------------------------------
// Mouse

void TPicThumb::ShowPicture(int32_t k)
{
    if (m_showMode != smPic)
        return;
    if (k < 0)
        k = 0;
    if (k >= Count())
        return;
    ItemIndex = k;
    if (OnDrawPic)
        OnDrawPic(this, m_fileList.at(k), m_bigPicture, m_pictureRect.Right - m_pictureRect.Left,
                  m_pictureRect.Bottom - m_pictureRect.Top);
    std::fill(m_selected.begin(), m_selected.end(), false);
    m_selected[static_cast<size_t>(k)] = true;
    viewport()->update();
}

void TPicThumb::LeftClick(int32_t X, int32_t Y, Qt::KeyboardModifiers keys, Qt::MouseButtons others)
{
    const int n = Count();
    if (n == 0)
        return;
    setFocus(Qt::MouseFocusReason);
    const int h = m_showMode == smThumb ? ThumbIndexAt(X, Y) : DetailIndexAt(X, Y);
    const bool shift = keys.testFlag(Qt::ShiftModifier);
    const bool ctrl = keys.testFlag(Qt::ControlModifier);
    const bool otherButton = others != Qt::NoButton;
    if (!shift && !ctrl && !otherButton) {
        if (h == -1)
            return;
        std::fill(m_selected.begin(), m_selected.end(), false);
        m_selected[static_cast<size_t>(h)] = true;
        m_anchorIndex = h;
        ItemIndex = h;
    } else if (shift && !otherButton) {
        if (h == -1 || m_anchorIndex < 0 || m_anchorIndex >= n)
            return;
        std::fill(m_selected.begin(), m_selected.end(), false);
        for (int i = std::min(h, m_anchorIndex); i <= std::max(h, m_anchorIndex); ++i)
            m_selected[static_cast<size_t>(i)] = true;
        ItemIndex = h;
    } else if (ctrl && !shift && !otherButton) {
        if (h == -1)
            return;
        const bool now = !m_selected[static_cast<size_t>(h)];
        m_selected[static_cast<size_t>(h)] = now;
        if (now)
            ItemIndex = h;
    } else {
        return;
    }
    viewport()->update();
}

void TPicThumb::RightClick(int32_t X, int32_t Y, Qt::KeyboardModifiers keys,
                           Qt::MouseButtons others)
{
    setFocus(Qt::MouseFocusReason);
    const bool noKeys = !keys.testFlag(Qt::ShiftModifier) && !keys.testFlag(Qt::ControlModifier) &&
                        others == Qt::NoButton;
    if (!noKeys || Count() == 0)
        return;
    const int h = ThumbIndexAt(X, Y);
    if (h == -1)
        return;
    std::fill(m_selected.begin(), m_selected.end(), false);
    m_selected[static_cast<size_t>(h)] = true;
    m_anchorIndex = h;
    viewport()->update();
}

void TPicThumb::PicModeClick(int32_t X, int32_t Y)
{
    const int j = StripCellAt(X, Y);
    const int tc = std::max(0, m_smalThumbOptions.ThumbCount());
    const int n = Count();
    if (j >= 1 && j <= tc) {
        const int k = m_stripFirstIndex + j - 1;
        if (k != ItemIndex && k >= 0 && k <= n - 1)
            ShowPicture(k);
    } else if (n == 0) {
        // The buttons step through existing items only: with none there is
        // nothing to make current.
        return;
    } else if (j == 0) {
        ItemIndex = std::max(0, ItemIndex - 1);
        ShowPicture(ItemIndex);
    } else if (j == tc + 1) {
        ItemIndex = std::min(n - 1, ItemIndex + 1);
        ShowPicture(ItemIndex);
    }
}

void TPicThumb::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TPicThumb::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (m_showMode == smPic)
            PicModeClick(pos.x(), pos.y());
        else
            LeftClick(pos.x(), pos.y(), event->modifiers(), event->buttons());
        if (rect().contains(pos))
            emit Click();
    } else if (event->button() == Qt::RightButton) {
        if (m_showMode == smThumb)
            RightClick(pos.x(), pos.y(), event->modifiers(), event->buttons());
        emit ContextPopup(pos);
    }
    event->accept();
}

void TPicThumb::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit DblClick();
    event->accept();
}

void TPicThumb::mouseMoveEvent(QMouseEvent* event)
{
    if (m_showMode == smPic) {
        const QPoint pos = event->position().toPoint();
        if (StripCellAt(pos.x(), pos.y()) != -1)
            viewport()->setCursor(Qt::PointingHandCursor);
        else
            viewport()->unsetCursor();
    }
    event->accept();
}

void TPicThumb::wheelEvent(QWheelEvent* event)
{
    // One line per message whatever the delta; Qt's own handling would
    // scroll three lines.
    event->accept();
    if (m_showMode == smPic)
        return;
    const int delta = event->angleDelta().y();
    if (delta < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else if (delta > 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void TPicThumb::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse's menu request comes with the right button's release.
    if (event->reason() != QContextMenuEvent::Mouse)
        emit ContextPopup(event->pos());
    event->accept();
}
