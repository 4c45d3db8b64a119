// The thumbnail browser: grid layout and scroll range, hit areas, wheel
// steps, single, range, toggle and right-click selection, painting of
// selected, unselected and disabled browsers, the list itself, and the
// strip mode's buttons and cells.

#include "PicThumb.h"

#include "TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A browser with the values every window of the program gives it: cells
// 100 x 100 with spaces 3, margins 5, a 90 x 90 picture rectangle at (4, 4),
// white cells framed in silver, yellow selection, no names.
class PicThumbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        browser = std::make_unique<TPicThumb>();
        TThumbOptions& o = browser->ThumbOptions();
        o.ButtonWidth = 100;
        o.ButtonHeight = 100;
        o.InnerXSpace = 3;
        o.InnerYSPace = 3;
        o.PicRectLeft = 4;
        o.PicRectTop = 4;
        o.PicRectWidth = 90;
        o.PicRectHeight = 90;
        o.ButtonColor = clWhite;
        o.BKColor = clWhite;
        o.OutFrameStyle = TBevelCut::bvSpace;
        o.OutFrameColor = clSilver;
        o.InnerFrameStyle = TBevelCut::bvNone;
        o.SelectColor = clYellow;
        o.ShowImageName = false;
        // Three columns: Trunc((340 - 5 - 5 - 10) / 103) = 3.
        browser->resize(340, 300);
        browser->show();
    }

    void AddItems(int count)
    {
        for (int i = 0; i < count; ++i)
            browser->AddFile(dir.write(QStringLiteral("f%1.okx").arg(i), "x"));
        ASSERT_EQ(browser->Count(), count);
    }

    // Centre of item i's cell while the view is not scrolled (3 columns).
    static QPoint CellCentre(int i) { return QPoint(56 + (i % 3) * 103, 56 + (i / 3) * 103); }

    void Click(int i, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, keys, CellCentre(i));
    }

    std::vector<int> SelectedItems() const
    {
        std::vector<int> result;
        for (int i = 0; i < browser->Count(); ++i)
            if (browser->IsSelected(i))
                result.push_back(i);
        return result;
    }

    void Wheel(int delta)
    {
        const QPointF at(50, 50);
        QWheelEvent event(at, browser->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(browser->viewport(), &event);
    }

    TTempDir dir;
    std::unique_ptr<TPicThumb> browser;
};

} // namespace

// ---------------------------------------------------------------------------
// Creation and the list

TEST_F(PicThumbTest, StartsIdleEmptyAndInThumbMode)
{
    TPicThumb fresh;
    EXPECT_EQ(fresh.State(), TPicThumb::StateIdle);
    EXPECT_EQ(fresh.ItemIndex, -1);
    EXPECT_EQ(fresh.AnchorIndex(), -1);
    EXPECT_EQ(fresh.ShowMode(), smThumb);
    EXPECT_EQ(fresh.size(), QSize(400, 300));
    EXPECT_EQ(fresh.Count(), 0);
    EXPECT_TRUE(fresh.NullText().isEmpty());
    EXPECT_TRUE(fresh.verticalScrollBar()->hasTracking());
    // Defaults: 128 + 3 pitch, Trunc((400 - 20) / 131) = 2 columns.
    EXPECT_EQ(fresh.CellWidth(), 131);
    EXPECT_EQ(fresh.CellHeight(), 131);
    EXPECT_EQ(fresh.Columns(), 2);
}

TEST_F(PicThumbTest, AddFileTakesExistingFilesWithNameAndShortExtension)
{
    const QString photo = dir.write(QStringLiteral("Summer.jpeg2"), "x");
    const QString plain = dir.write(QStringLiteral("README"), "x");
    const QString longName =
        dir.write(QString(251, QLatin1Char('n')) + QStringLiteral(".png"), "x");
    browser->AddFile(photo);
    browser->AddFile(dir.file(QStringLiteral("missing.png")));
    browser->AddFile(dir.path()); // a folder
    browser->AddFile(plain);
    browser->AddFile(longName);
    ASSERT_EQ(browser->Count(), 3);
    EXPECT_EQ(browser->FileList(), QStringList({photo, plain, longName}));

    const PImageInfor first = browser->Item(0);
    EXPECT_EQ(first->FileNameText(), QStringLiteral("Summer.jpeg2"));
    EXPECT_EQ(first->ExtText(), QStringLiteral(".jpe")); // cut to 4 units
    EXPECT_EQ(first->Ext[4], u'\0');
    EXPECT_EQ(first->Width, 0u);
    EXPECT_EQ(first->Height, 0u);
    EXPECT_EQ(first->BitDepth, 0u);
    EXPECT_EQ(first->FileSize, 0u);
    EXPECT_EQ(first->FileDate, 0.0);
    EXPECT_FALSE(first->HasThumb.load());
    EXPECT_TRUE(browser->Item(1)->ExtText().isEmpty());
    EXPECT_EQ(browser->Item(2)->FileNameText().size(), 255);
    EXPECT_EQ(browser->Item(2)->FileName[255], u'\0');
    EXPECT_FALSE(browser->IsSelected(0));
    EXPECT_EQ(browser->ItemIndex, -1);
}

