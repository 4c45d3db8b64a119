// The print preview: the sheet's layout from the printer's metrics and their
// fallback, fitting and the nine positions, the mapping to printer pixels,
// the painted sheet, dragging, and the desktop printer writing a PDF file.

#include "PrintLayout.h"
#include "PrintPrevew.h"
#include "SystemPrinter.h"

#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct TPrintedPage
{
    QSize PictureSize;
    QRect Target;
};

// What the stand-in printer was asked and what it answers.
struct TPrinterLog
{
    bool HasPrinter = true;
    bool FailPrint = false;
    TPrinterMetrics Metrics{1600, 1600, 100, 100};
    int MetricReads = 0;
    std::vector<TPrintedPage> Pages;
};

class TRecordingPrinter : public TPrinterDevice
{
public:
    explicit TRecordingPrinter(TPrinterLog& log) : Log(log) {}

    bool ReadMetrics(TPrinterMetrics& metrics) override
    {
        ++Log.MetricReads;
        if (!Log.HasPrinter)
            return false;
        metrics = Log.Metrics;
        return true;
    }
    void PrintPicture(const QImage& picture, const QRect& target) override
    {
        if (Log.FailPrint)
            throw std::runtime_error("printer jammed");
        Log.Pages.push_back({picture.size(), target});
    }
    bool HasPrinter() const override { return Log.HasPrinter; }
    bool ShowSetupDialog(QWidget*) override { return false; }

    TPrinterLog& Log;
};

std::unique_ptr<TPrintPrevew> MakePreview(TPrinterLog& log, int w, int h)
{
    auto preview = std::make_unique<TPrintPrevew>(std::make_unique<TRecordingPrinter>(log));
    preview->resize(w, h);
    return preview;
}

const QColor Blue(0, 0, 255);

} // namespace

// ---------------------------------------------------------------------------
// Layout

TEST(PrintLayout, FallbackPaperInTheDialogSizedControl)
{
    TPrintLayout layout;
    layout.Compute(TPrintLayout::FallbackMetrics(), 495, 416, 30);
    // k = 435 / 800 held just below 0.54375, so 800 x k truncates to 434.
    EXPECT_LT(static_cast<long double>(layout.Scale), 0.54375L);
    EXPECT_EQ(layout.PageRect, (TGPRect{30, 45, 434, 326}));
    EXPECT_EQ(layout.PrintableRect, (TGPRect{57, 72, 380, 272}));
}

TEST(PrintLayout, HeightDecidesTiesAndTallPaper)
{
    TPrintLayout layout;
    // 1600 / 400 on both sides: the height's scale, 0.25.
    layout.Compute(TPrinterMetrics{1600, 1600, 100, 100}, 460, 460, 30);
    EXPECT_EQ(layout.Scale, 0.25);
    EXPECT_EQ(layout.PageRect, (TGPRect{30, 30, 400, 400}));
    EXPECT_EQ(layout.PrintableRect, (TGPRect{55, 55, 350, 350}));

    // Portrait paper in a wide control: the height decides, the sheet is
    // centred across.
    layout.Compute(TPrinterMetrics{800, 1600, 40, 80}, 660, 460, 30);
    EXPECT_EQ(layout.Scale, 0.25);
    EXPECT_EQ(layout.PageRect, (TGPRect{230, 30, 200, 400}));
    EXPECT_EQ(layout.PrintableRect, (TGPRect{240, 50, 180, 360}));
}

TEST(PrintLayout, ControlSmallerThanItsMarginsGivesAnEmptySheet)
{
    TPrintLayout layout;
    layout.Compute(TPrintLayout::FallbackMetrics(), 50, 70, 30);
    EXPECT_EQ(layout.Scale, 0);
    EXPECT_EQ(layout.PageRect, (TGPRect{25, 35, 0, 0}));
    TPrintTarget target;
    EXPECT_FALSE(layout.MapToPrinter(TGPRect{0, 0, 10, 10}, target));

    layout.Compute(TPrinterMetrics{0, 0, 0, 0}, 495, 416, 30);
    EXPECT_EQ(layout.Scale, 0);
}

