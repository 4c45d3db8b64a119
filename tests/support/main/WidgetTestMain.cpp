// The test runner for tests of widgets. The application lives on main's stack
// so that Qt tears it down (with the pointing devices QTest registers) before
// the program's static objects, never after them. A watchdog fails the test
// whose modal dialog nobody answers, instead of letting the run hang.

#include "ModalWatchdog.h"
#include "TestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const TTestEnvironment environment;
    QApplication app(argc, argv);
    const TModalWatchdog watchdog;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
