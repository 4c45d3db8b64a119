// The about box: its picture, version and links, and the Help menu's command.

#include "About.h"
#include "DesktopServices.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "ProgramInfo.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
class TAddressLog : public TAddressOpener
{
public:
    explicit TAddressLog(QStringList* log) : m_log(log) {}
    void OpenAddress(const QString& Address) override { *m_log << Address; }

private:
    QStringList* m_log;
};

class TNoWallpaper : public TWallpaperSetter
{
public:
    bool SetWallpaper(const QString&) override { return false; }
};

class TNoHelp : public THelpViewer
{
public:
    void ShowHelp(const QString&, std::function<void()>) override {}
};
} // namespace

TEST(About, PictureVersionLabelsAndButtonStandWhereDescribed)
{
    QStringList opened;
    TAddressLog addresses(&opened);
    TfrmAbout about(&addresses, nullptr);

    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.size(), QSize(399, 199));
    EXPECT_EQ(about.Image1->geometry(), QRect(0, 0, 399, 199));
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(399, 199));

    EXPECT_EQ(about.Label1->text(), QStringLiteral("2.38"));
    EXPECT_EQ(about.Label1->pos(), QPoint(296, 56));
    EXPECT_TRUE(about.Label1->font().bold());
    EXPECT_EQ(about.Label1->font().pixelSize(), 13);

    struct TPlace
    {
        QLabel* label;
        QPoint pos;
        QString text;
    };
    for (const TPlace& p : {TPlace{about.Label4, {104, 112}, "WebSite"},
                            TPlace{about.Label5, {152, 112}, "www.brimlow.example/orvo"},
                            TPlace{about.Label6, {104, 136}, "Email"},
                            TPlace{about.Label7, {136, 136}, "support@brimlow.example"}}) {
        EXPECT_EQ(p.label->pos(), p.pos) << p.text.toStdString();
        EXPECT_EQ(p.label->text(), p.text);
    }
    for (QLabel* link : {about.Label5, about.Label7}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_FALSE(about.Label4->font().underline());
    // Each caption ends before its link begins.
    EXPECT_LT(about.Label4->geometry().right(), about.Label5->x());
    EXPECT_LT(about.Label6->geometry().right(), about.Label7->x());

    EXPECT_EQ(about.SpTBXButton1->text(), QStringLiteral("OK"));
    EXPECT_EQ(about.SpTBXButton1->geometry(), QRect(312, 160, 75, 25));
    EXPECT_TRUE(opened.isEmpty());
}

TEST(About, LinksOpenTheWebAddressAndANewMailAndOkCloses)
{
    QStringList opened;
    TAddressLog addresses(&opened);
    TfrmAbout about(&addresses, nullptr);
    about.show();

    // A right click and a click on a plain label open nothing.
    QTest::mouseClick(about.Label5, Qt::RightButton);
    QTest::mouseClick(about.Label4, Qt::LeftButton);
    EXPECT_TRUE(opened.isEmpty());

    QTest::mouseClick(about.Label5, Qt::LeftButton);
    QTest::mouseClick(about.Label7, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({QString::fromLatin1(kWebAddress),
                                   QStringLiteral("mailto:support@brimlow.example")}));

    QTest::mouseClick(about.SpTBXButton1, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(About, HelpAboutShowsANewBoxEachTimeThatStaysWithTheWindow)
{
    TScopedSettings settings;
    TTempDir folder;
    ASSERT_TRUE(QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
    QStringList opened;
    TDesktopServices services;
    services.Wallpaper = std::make_unique<TNoWallpaper>();
    services.Help = std::make_unique<TNoHelp>();
    services.Addresses = std::make_unique<TAddressLog>(&opened);
    const QString path = folder.path() + QLatin1Char('/');
    auto window = std::make_unique<TfrmMain>(std::move(services), [path] { return path; });

    for (int round = 1; round <= 2; ++round) {
        bool shown = false;
        WhenModal<TfrmAbout>([&](TfrmAbout* about) {
            shown = true;
            EXPECT_EQ(about->parentWidget(), window.get());
            about->Label7Click();
            about->SpTBXButton1Click();
        });
        window->SpTBXItem3->trigger();
        EXPECT_TRUE(shown);
        EXPECT_EQ(window->findChildren<TfrmAbout*>().size(), round);
    }
    EXPECT_EQ(opened.size(), 2);
    StopModalDrivers();
}