TEST_F(PicThumbTest, ClearEmptiesTheListButKeepsAnchorAndScrollPosition)
{
    AddItems(7);
    browser->resize(340, 150);
    browser->PaintBuffer();
    Click(4);
    browser->SetScrollPosition(60);
    browser->Clear();
    EXPECT_EQ(browser->Count(), 0);
    EXPECT_TRUE(browser->FileList().isEmpty());
    EXPECT_EQ(browser->ItemIndex, -1);
    EXPECT_EQ(browser->AnchorIndex(), 4);
    EXPECT_EQ(browser->ScrollPosition(), 60);
    browser->SetItemIndex(42); // stored without any check
    EXPECT_EQ(browser->ItemIndex, 42);
}

// ---------------------------------------------------------------------------
// Layout, scroll range and wheel

TEST_F(PicThumbTest, SevenItemsInThreeColumnsGiveTheRange319)
{
    AddItems(7);
    browser->CalcLayout();
    EXPECT_EQ(browser->CellWidth(), 103);
    EXPECT_EQ(browser->CellHeight(), 103);
    EXPECT_EQ(browser->Columns(), 3);
    EXPECT_EQ(browser->VertRange(), 319); // 3 rows x 103 + 5 + 5
    EXPECT_EQ(browser->VisibleRows(), 3); // Trunc(300 / 103) + 1
    const QScrollBar* bar = browser->verticalScrollBar();
    const int page = browser->viewport()->height();
    EXPECT_EQ(bar->pageStep(), page);
    EXPECT_EQ(bar->maximum(), std::max(0, 319 - page));
    EXPECT_EQ(bar->singleStep(), 103);

    browser->AddFile(dir.write(QStringLiteral("g.okx"), "x"));
    browser->AddFile(dir.write(QStringLiteral("h.okx"), "x"));
    browser->CalcLayout();
    EXPECT_EQ(browser->VertRange(), 319); // 9 items still fill 3 rows
    browser->AddFile(dir.write(QStringLiteral("i.okx"), "x"));
    browser->CalcLayout();
    EXPECT_EQ(browser->VertRange(), 422);
}

TEST_F(PicThumbTest, NarrowBrowserHasOneColumn)
{
    AddItems(3);
    browser->resize(122, 300); // below 5 + 5 + 10 + 103
    browser->CalcLayout();
    EXPECT_EQ(browser->Columns(), 1);
    EXPECT_EQ(browser->VertRange(), 3 * 103 + 10);
    browser->resize(30, 300);
    browser->CalcLayout();
    EXPECT_EQ(browser->Columns(), 1);
}

TEST_F(PicThumbTest, EmptyListHasOnlyTheMargins)
{
    browser->CalcLayout();
    EXPECT_EQ(browser->VertRange(), 10);
    EXPECT_EQ(browser->verticalScrollBar()->maximum(), 0);
}

TEST_F(PicThumbTest, WheelScrollsOneLinePerMessage)
{
    AddItems(7);
    browser->resize(340, 150);
    browser->PaintBuffer();
    const int last = 319 - browser->viewport()->height();
    ASSERT_GT(last, 103);
    Wheel(-120);
    EXPECT_EQ(browser->ScrollPosition(), 103);
    Wheel(0); // Qt sends zero-delta events: nothing
    EXPECT_EQ(browser->ScrollPosition(), 103);
    Wheel(-1);
    EXPECT_EQ(browser->ScrollPosition(), std::min(206, last));
    Wheel(240);
    EXPECT_EQ(browser->ScrollPosition(), std::min(206, last) - 103);
    Wheel(1);
    Wheel(1);
    EXPECT_EQ(browser->ScrollPosition(), 0);
}

TEST_F(PicThumbTest, StripModeIgnoresTheWheelAndEmptiesTheRange)
{
    AddItems(7);
    browser->resize(340, 150);
    browser->PaintBuffer();
    browser->SetShowMode(smPic);
    EXPECT_EQ(browser->verticalScrollBar()->maximum(), 0);
    Wheel(-120);
    EXPECT_EQ(browser->ScrollPosition(), 0);
}

// ---------------------------------------------------------------------------
// Hit areas

