// The test runner for tests that need a graphical application object but no
// widgets. The application lives on main's stack so that Qt tears it down
// before the program's static objects, never after them.

#include "TestEnvironment.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const TTestEnvironment environment;
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