TEST(PrintLayout, NinePositionsKeepTheSize)
{
    const TGPRect p{57, 72, 380, 272};
    const TGPRect r{10, 10, 100, 50};
    const TGPRect expected[9] = {
        {57, 72, 100, 50},   {197, 72, 100, 50},  {337, 72, 100, 50},
        {337, 183, 100, 50}, {337, 294, 100, 50}, {197, 294, 100, 50},
        {57, 294, 100, 50},  {57, 183, 100, 50},  {197, 183, 100, 50},
    };
    for (int position = 0; position < 9; ++position)
        EXPECT_EQ(TPrintLayout::AlignRect(p, r, position, false, 1000, 10), expected[position])
            << "position " << position;
    EXPECT_EQ(TPrintLayout::AlignRect(p, r, 9, false, 1000, 10), r);
    EXPECT_EQ(TPrintLayout::AlignRect(p, r, -1, false, 1000, 10), r);
}

TEST(PrintLayout, AutoFitFitsTheSourceThenPlaces)
{
    const TGPRect p{57, 72, 380, 272};
    const TGPRect r{10, 10, 100, 50};
    // A wide source fills the width; bottom right puts it on both lines.
    EXPECT_EQ(TPrintLayout::AlignRect(p, r, 4, true, 760, 200), (TGPRect{57, 244, 380, 100}));
    // A tall one fills the height.
    EXPECT_EQ(TPrintLayout::AlignRect(p, r, 8, true, 100, 200), (TGPRect{179, 72, 136, 272}));
    // 380 / 100 is held just below 3.8, so the products truncate one less.
    EXPECT_EQ(TPrintLayout::AlignRect(p, r, 0, true, 100, 50), (TGPRect{57, 72, 379, 189}));
    // An unknown position keeps the fitted rectangle centred.
    EXPECT_EQ(TPrintLayout::AlignRect(p, r, 12, true, 760, 200), (TGPRect{57, 158, 380, 100}));
}

TEST(PrintLayout, MapsTheScreenSheetToPrinterPixels)
{
    TPrintLayout layout;
    layout.Compute(TPrinterMetrics{1600, 1600, 100, 100}, 460, 460, 30);
    // q = 1400 / 350 = 4 in both directions; right and bottom are the last
    // pixels drawn.
    TPrintTarget target;
    ASSERT_TRUE(layout.MapToPrinter(TGPRect{55, 55, 100, 50}, target));
    EXPECT_EQ(target.Left, 0);
    EXPECT_EQ(target.Top, 0);
    EXPECT_EQ(target.Right, 399);
    EXPECT_EQ(target.Bottom, 199);
    ASSERT_TRUE(layout.MapToPrinter(TGPRect{65, 75, 100, 50}, target));
    EXPECT_EQ(target.Left, 40);
    EXPECT_EQ(target.Top, 80);
    EXPECT_EQ(target.Right, 439);
    EXPECT_EQ(target.Bottom, 279);
    // Left of and above the printable area: negative printer pixels.
    ASSERT_TRUE(layout.MapToPrinter(TGPRect{54, 53, 1, 1}, target));
    EXPECT_EQ(target.Left, -4);
    EXPECT_EQ(target.Top, -8);
}

// ---------------------------------------------------------------------------
// The control

TEST(PrintPrevew, StartsWithItsDefaults)
{
    TPrinterLog log;
    auto preview = MakePreview(log, 495, 416);
    EXPECT_EQ(preview->GetLineColor(), MakeColorRef(255, 0, 0));
    EXPECT_EQ(preview->GetBKColor(), TColorRef(0xA4A0A0));
    EXPECT_EQ(preview->GetBordSize(), 30);
    EXPECT_FALSE(preview->PictureObject->Loaded);
    EXPECT_EQ(preview->PictureObject->Owner, preview.get());
}

