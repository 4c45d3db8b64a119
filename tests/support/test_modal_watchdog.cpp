// The widget test runner's watchdog: a modal dialog nobody answers fails its
// test quickly with its title and text, and is closed so the test goes on.

#include "ModalWatchdog.h"

#include <QMessageBox>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

TEST(ModalWatchdogTest, AMessageBoxNobodyAnswersFailsTheTestWithItsTextAndIsClosed)
{
    const TModalWatchdog watchdog(std::chrono::milliseconds(200));
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Save Frame"),
                    QStringLiteral("Nobody answers this."), QMessageBox::Ok);
    EXPECT_NONFATAL_FAILURE(box.exec(), "\"Save Frame\": Nobody answers this.");
    EXPECT_FALSE(box.isVisible());
}
