#pragma once

// The thumbnail browser: a scrolling control that shows a list of files as
// thumbnails and lets the user pick one. The host fills it with AddFile, has
// the thumbnails built through its OnCreateThumb callback (on the
// user-interface thread with BuildThumbs, on the browser's worker with
// StartThumbs) and reads the choice from ItemIndex and FileList().
//
// Three display modes: smThumb (a grid of cells), smPic (a strip of small
// cells above one large picture) and smDetail (a grid of wide cells with five
// lines of details), each with its own option set.
//
// Threads: everything runs on the user-interface thread except a worker run,
// which reads the item list and writes the thumbnails. The list never
// changes under a run: Clear, AddFile, RefreshThumb and a new run first wait
// until the running one has ended.

#include "MyGdiPlus.h"
#include "ThumbOptions.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TCreateThumbThread;
class TPicThumb;

// A thumbnail bitmap with its own lock. A callback holds the lock for as long
// as it draws into Image; the paint holds it while it reads Image.
class TThumbBitmap
{
public:
    std::mutex& Lock() { return m_lock; }
    QImage Image;

private:
    std::mutex m_lock;
};

// One item of the browser.
struct TImageInfor
{
    uint32_t Width = 0;
    uint32_t Height = 0;
    double DpiX = 0;
    double DpiY = 0;
    uint16_t BitDepth = 0;
    // The extension with its dot, at most 4 units, zero-terminated.
    char16_t Ext[5] = {};
    // The thumbnail; it counts only while HasThumb is set ("none" otherwise).
    TThumbBitmap Thumb;
    std::atomic<bool> HasThumb{false};
    // The name part of the path, at most 255 units, zero-terminated.
    char16_t FileName[256] = {};
    // Days since 1899-12-30.
    double FileDate = 0;
    uint32_t FileSize = 0;

    QString ExtText() const { return QString::fromUtf16(Ext); }
    QString FileNameText() const { return QString::fromUtf16(FileName); }
};
using PImageInfor = TImageInfor*;

// Asked to draw one item's thumbnail into AThumBmp (an empty bitmap the item
// owns). On a worker run it is called on the worker: it touches no window
// and holds AThumBmp.Lock() while it draws. It may raise; that ends the run.
using TCreateThumb =
    std::function<void(TPicThumb* Sender, const QString& AFileName, TThumbBitmap& AThumBmp,
                       int32_t AWidth, int32_t AHeight, PImageInfor ImageInfor)>;
// Progress of a run, on the run's thread: item count and index + 1.
using TGetthumbFun = std::function<void(TPicThumb* Sender, int32_t AMaxPic, int32_t ANowPic)>;
// smPic: asked to draw an item's large picture into ABmp.
using TDrawBmp = std::function<void(TPicThumb* Sender, const QString& Afilename, QImage& ABmp,
                                    int32_t AWidth, int32_t AHeight)>;

enum TShowMode : uint8_t
{
    smThumb,
    smPic,
    smDetail,
};

// The size of a picture of Width x Height fitted into AWidth x AHeight: its
// own size when it is smaller both ways, else scaled by the smaller of the
// two ratios (the width's when equal), truncated in extended precision.
QSize FitThumbSize(int32_t Width, int32_t Height, int32_t AWidth, int32_t AHeight);