TEST(PrintPrevew, MetricsFromThePrinterOrTheFallback)
{
    TPrinterLog log;
    log.Metrics = TPrinterMetrics{4960, 7016, 118, 130};
    auto preview = MakePreview(log, 495, 416);
    preview->ReadPrinterMetrics();
    EXPECT_EQ(preview->PhysicalWidth, 4960);
    EXPECT_EQ(preview->PhysicalHeight, 7016);
    EXPECT_EQ(preview->PhysicalOffsetX, 118);
    EXPECT_EQ(preview->PhysicalOffsetY, 130);

    log.HasPrinter = false;
    preview->ComputeLayout();
    EXPECT_EQ(preview->PhysicalWidth, 800);
    EXPECT_EQ(preview->PhysicalHeight, 600);
    EXPECT_EQ(preview->PhysicalOffsetX, 50);
    EXPECT_EQ(preview->PhysicalOffsetY, 50);
    EXPECT_EQ(preview->PageRect, (TGPRect{30, 45, 434, 326}));
    EXPECT_EQ(preview->PrintableRect, (TGPRect{57, 72, 380, 272}));
}

TEST(PrintPrevew, SetPictureFitsIntoThePrintableAreaAndCentresInTheControl)
{
    TPrinterLog log;
    log.HasPrinter = false;
    auto preview = MakePreview(log, 495, 416);
    QImage picture = MakeSolid(100, 50, Blue);
    preview->SetPicture(picture);
    // Enlarged to the printable width (380 x 190), centred in 495 x 416.
    EXPECT_TRUE(preview->PictureObject->Loaded);
    EXPECT_EQ(preview->PictureObject->GetRect(), (TGPRect{57, 113, 380, 190}));
    // The preview keeps its own copy at full resolution.
    picture.fill(Qt::red);
    ASSERT_NE(preview->PictureObject->GetBitmap(), nullptr);
    EXPECT_EQ(preview->PictureObject->GetBitmap()->size(), QSize(100, 50));
    EXPECT_EQ(QColor(PixelAt(*preview->PictureObject->GetBitmap(), 5, 5)), Blue);
}

TEST(PrintPrevew, AlignPictureWithAndWithoutAutoFit)
{
    TPrinterLog log;
    log.HasPrinter = false;
    auto preview = MakePreview(log, 495, 416);
    preview->SetPicture(MakeSolid(760, 200, Blue));
    preview->PictureObject->SetRect(TGPRect{10, 10, 100, 50});
    preview->AlignPicture(2, false);
    EXPECT_EQ(preview->PictureObject->GetRect(), (TGPRect{337, 72, 100, 50}));
    preview->AlignPicture(4, true);
    EXPECT_EQ(preview->PictureObject->GetRect(), (TGPRect{57, 244, 380, 100}));
    preview->AlignPicture(0, false);
    EXPECT_EQ(preview->PictureObject->GetRect(), (TGPRect{57, 72, 380, 100}));

    // Without a picture AutoFit has nothing to fit and only places.
    auto empty = MakePreview(log, 495, 416);
    empty->ComputeLayout();
    empty->PictureObject->SetRect(TGPRect{0, 0, 20, 20});
    empty->AlignPicture(8, true);
    EXPECT_EQ(empty->PictureObject->GetRect(), (TGPRect{237, 198, 20, 20}));
}

TEST(PrintPrevew, PrintsTheFullPictureAtItsPlaceWithTheLastMetrics)
{
    TPrinterLog log;
    auto preview = MakePreview(log, 460, 460);
    preview->SetPicture(MakeSolid(700, 350, Blue));
    preview->PictureObject->SetRect(TGPRect{65, 75, 100, 50});
    // Metrics changed after the last layout do not reach the print.
    log.Metrics = TPrinterMetrics{3200, 3200, 0, 0};
    const int reads = log.MetricReads;
    preview->Print();
    EXPECT_EQ(log.MetricReads, reads);
    ASSERT_EQ(log.Pages.size(), 1u);
    EXPECT_EQ(log.Pages[0].PictureSize, QSize(700, 350));
    EXPECT_EQ(log.Pages[0].Target, QRect(40, 80, 399, 199));
}

