// Runs one step of the program on one file in a fresh process and prints the
// process's peak resident memory, so that what a file costs is measured,
// not guessed:
//   orvo_peak_probe make FOLDER      writes the crafted cases into FOLDER
//   orvo_peak_probe STEP FILE        prints "peak_mb N" and "error TEXT"
// STEP is photo (opened and composed at its own resolution), pngframe,
// clipart, texture (the simple designer's band picture and its preview),
// framethumb and pngthumb (the side panel's thumbnails), frameopen (a frame
// file put on the canvas), batch (eight copies framed by the batch wizard's
// run).

#include "BatchRun.h"
#include "CraftedFiles.h"
#include "FrameMaker.h"
#include "MyGdiPlus.h"
#include "PicThumb.h"
#include "QynKadrix.h"
#include "SidePanel.h"
#include "SimpleFrameDesign.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

namespace {

// VmHWM of /proc/self/status, in kB.
long PeakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void RunStep(const QString& step, const QString& file)
{
    TQynKadrix canvas;
    canvas.resize(1000, 700);
    if (step == "photo") {
        canvas.OpenPhoto(file);
        canvas.ComposeBitmap(-1);
    } else if (step == "pngframe") {
        canvas.LoadFrame(file);
    } else if (step == "clipart") {
        canvas.AddClipArt(file);
    } else if (step == "texture") {
        TSimpleFrameDesign design;
        design.UsePicture = true;
        design.BackPicture = DecodeImageFile(file);
        design.Preview(300, 200);
    } else if (step == "framethumb" || step == "pngthumb") {
        TThumbBitmap thumb;
        if (step == "framethumb")
            TSidePanel::thuFrameCreateThumb(nullptr, file, thumb, 90, 90, nullptr);
        else
            TSidePanel::thPngCreateThumb(nullptr, file, thumb, 90, 90, nullptr);
        std::printf("thumb %d x %d\n", thumb.Image.width(), thumb.Image.height());
    } else if (step == "frameopen") {
        std::unique_ptr<TFrameMakerBase> maker = CreateFrameMaker(GetFrameFileType(file));
        if (!maker)
            return;
        maker->LoadFromFile(file);
        maker->SetWidth(canvas.GetFrameWidth());
        maker->SetHeight(canvas.GetFrameHeight());
        canvas.LoadFrameImage(*maker);
    } else if (step == "batch") {
        // Eight copies of the photo framed with a simple textured frame into
        // the wizard's largest box, on every core.
        QTemporaryDir out;
        const QString frame = out.filePath(QStringLiteral("frame.okx"));
        CraftedFiles::WriteFile(
            frame, CraftedFiles::SimpleFrameFile(CraftedFiles::JpegDeclaring(QSize(64, 64))));
        std::vector<TBatchJob> jobs;
        for (int i = 0; i < 8; ++i)
            jobs.push_back({file, out.filePath(QStringLiteral("%1.jpg").arg(i)), QString()});
        TBatchRun run(std::move(jobs), frame, false, QSize(1600, 1200));
        for (int i = 0; i < run.Count(); ++i)
            run.Finish(i, [] {});
    } else {
        throw std::runtime_error("unknown step");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Damaged pictures are the point here: keep the JPEG reader quiet.
    qputenv("QT_LOGGING_RULES", "qt.gui.imageio*=false");
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString step = QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    if (step == "make")
        return CraftedFiles::WriteMemoryCases(file) ? 0 : 1;

    std::string error;
    try {
        RunStep(step, file);
    } catch (const std::exception& e) {
        error = e.what();
    }
    std::printf("peak_mb %ld\nerror %s\n", PeakKilobytes() / 1024, error.c_str());
    return 0;
}
