// main of the browser tests: one application object around all tests, and no real message box
// ever: a box that a test did not expect fails it and is answered Cancel.
#include "toolkit/Application.h"
#include "toolkit/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int Argc, char** Argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&Argc, Argv);
    Application.Initialize(Argc, Argv);
    Application.SetMessageBoxHook([](const QString& Text, const QString&, int) {
        ADD_FAILURE() << "unexpected message box: " << Text.toStdString();
        return IDCANCEL;
    });
    const int Result = RUN_ALL_TESTS();
    Application.SetMessageBoxHook({});
    Application.Finalize();
    return Result;
}