TEST_F(PicThumbTest, HitAreaIsTheCellInsideItsEdges)
{
    AddItems(7);
    // Item 0's hit-test cell is (8, 8) - (105, 105); its edges do not count.
    EXPECT_EQ(browser->ThumbIndexAt(9, 9), 0);
    EXPECT_EQ(browser->ThumbIndexAt(104, 104), 0);
    EXPECT_EQ(browser->ThumbIndexAt(8, 50), -1);
    EXPECT_EQ(browser->ThumbIndexAt(50, 8), -1);
    // The painted cell reaches x = 105; that column is not part of the hit.
    EXPECT_EQ(browser->ThumbIndexAt(105, 50), -1);
    EXPECT_EQ(browser->ThumbIndexAt(50, 105), -1);
    EXPECT_EQ(browser->ThumbIndexAt(112, 50), 1);
    EXPECT_EQ(browser->ThumbIndexAt(CellCentre(5).x(), CellCentre(5).y()), 5);
    EXPECT_EQ(browser->ThumbIndexAt(CellCentre(6).x(), CellCentre(6).y()), 6);
    // The empty part of the last row.
    EXPECT_EQ(browser->ThumbIndexAt(CellCentre(7).x(), CellCentre(7).y()), -1);
    // Outside LeftSpace < X < Width - LeftSpace - 10.
    EXPECT_EQ(browser->ThumbIndexAt(5, 50), -1);
    EXPECT_EQ(browser->ThumbIndexAt(325, 50), -1);
}

TEST_F(PicThumbTest, CellRectIsTheHitCellAndEmptyOutsideTheVisibleRows)
{
    AddItems(7);
    browser->resize(340, 100);
    browser->CalcLayout();
    EXPECT_EQ(browser->CellRect(0), (TRect{8, 8, 105, 105}));
    EXPECT_EQ(browser->CellRect(2), (TRect{214, 8, 311, 105}));
    // Visible rows: Trunc(100 / 103) + 1 = 1; indexes above 3 lie outside.
    EXPECT_EQ(browser->CellRect(3), (TRect{8, 111, 105, 208}));
    EXPECT_EQ(browser->CellRect(4), TRect{});
}

TEST_F(PicThumbTest, HitTestFollowsTheScrollPosition)
{
    AddItems(7);
    browser->resize(340, 150);
    browser->PaintBuffer();
    browser->SetScrollPosition(103);
    EXPECT_EQ(browser->ThumbIndexAt(56, 56), 3);
    EXPECT_EQ(browser->FirstRow(), 1);
    browser->SetScrollPosition(50);
    EXPECT_EQ(browser->ThumbIndexAt(56, 6), 0);   // y 56 in the content
    EXPECT_EQ(browser->ThumbIndexAt(56, 60), -1); // y 110: between the rows
    EXPECT_EQ(browser->ThumbIndexAt(56, 70), 3);  // y 120
}

// ---------------------------------------------------------------------------
// Selection by mouse

TEST_F(PicThumbTest, PlainClickSelectsOneItemAndMakesItCurrent)
{
    AddItems(7);
    Click(4);
    EXPECT_EQ(SelectedItems(), std::vector<int>({4}));
    EXPECT_EQ(browser->ItemIndex, 4);
    EXPECT_EQ(browser->AnchorIndex(), 4);
    EXPECT_EQ(browser->focusWidget(), browser.get()); // the click took the focus
    Click(1);
    EXPECT_EQ(SelectedItems(), std::vector<int>({1}));
    EXPECT_EQ(browser->ItemIndex, 1);
    // The empty part of the last row changes nothing.
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(8));
    EXPECT_EQ(SelectedItems(), std::vector<int>({1}));
    EXPECT_EQ(browser->ItemIndex, 1);
}

