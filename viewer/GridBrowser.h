#pragma once
// What a TViewer asks of an attached record browser. The browser implements these four calls;
// the grid only holds a reference to it and never owns it.

#include "toolkit/GridTypes.h"

#include <cstdint>

class TGridBrowser {
public:
    virtual ~TGridBrowser() = default;

    // Whether HandleKey acts on this key, asked before it: such a key is not passed on to the
    // grid's window, so that Enter that edits does not also press the window's default button.
    virtual bool ActsOnKey(uint16_t /*Key*/, TShiftState /*Shift*/) const { return false; }
    // A key went down on the grid, before the grid's own handling; the key cannot be changed.
    virtual void HandleKey(uint16_t Key, TShiftState Shift) = 0;
    // A key went up or a mouse click ended on the grid: bring the selection back onto the page.
    virtual void SyncSelection() = 0;
    // The grid was double-clicked.
    virtual void OpenSelected() = 0;
    // The background colour of a cell as 0x00BBGGRR, or -1 for none.
    virtual int32_t CellColor(int32_t Row, int32_t Col) = 0;

protected:
    TGridBrowser() = default;
    TGridBrowser(const TGridBrowser&) = default;
    TGridBrowser& operator=(const TGridBrowser&) = default;
};