TEST(PrintPrevew, PictureOnTheTopLeftCornerPrintsFromPixelZero)
{
    TPrinterLog log;
    log.Metrics = TPrinterMetrics{800, 600, 50, 50};
    auto preview = MakePreview(log, 495, 416);
    preview->SetPicture(MakeSolid(100, 50, Blue));
    preview->AlignPicture(0, false);
    preview->Print();
    ASSERT_EQ(log.Pages.size(), 1u);
    EXPECT_EQ(log.Pages[0].Target.topLeft(), QPoint(0, 0));
    // q = 700 / 380 is held just below its value, so 380 x q truncates to
    // 699 and 190 x q to 349; the last pixels drawn are one inside those.
    EXPECT_EQ(log.Pages[0].Target.width(), 698);
    EXPECT_EQ(log.Pages[0].Target.height(), 348);
}

TEST(PrintPrevew, PrintFailuresAndMissingPicturesAreSilent)
{
    TPrinterLog log;
    auto preview = MakePreview(log, 460, 460);
    preview->Print();
    EXPECT_TRUE(log.Pages.empty());

    preview->SetPicture(MakeSolid(40, 40, Blue));
    log.FailPrint = true;
    const TGPRect before = preview->PictureObject->GetRect();
    EXPECT_NO_THROW(preview->Print());
    EXPECT_EQ(preview->PictureObject->GetRect(), before);

    // A control too small for a sheet has no printer scale.
    log.FailPrint = false;
    preview->resize(40, 40);
    preview->ComputeLayout();
    preview->Print();
    EXPECT_TRUE(log.Pages.empty());
}

TEST(PrintPrevew, PaintsSheetLinesPictureAndBackground)
{
    TPrinterLog log;
    log.HasPrinter = false;
    auto preview = MakePreview(log, 495, 416);
    preview->SetPicture(MakeSolid(100, 50, Blue));
    const QColor background(0xA0, 0xA0, 0xA4);
    const QColor red(255, 0, 0);

    QImage shot = preview->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(495, 416));
    EXPECT_EQ(QColor(PixelAt(shot, 5, 5)), background);
    EXPECT_EQ(QColor(PixelAt(shot, 40, 50)), QColor(Qt::white));
    EXPECT_EQ(QColor(PixelAt(shot, 57, 50)), red);
    EXPECT_EQ(QColor(PixelAt(shot, 437, 360)), red);
    EXPECT_EQ(QColor(PixelAt(shot, 35, 72)), red);
    EXPECT_EQ(QColor(PixelAt(shot, 460, 344)), red);
    EXPECT_EQ(QColor(PixelAt(shot, 200, 200)), Blue);
    EXPECT_EQ(QColor(PixelAt(shot, 200, 100)), QColor(Qt::white));

    // Dragged partly off the sheet: only the part on the sheet shows.
    preview->PictureObject->SetRect(TGPRect{0, 0, 100, 50});
    shot = preview->grab().toImage();
    EXPECT_EQ(QColor(PixelAt(shot, 10, 10)), background);
    EXPECT_EQ(QColor(PixelAt(shot, 40, 48)), Blue);

    // The setters take effect on the next paint.
    preview->SetBKColor(MakeColorRef(0, 128, 0));
    preview->SetLineColor(MakeColorRef(0, 0, 0));
    shot = preview->grab().toImage();
    EXPECT_EQ(QColor(PixelAt(shot, 5, 5)), QColor(0, 128, 0));
    EXPECT_EQ(QColor(PixelAt(shot, 57, 100)), QColor(0, 0, 0));
}