TEST_F(PicThumbTest, ShiftClickSelectsTheRangeFromTheAnchor)
{
    AddItems(7);
    Click(5, Qt::ShiftModifier); // no anchor yet
    EXPECT_TRUE(SelectedItems().empty());
    EXPECT_EQ(browser->ItemIndex, -1);

    Click(2);
    Click(5, Qt::ShiftModifier);
    EXPECT_EQ(SelectedItems(), std::vector<int>({2, 3, 4, 5}));
    EXPECT_EQ(browser->ItemIndex, 5);
    EXPECT_EQ(browser->AnchorIndex(), 2);
    Click(0, Qt::ShiftModifier);
    EXPECT_EQ(SelectedItems(), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(browser->ItemIndex, 0);
    // Shift with Ctrl counts as Shift.
    Click(3, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(SelectedItems(), std::vector<int>({2, 3}));
    EXPECT_EQ(browser->ItemIndex, 3);
}

TEST_F(PicThumbTest, ShiftClickWithAnAnchorBeyondTheListDoesNothing)
{
    AddItems(7);
    Click(6);
    browser->Clear(); // keeps the anchor 6
    AddItems(3);
    Click(1, Qt::ShiftModifier);
    EXPECT_TRUE(SelectedItems().empty());
    EXPECT_EQ(browser->ItemIndex, -1);
}

TEST_F(PicThumbTest, CtrlClickTogglesAndKeepsTheCurrentItemOnDeselect)
{
    AddItems(7);
    Click(3);
    Click(3, Qt::ControlModifier);
    EXPECT_TRUE(SelectedItems().empty());
    EXPECT_EQ(browser->ItemIndex, 3);
    Click(5, Qt::ControlModifier);
    Click(1, Qt::ControlModifier);
    EXPECT_EQ(SelectedItems(), std::vector<int>({1, 5}));
    EXPECT_EQ(browser->ItemIndex, 1);
    EXPECT_EQ(browser->AnchorIndex(), 3); // Ctrl leaves the anchor
    Click(5, Qt::ControlModifier);
    EXPECT_EQ(SelectedItems(), std::vector<int>({1}));
    EXPECT_EQ(browser->ItemIndex, 1);
}

TEST_F(PicThumbTest, ClickWithAnotherButtonHeldChangesNothing)
{
    AddItems(7);
    Click(2);
    QMouseEvent release(QEvent::MouseButtonRelease, CellCentre(4),
                        browser->viewport()->mapToGlobal(CellCentre(4)), Qt::LeftButton,
                        Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(browser->viewport(), &release);
    EXPECT_EQ(SelectedItems(), std::vector<int>({2}));
    EXPECT_EQ(browser->ItemIndex, 2);
    // Alt is no key flag of a click: it counts as a plain click.
    Click(4, Qt::AltModifier);
    EXPECT_EQ(SelectedItems(), std::vector<int>({4}));
}

TEST_F(PicThumbTest, RightClickMovesTheSelectionButNotTheCurrentItem)
{
    AddItems(7);
    Click(2);
    int popups = 0;
    QObject::connect(browser.get(), &TPicThumb::ContextPopup, [&](const QPoint&) { ++popups; });
    QTest::mouseClick(browser->viewport(), Qt::RightButton, Qt::NoModifier, CellCentre(6));
    EXPECT_EQ(SelectedItems(), std::vector<int>({6}));
    EXPECT_EQ(browser->AnchorIndex(), 6);
    EXPECT_EQ(browser->ItemIndex, 2);
    EXPECT_EQ(popups, 1);
    // With a key held, or on no item, nothing moves.
    QTest::mouseClick(browser->viewport(), Qt::RightButton, Qt::ShiftModifier, CellCentre(0));
    QTest::mouseClick(browser->viewport(), Qt::RightButton, Qt::NoModifier, CellCentre(8));
    EXPECT_EQ(SelectedItems(), std::vector<int>({6}));
}

TEST_F(PicThumbTest, ClicksOnAnEmptyBrowserChangeNothing)
{
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(56, 56));
    EXPECT_EQ(browser->ItemIndex, -1);
    EXPECT_EQ(browser->AnchorIndex(), -1);
    EXPECT_EQ(browser->focusWidget(), nullptr); // the focus stays where it was
}

TEST_F(PicThumbTest, ClickAndDoubleClickReachTheHost)
{
    AddItems(3);
    int clicks = 0;
    int doubleClicks = 0;
    int currentAtDouble = -2;
    QObject::connect(browser.get(), &TPicThumb::Click, [&] { ++clicks; });
    QObject::connect(browser.get(), &TPicThumb::DblClick, [&] {
        ++doubleClicks;
        currentAtDouble = browser->ItemIndex;
    });
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(2));
    QTest::mouseDClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(2));
    EXPECT_GE(clicks, 1);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(currentAtDouble, 2);
}

// ---------------------------------------------------------------------------
// Painting

TEST_F(PicThumbTest, SelectedCellIsYellowAndUnselectedWhiteWithASilverFrame)
{
    AddItems(7);
    Click(1);
    const QImage shown = browser->viewport()->grab().toImage();
    // Item 1's painted cell is (112, 8) - (209, 105).
    EXPECT_EQ(PixelAt(shown, 160, 60) & 0xFFFFFF, 0xFFFF00u);  // (255, 255, 0)
    EXPECT_EQ(PixelAt(shown, 113, 9) & 0xFFFFFF, 0xC0C0C0u);   // frame at (L + 1, T + 1)
    EXPECT_EQ(PixelAt(shown, 208, 104) & 0xFFFFFF, 0xC0C0C0u); // and (R - 1, B - 1)
    EXPECT_EQ(PixelAt(shown, 112, 8) & 0xFFFFFF, 0xFFFF00u);   // the fill under the frame
    EXPECT_EQ(PixelAt(shown, 60, 60) & 0xFFFFFF, 0xFFFFFFu);   // item 0, unselected
    EXPECT_EQ(PixelAt(shown, 10, 9) & 0xFFFFFF, 0xC0C0C0u);
    EXPECT_EQ(PixelAt(shown, 3, 3) & 0xFFFFFF, 0xFFFFFFu); // background
}

