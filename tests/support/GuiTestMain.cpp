// main of the GUI test programs: the application object lives around all tests.
#include "toolkit/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int Argc, char** Argv) {
    // Headless unless the caller asked for a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&Argc, Argv);
    Application.Initialize(Argc, Argv);
    const int Result = RUN_ALL_TESTS();
    Application.Finalize();
    return Result;
}
