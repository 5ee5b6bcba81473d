// main of the grid and viewer test programs: one application object around all tests.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int Argc, char** Argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0); // headless unless a display was asked for
    testing::InitGoogleTest(&Argc, Argv);
    QApplication App(Argc, Argv);
    return RUN_ALL_TESTS();
}