TEST_F(PicThumbTest, ThumbnailIsDrawnUnscaledAndCentredInThePictureRectangle)
{
    AddItems(2);
    browser->OnCreateThumb = [](TPicThumb*, const QString& name, TThumbBitmap& bmp, int32_t,
                                int32_t, PImageInfor) {
        std::lock_guard<std::mutex> lock(bmp.Lock());
        // Item 0 small, item 1 larger than the 90 x 90 rectangle.
        bmp.Image = name.endsWith(QStringLiteral("f0.okx")) ? MakeSolid(30, 20, Qt::red)
                                                            : MakeSolid(101, 96, Qt::blue);
    };
    browser->BuildThumbs();
    browser->PaintBuffer();
    const QImage& shown = browser->BackBuffer();
    // Item 0: picture rectangle (13, 12), 90 x 90; the 30 x 20 picture at
    // (13 + 30, 12 + 35).
    EXPECT_EQ(PixelAt(shown, 43, 47) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelAt(shown, 72, 66) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelAt(shown, 42, 47) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shown, 73, 66) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shown, 43, 46) & 0xFFFFFF, 0xFFFFFFu);
    // Item 1: picture rectangle (116, 12); 101 x 96 overhangs evenly, left
    // at 116 + Trunc(-11 / 2) = 111, top at 12 - 3 = 9, yet only inside
    // its own cell (112, 8) - (209, 105): the background fill covers the rest.
    EXPECT_EQ(PixelAt(shown, 112, 9) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(PixelAt(shown, 208, 104) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(PixelAt(shown, 111, 50) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shown, 210, 50) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PicThumbTest, ItemsWithoutThumbnailShowTheDefaultPicture)
{
    AddItems(2);
    browser->ThumbOptions().SetDefaultBMP(MakeSolid(10, 10, Qt::green));
    browser->PaintBuffer();
    const QImage& shown = browser->BackBuffer();
    // (13 + 40, 12 + 40) in both cells.
    EXPECT_EQ(PixelAt(shown, 53, 52) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(PixelAt(shown, 156, 61) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(PixelAt(shown, 52, 52) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PicThumbTest, DisabledBrowserIsAPlainButtonFaceArea)
{
    AddItems(7);
    Click(0);
    browser->setEnabled(false);
    browser->PaintBuffer();
    const QImage& shown = browser->BackBuffer();
    const QRgb face = ThumbColor(clBtnFace).rgb();
    for (const QPoint& p : {QPoint(50, 50), QPoint(10, 9), QPoint(160, 160), QPoint(3, 3)})
        EXPECT_EQ(PixelAt(shown, p.x(), p.y()), face) << p.x() << "," << p.y();
}

TEST_F(PicThumbTest, EmptyBrowserPaintsTheBackgroundOnly)
{
    browser->ThumbOptions().BKColor = 0x00FF00; // colour reference: green
    browser->PaintBuffer();
    const QImage& shown = browser->BackBuffer();
    EXPECT_EQ(shown.size(), browser->size());
    EXPECT_TRUE(
        SamePixels(shown, MakeSolid(shown.width(), shown.height(), Qt::green, shown.format())));
}

TEST_F(PicThumbTest, NamesAreDrawnInTheInverseColourOnSelectedCells)
{
    AddItems(1);
    TThumbOptions& o = browser->ThumbOptions();
    o.ShowImageName = true;
    o.TextLeft = 0;
    o.TextTop = 80;
    o.TextWidth = 97;
    o.TextHeight = 17;
    o.SelectColor = 0x000080; // red as a colour reference; its inverse is cyan
    Click(0);
    browser->PaintBuffer();
    const QImage& shown = browser->BackBuffer();
    bool foundCyan = false;
    for (int y = 88; y < 105 && !foundCyan; ++y)
        for (int x = 9; x < 105 && !foundCyan; ++x)
            foundCyan = (PixelAt(shown, x, y) & 0xFFFFFF) == 0x7FFFFFu;
    EXPECT_TRUE(foundCyan);
}

TEST_F(PicThumbTest, DetailModeShowsNullTextOnAnEmptyList)
{
    browser->SetShowMode(smDetail);
    browser->SetNullText(QStringLiteral("No frames"));
    browser->PaintBuffer();
    const QImage& shown = browser->BackBuffer();
    bool foundText = false;
    for (int y = 150; y < 200 && !foundText; ++y)
        for (int x = 0; x < shown.width() && !foundText; ++x)
            foundText = (PixelAt(shown, x, y) & 0xFFFFFF) != 0xFFFFFFu;
    EXPECT_TRUE(foundText);
    bool upperHalfBlank = true;
    for (int y = 0; y < 150 && upperHalfBlank; ++y)
        for (int x = 0; x < shown.width() && upperHalfBlank; ++x)
            upperHalfBlank = (PixelAt(shown, x, y) & 0xFFFFFF) == 0xFFFFFFu;
    EXPECT_TRUE(upperHalfBlank);
}

TEST_F(PicThumbTest, DetailSeparatorStopsBeforeItsEndPoint)
{
    AddItems(1);
    browser->resize(600, 300);
    TDetailOptions& d = browser->DetailOptions();
    d.ButtonColor = clWhite;
    d.OutFrameStyle = TBevelCut::bvNone;
    d.InnerFrameStyle = TBevelCut::bvSpace;
    d.InnerFrameColor = 0x0000FF; // red as a colour reference
    browser->SetShowMode(smDetail);
    browser->PaintBuffer();
    // Text rectangle of the first cell: left 9 + 140, right 149 + 130, top
    // 8 + 10; the separator runs at y 18 + 15 from 150 up to 278, excluded.
    const QImage& shown = browser->BackBuffer();
    EXPECT_EQ(PixelAt(shown, 149, 33) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shown, 150, 33) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelAt(shown, 277, 33) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelAt(shown, 278, 33) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PicThumbTest, DetailCellsAreHitAndKeptWhenDisabled)
{
    AddItems(3);
    browser->resize(600, 300);
    TDetailOptions& d = browser->DetailOptions();
    d.ButtonColor = clWhite;
    d.BKColor = 0x00FF00;
    d.SelectColor = clYellow;
    browser->SetShowMode(smDetail);
    browser->PaintBuffer();
    // Pitch 283 x 123: Trunc((600 - 20) / 283) = 2 columns.
    EXPECT_EQ(browser->Columns(), 2);
    EXPECT_EQ(browser->VertRange(), 2 * 123 + 10);
    EXPECT_EQ(browser->DetailCellRect(1), (TRect{291, 8, 568, 125}));
    EXPECT_EQ(browser->DetailIndexAt(292, 9), 1);
    EXPECT_EQ(browser->DetailIndexAt(291, 9), -1);
    EXPECT_EQ(browser->DetailIndexAt(100, 140), 2);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 60));
    EXPECT_EQ(browser->ItemIndex, 1);
    EXPECT_EQ(SelectedItems(), std::vector<int>({1}));
    // A right click selects nothing outside the thumbnail mode.
    QTest::mouseClick(browser->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(100, 60));
    EXPECT_EQ(SelectedItems(), std::vector<int>({1}));

    browser->setEnabled(false);
    browser->PaintBuffer();
    const QImage& shown = browser->BackBuffer();
    EXPECT_EQ(PixelAt(shown, 297, 12) & 0xFFFFFF, 0xFFFF00u); // selected, still drawn
    EXPECT_EQ(PixelAt(shown, 12, 12) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shown, 3, 3) & 0xFFFFFF, 0x00FF00u); // the set's background
}

TEST_F(PicThumbTest, ShowModeChangesTheLookOnlyAtTheNextPaint)
{
    AddItems(3);
    browser->PaintBuffer();
    const QImage before = browser->BackBuffer();
    browser->SetShowMode(smPic);
    EXPECT_TRUE(SamePixels(browser->BackBuffer(), before));
    browser->PaintBuffer();
    EXPECT_FALSE(SamePixels(browser->BackBuffer(), before));
}

// ---------------------------------------------------------------------------
// The strip mode

TEST_F(PicThumbTest, StripButtonsStepThroughTheItemsAndAskForTheBigPicture)
{
    AddItems(4);
    browser->SetShowMode(smPic);
    std::vector<int> drawn;
    browser->OnDrawPic = [&](TPicThumb*, const QString& name, QImage&, int32_t, int32_t) {
        drawn.push_back(browser->FileList().indexOf(name));
    };
    browser->PaintBuffer();
    const TSmalThumbOptions& s = browser->SmalThumbOptions();
    ASSERT_EQ(s.StripCells.size(), 11u);
    const TRect left = s.StripCells.front();
    const TRect right = s.StripCells.back();
    // Strip of 11 x 35 = 385 centred in 340: left Trunc(-45 / 2) = -22.
    EXPECT_EQ(left, (TRect{-22, 5, 10, 37}));
    const QPoint leftButton(5, 20);
    const QPoint rightButton(right.Left + 5, 20);
    ASSERT_LT(rightButton.x(), browser->width());

    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, rightButton);
    EXPECT_EQ(browser->ItemIndex, 0); // -1 + 1
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, leftButton);
    EXPECT_EQ(browser->ItemIndex, 0); // kept at 0 and drawn again
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, rightButton);
    EXPECT_EQ(browser->ItemIndex, 3);
    EXPECT_EQ(drawn, std::vector<int>({0, 0, 1, 2, 3, 3, 3}));
    EXPECT_EQ(SelectedItems(), std::vector<int>({3}));
}