TEST(PrintPrevew, DragMovesThePictureAndSelectsIt)
{
    TPrinterLog log;
    log.HasPrinter = false;
    auto preview = MakePreview(log, 495, 416);
    preview->SetPicture(MakeSolid(100, 50, Blue));
    ASSERT_EQ(preview->PictureObject->GetRect(), (TGPRect{57, 113, 380, 190}));

    QTest::mousePress(preview.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_TRUE(preview->PictureObject->Selected);
    QTest::mouseMove(preview.get(), QPoint(220, 210));
    QTest::mouseRelease(preview.get(), Qt::LeftButton, Qt::NoModifier, QPoint(220, 210));
    EXPECT_EQ(preview->PictureObject->GetRect(), (TGPRect{77, 123, 380, 190}));

    // A press beside the picture takes nothing and keeps the selection.
    QTest::mousePress(preview.get(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(preview.get(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(preview->PictureObject->GetRect(), (TGPRect{77, 123, 380, 190}));
}

TEST(PrintPrevew, SizingCursorGoesWhenTheControlHidesOrIsDestroyed)
{
    SetAppCursor(Qt::ArrowCursor);
    TPrinterLog log;
    log.HasPrinter = false;
    auto preview = MakePreview(log, 495, 416);
    preview->SetPicture(MakeSolid(100, 50, Blue));
    preview->PictureObject->SetSelected(true);
    preview->show();
    const auto hoverTopLeftHandle = [&preview] {
        QMouseEvent hover(QEvent::MouseMove, QPointF(57, 113),
                          preview->mapToGlobal(QPointF(57, 113)), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(preview.get(), &hover);
    };
    hoverTopLeftHandle();
    ASSERT_EQ(AppCursorShape(), Qt::SizeFDiagCursor);
    preview->hide();
    EXPECT_TRUE(AppCursorIsDefault());

    preview->show();
    hoverTopLeftHandle();
    ASSERT_EQ(AppCursorShape(), Qt::SizeFDiagCursor);
    preview.reset();
    EXPECT_TRUE(AppCursorIsDefault());
    SetAppCursor(Qt::ArrowCursor);
}

// ---------------------------------------------------------------------------
// The desktop printer

TEST(SystemPrinter, PdfPrinterAnswersMetricsAndWritesTheDocument)
{
    TTempDir dir;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(dir.path() + "/page.pdf");
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(10, 20, 10, 20), QPageLayout::Millimeter));
    printer->setResolution(300);
    TSystemPrinter device(std::move(printer));

    EXPECT_TRUE(device.HasPrinter());
    TPrinterMetrics metrics;
    ASSERT_TRUE(device.ReadMetrics(metrics));
    // A4 at 300 dpi, margins of 10 and 20 mm (Qt rounds the margins through
    // points, a few pixels either way).
    EXPECT_NEAR(metrics.PhysicalWidth, 2480, 3);
    EXPECT_NEAR(metrics.PhysicalHeight, 3508, 3);
    EXPECT_NEAR(metrics.PhysicalOffsetX, 118, 3);
    EXPECT_NEAR(metrics.PhysicalOffsetY, 236, 3);

    device.PrintPicture(MakeSolid(64, 32, Blue), QRect(0, 0, 640, 320));
    QFile pdf(dir.path() + "/page.pdf");
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
}

TEST(SystemPrinter, PrintsInColourOnAQueueThatDefaultsToGrey)
{
    TTempDir dir;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(dir.file("page.pdf"));
    printer->setColorMode(QPrinter::GrayScale);
    TSystemPrinter device(std::move(printer));
    device.PrintPicture(MakeSolid(64, 32, Blue), QRect(0, 0, 640, 320));

    QFile pdf(dir.file("page.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    const qsizetype image = bytes.indexOf("/Subtype /Image");
    ASSERT_GE(image, 0);
    const QByteArray colourSpace = bytes.mid(bytes.indexOf("/ColorSpace", image), 24);
    EXPECT_TRUE(colourSpace.startsWith("/ColorSpace /DeviceRGB")) << colourSpace.constData();
}

TEST(SystemPrinter, WithoutAPrinterThereAreNoMetricsAndNoDocument)
{
    TSystemPrinter device(std::make_unique<QPrinter>(QPrinterInfo(), QPrinter::HighResolution));
    EXPECT_FALSE(device.HasPrinter());
    TPrinterMetrics metrics;
    EXPECT_FALSE(device.ReadMetrics(metrics));
    EXPECT_THROW(device.PrintPicture(MakeSolid(4, 4, Blue), QRect(0, 0, 4, 4)), std::runtime_error);

    // The preview falls back and prints nothing, silently.
    TPrintPrevew preview(std::make_unique<TSystemPrinter>(
        std::make_unique<QPrinter>(QPrinterInfo(), QPrinter::HighResolution)));
    preview.resize(495, 416);
    preview.SetPicture(MakeSolid(100, 50, Blue));
    EXPECT_EQ(preview.PrintableRect, (TGPRect{57, 72, 380, 272}));
    EXPECT_NO_THROW(preview.Print());
}
