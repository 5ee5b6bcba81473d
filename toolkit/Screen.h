#pragma once
// The screen's resolution as the forms and the grid scale by it.

class TScreen {
public:
    // Logical dots per inch of the primary screen, or the value a test has set.
    int PixelsPerInch() const;
    // Tests (and only tests) pin the resolution; 0 returns to the real screen's.
    void SetPixelsPerInch(int Dpi) { FOverride = Dpi; }

private:
    int FOverride = 0;
};

extern TScreen Screen;