TEST_F(PicThumbTest, StripCellClickMakesItsItemCurrent)
{
    AddItems(4);
    browser->SetShowMode(smPic);
    browser->SetItemIndex(0);
    browser->PaintBuffer();
    // The middle cell (5) shows item 0; cell 7 item 2.
    EXPECT_EQ(browser->StripFirstIndex(), -4);
    const TRect cell = browser->SmalThumbOptions().StripCells[7];
    EXPECT_EQ(browser->StripCellAt(cell.Left, cell.Top), 7);
    EXPECT_EQ(browser->StripCellAt(cell.Right, cell.Bottom), 7);
    EXPECT_EQ(browser->StripCellAt(cell.Right + 1, cell.Top), -1); // the gap
    EXPECT_EQ(browser->StripCellAt(cell.Left, cell.Bottom + 1), -1);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(cell.Left + 3, cell.Top + 3));
    EXPECT_EQ(browser->ItemIndex, 2);
    // A cell without an item changes nothing.
    browser->PaintBuffer();
    const TRect empty = browser->SmalThumbOptions().StripCells[9];
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(empty.Left + 3, empty.Top + 3));
    EXPECT_EQ(browser->ItemIndex, 2);
}

TEST_F(PicThumbTest, StripButtonsOnAnEmptyListLeaveNoCurrentItem)
{
    browser->SetShowMode(smPic);
    int drawCalls = 0;
    browser->OnDrawPic = [&](TPicThumb*, const QString&, QImage&, int32_t, int32_t) {
        ++drawCalls;
    };
    browser->PaintBuffer();
    const TRect right = browser->SmalThumbOptions().StripCells.back();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 20));
    EXPECT_EQ(browser->ItemIndex, -1); // never 0 with no item 0
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(right.Left + 5, 20));
    EXPECT_EQ(browser->ItemIndex, -1);
    EXPECT_EQ(drawCalls, 0);
}

