// The test runner for tests of widgets. The application lives on main's stack
// so that Qt tears it down (with the pointing devices QTest registers) before
// the program's static objects, never after them.

#include "TestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const TTestEnvironment environment;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