class TPicThumb : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // Run states.
    enum : uint8_t
    {
        StateBuilding = 0,
        StateIdle = 1,
        StateStopRequested = 2,
    };

    explicit TPicThumb(QWidget* parent = nullptr);
    // A running worker is asked to stop and joined first; it then touches the
    // browser no more.
    ~TPicThumb() override;

    // --- the list
    // Appends an existing file (nothing for a missing file or a folder).
    void AddFile(const QString& FileName);
    // Waits until no run is active, then frees every item; ItemIndex -1.
    void Clear();
    // Stores Index without any check.
    void SetItemIndex(int32_t Index) { ItemIndex = Index; }
    int Count() const { return static_cast<int>(m_items.size()); }
    // The full path of each item, in the order added.
    const QStringList& FileList() const { return m_fileList; }
    PImageInfor Item(int index) const { return m_items.at(static_cast<size_t>(index)).get(); }
    bool IsSelected(int index) const { return m_selected.at(static_cast<size_t>(index)); }
    int32_t AnchorIndex() const { return m_anchorIndex; }

    // The current item; -1 none.
    int32_t ItemIndex = -1;

    // --- thumbnails
    // One run on the calling thread (after any active run has ended).
    void BuildThumbs();
    // Marks the browser building and starts a worker run; returns at once.
    void StartThumbs();
    // Building becomes stop requested; otherwise nothing. Does not wait.
    void StopThumbs();
    // Rebuilds one item's thumbnail on the calling thread. An index outside
    // the list raises std::out_of_range.
    void RefreshThumb(int32_t Index);
    uint8_t State() const { return m_state.load(); }

    TCreateThumb OnCreateThumb;
    TGetthumbFun OnProcessPic;
    TDrawBmp OnDrawPic;
    // Called on the run's thread with the item index whenever a run asks
    // for one cell's repaint; a browser being destroyed asks for none.
    std::function<void(int32_t Index)> OnCellRepaintRequest;

    // --- display
    TShowMode ShowMode() const { return m_showMode; }
    // Stores the mode (smPic also empties the scroll range); no repaint.
    void SetShowMode(TShowMode mode);
    const QString& NullText() const { return m_nullText; }
    void SetNullText(const QString& text) { m_nullText = text; }

    TThumbOptions& ThumbOptions() { return m_thumbOptions; }
    TSmalThumbOptions& SmalThumbOptions() { return m_smalThumbOptions; }
    TDetailOptions& DetailOptions() { return m_detailOptions; }
    void SetThumbOptions(const TThumbOptions& o) { m_thumbOptions.Assign(o); }
    void SetSmalThumbOptions(const TSmalThumbOptions& o) { m_smalThumbOptions.Assign(o); }
    void SetDetailOptions(const TDetailOptions& o) { m_detailOptions.Assign(o); }

    // --- layout (as of the last layout)
    void CalcLayout();
    void CalcDetailLayout();
    void CalcStripLayout();
    int32_t CellWidth() const { return m_cellWidth; }
    int32_t CellHeight() const { return m_cellHeight; }
    int32_t Columns() const { return m_columns; }
    int32_t FirstRow() const { return m_firstRow; }
    int32_t VisibleRows() const { return m_visibleRows; }
    // The height of the content the scroll bar ranges over.
    int32_t VertRange() const { return m_vertRange; }
    int32_t ScrollPosition() const;
    void SetScrollPosition(int32_t position);
    // The hit-test cell of an item (empty outside the visible rows).
    TRect CellRect(int32_t index) const;
    TRect DetailCellRect(int32_t index) const;
    int32_t ThumbIndexAt(int32_t X, int32_t Y);
    int32_t DetailIndexAt(int32_t X, int32_t Y) const;
    int32_t StripCellAt(int32_t X, int32_t Y) const;
    int32_t StripFirstIndex() const { return m_stripFirstIndex; }
    const TRect& PictureRect() const { return m_pictureRect; }
    const TRect& StripRect() const { return m_stripRect; }
    const TRect& PictureInnerRect() const { return m_pictureInnerRect; }

    // smPic: makes item k current and asks OnDrawPic for its large picture.
    void ShowPicture(int32_t k);

    // Paints the current mode into BackBuffer.
    void PaintBuffer();
    const QImage& BackBuffer() const { return m_backBuffer; }
    const QImage& BigPicture() const { return m_bigPicture; }
    QImage& BigPicture() { return m_bigPicture; }

signals:
    void Click();
    void DblClick();
    // Right-button release or the keyboard's menu key, at a viewport point.
    void ContextPopup(const QPoint& pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TCreateThumbThread;

    // The run itself, on whichever thread; the state is building on entry.
    void RunThumbs();
    // Asks the user-interface thread to repaint the whole browser.
    void RequestRepaintAll();
    // Asks for the repaint of item i's cell: at once on the user-interface
    // thread, else queued (only the index) for it.
    void RequestCellRepaint(int32_t index);
    // On the user-interface thread, while a worker runs: carries out the
    // queued repaint requests; stops itself once the worker has ended.
    void FlushRepaints();
    void InvalidateItem(int32_t index);
    // Waits (10 ms sleeps, pending non-input events processed) until idle,
    // then joins the finished worker.
    void WaitForRun();
    // Creates the item's empty thumbnail and calls the callback.
    void MakeThumb(int32_t index);

    void ApplyScrollRange(int32_t range);
    void PaintGrid(bool details);
    void PaintPicMode();
    void LeftClick(int32_t X, int32_t Y, Qt::KeyboardModifiers keys, Qt::MouseButtons others);
    void RightClick(int32_t X, int32_t Y, Qt::KeyboardModifiers keys, Qt::MouseButtons others);
    void PicModeClick(int32_t X, int32_t Y);

    std::atomic<uint8_t> m_state{StateIdle};
    std::atomic<bool> m_destroying{false};
    std::unique_ptr<TCreateThumbThread> m_worker;
    const std::thread::id m_uiThread = std::this_thread::get_id();
    // Repaint requests of the worker, taken by the user-interface thread's
    // timer (Qt's own event posting is invisible to thread checkers).
    std::mutex m_repaintLock;
    std::vector<int32_t> m_repaintCells;
    bool m_repaintAll = false;
    QTimer m_repaintTimer;

    std::vector<std::unique_ptr<TImageInfor>> m_items;
    QStringList m_fileList;
    std::vector<bool> m_selected;
    int32_t m_anchorIndex = -1;

    QImage m_backBuffer;
    QImage m_bigPicture;
    TShowMode m_showMode = smThumb;
    QString m_nullText;
    TThumbOptions m_thumbOptions;
    TSmalThumbOptions m_smalThumbOptions;
    TDetailOptions m_detailOptions;

    int32_t m_cellWidth = 0;
    int32_t m_cellHeight = 0;
    int32_t m_columns = 1;
    int32_t m_firstRow = 0;
    int32_t m_visibleRows = 0;
    int32_t m_vertRange = 0;
    TRect m_pictureRect;
    TRect m_stripRect;
    TRect m_pictureInnerRect;
    int32_t m_stripFirstIndex = 0;
};