TEST_F(PicThumbTest, StripShowsTheCurrentItemInTheMiddleCell)
{
    AddItems(3);
    browser->OnCreateThumb = [](TPicThumb*, const QString&, TThumbBitmap& bmp, int32_t, int32_t,
                                PImageInfor) {
        std::lock_guard<std::mutex> lock(bmp.Lock());
        bmp.Image = MakeSolid(8, 8, Qt::red);
    };
    browser->BuildThumbs();
    browser->SetShowMode(smPic);
    browser->SetItemIndex(1);
    browser->PaintBuffer();
    const TSmalThumbOptions& s = browser->SmalThumbOptions();
    const QImage& shown = browser->BackBuffer();
    // Cells 4, 5 and 6 show items 0, 1 and 2, stretched inside a 2-pixel
    // frame of the cell's fill: yellow for the middle one, white otherwise.
    const TRect middle = s.StripCells[5];
    EXPECT_EQ(PixelAt(shown, middle.Left, middle.Top) & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(PixelAt(shown, middle.Left + 2, middle.Top + 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelAt(shown, middle.Right - 3, middle.Bottom - 3) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelAt(shown, middle.Right - 2, middle.Bottom - 2) & 0xFFFFFF, 0xFFFF00u);
    const TRect first = s.StripCells[4];
    EXPECT_EQ(PixelAt(shown, first.Left, first.Top) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shown, first.Left + 5, first.Top + 5) & 0xFFFFFF, 0xFF0000u);
    // Cells without an item show the strip's background inside the frame.
    const TRect empty = s.StripCells[3];
    EXPECT_EQ(PixelAt(shown, empty.Left, empty.Top) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shown, empty.Left + 5, empty.Top + 5) & 0xFFFFFF, 0xC0C0C0u);
}

// ---------------------------------------------------------------------------
// Option sets

TEST(ThumbOptionsTest, StripCellsFollowTheCount)
{
    TSmalThumbOptions s;
    EXPECT_EQ(s.ThumbCount(), 9);
    EXPECT_EQ(s.StripCells.size(), 11u);
    s.SetThumbCount(5);
    EXPECT_EQ(s.StripCells.size(), 7u);
    s.ThumbFrameSize = 7;
    s.ShowShaw = false;
    EXPECT_EQ(s.ThumbFrameSize, 7);
    EXPECT_FALSE(s.ShowShaw);
}

TEST(ThumbOptionsTest, DefaultsOfTheThreeSets)
{
    const TThumbOptions t;
    EXPECT_EQ(t.ButtonWidth, 128);
    EXPECT_EQ(t.PicRectWidth, 116);
    EXPECT_EQ(t.PicRectHeight, 95);
    EXPECT_EQ(t.TextTop, 104);
    EXPECT_EQ(t.SelectColor, clNavy);
    EXPECT_EQ(t.ButtonColor, clWhite);
    EXPECT_TRUE(t.ShowImageName);
    const TDetailOptions d;
    EXPECT_EQ(d.ButtonColor, clBtnFace);
    EXPECT_EQ(d.ButtonWidth, 280);
    EXPECT_EQ(d.ButtonHeight, 120);
    EXPECT_EQ(d.PicRectLeft, 10);
    EXPECT_EQ(d.TextLeft, 140);
    EXPECT_EQ(d.TextHeight, 110);
    EXPECT_EQ(d.TextSpace, 15);
    const TSmalThumbOptions s;
    EXPECT_EQ(s.ThumbSize, 32);
    EXPECT_EQ(s.ThumbSelectedColor, clYellow);
    EXPECT_EQ(s.BKColor, clSilver);
    EXPECT_EQ(s.PicInnerSpace, 20);
    EXPECT_FALSE(s.AutoThumbCount);
}

TEST(ThumbOptionsTest, PicturesAreCopiedNeverAdopted)
{
    TThumbOptions t;
    TSmalThumbOptions s;
    {
        QImage picture = MakeSolid(4, 4, Qt::green);
        t.SetDefaultBMP(picture);
        s.SetLButton(picture);
        picture.fill(Qt::red); // the caller's picture changes and goes
    }
    EXPECT_EQ(PixelAt(t.DefaultBMP(), 0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(PixelAt(s.LButton(), 3, 3), qRgb(0, 255, 0));
}

TEST(ThumbOptionsTest, AssignTakesEveryValueAndCopiesFontAndPictures)
{
    TThumbOptions source;
    source.LeftSpace = 1;
    source.BottomSpace = 2;
    source.InnerYSPace = 4;
    source.OutFrameStyle = TBevelCut::bvRaised;
    source.PicRectHeight = 90;
    source.SelectColor = clYellow;
    source.ShowImageName = false;
    source.TextFont().Font = QFont(QStringLiteral("Serif"), 13, QFont::Bold, true);
    source.TextFont().Color = 0x0000FF;
    source.SetDefaultBMP(MakeSolid(3, 2, Qt::blue));
    TPicThumb browser;
    browser.SetThumbOptions(source);
    const TThumbOptions& target = browser.ThumbOptions();
    EXPECT_EQ(target.LeftSpace, 1);
    EXPECT_EQ(target.BottomSpace, 2);
    EXPECT_EQ(target.InnerYSPace, 4);
    EXPECT_EQ(target.OutFrameStyle, TBevelCut::bvRaised);
    EXPECT_EQ(target.PicRectHeight, 90);
    EXPECT_EQ(target.SelectColor, clYellow);
    EXPECT_FALSE(target.ShowImageName);
    EXPECT_EQ(target.TextFont(), source.TextFont());
    EXPECT_NE(&target.TextFont(), &source.TextFont());
    EXPECT_TRUE(SamePixels(target.DefaultBMP(), source.DefaultBMP()));

    TSmalThumbOptions strip;
    strip.SetThumbCount(3);
    strip.ShowShaw = false;
    strip.PicBKColor = clNavy;
    TSmalThumbOptions copy;
    copy.Assign(strip);
    EXPECT_EQ(copy.ThumbCount(), 3);
    EXPECT_EQ(copy.StripCells.size(), 5u);
    EXPECT_FALSE(copy.ShowShaw);
    EXPECT_EQ(copy.PicBKColor, clNavy);

    TDetailOptions details;
    details.TextSpace = 21;
    details.ButtonColor = clWhite;
    TDetailOptions detailCopy;
    detailCopy.Assign(details);
    EXPECT_EQ(detailCopy.TextSpace, 21);
    EXPECT_EQ(detailCopy.ButtonColor, clWhite);
}

TEST(FitThumbSizeTest, ScalesByTheSmallerRatioInExtendedPrecision)
{
    // Plain doubles give 27 x 90.
    EXPECT_EQ(FitThumbSize(300, 1000, 90, 90), QSize(26, 89));
    EXPECT_EQ(FitThumbSize(400, 5, 200, 200), QSize(200, 2));
    EXPECT_EQ(FitThumbSize(50, 40, 90, 90), QSize(50, 40)); // smaller both ways
    EXPECT_EQ(FitThumbSize(90, 40, 90, 90), QSize(90, 40)); // not smaller: scale 1
    EXPECT_EQ(FitThumbSize(180, 180, 90, 90), QSize(90, 90));
    EXPECT_EQ(FitThumbSize(0, 10, 90, 90), QSize(0, 0));
    // The quotient is rounded once to extended precision and again to the
    // stored double; a plain double quotient rounds once and differs here.
    EXPECT_EQ(FitThumbSize(11371, 10, 90, 90).width(), 90);
    EXPECT_EQ(FitThumbSize(22742, 10, 90, 90).width(), 90);
    EXPECT_EQ(FitThumbSize(28589, 10, 90, 90).width(), 90);
    EXPECT_EQ(FitThumbSize(17675, 10, 90, 90).width(), 89);
}

TEST(FitThumbSizeTest, APngOf300By1000GetsA26By89Thumbnail)
{
    TTempDir dir;
    const QString path = dir.file(QStringLiteral("tall.png"));
    ASSERT_TRUE(MakeSolid(300, 1000, Qt::red).save(path, "PNG"));
    const QImage picture = DecodeImageFile(path);
    EXPECT_EQ(FitThumbSize(picture.width(), picture.height(), 90, 90), QSize(26, 89));
}
