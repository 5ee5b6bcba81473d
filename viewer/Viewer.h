#pragma once
// TViewer: the string grid with per-column text alignment, cell colours from an attached
// browser, a one-time scaling to the screen's resolution at the first focus, and OnCommand.
// A failure inside the browser's handling of a key or mouse event is shown in an error box
// (viewer/Guarded.h); the grid's own handling still runs.

#include "toolkit/Message.h"
#include "toolkit/StringGrid.h"
#include "viewer/GridBrowser.h"

#include <cstdint>

class TViewer : public TStringGrid {
    Q_OBJECT
    Q_PROPERTY(int PixelsPerInch MEMBER PixelsPerInch)
    Q_PROPERTY(int RightText MEMBER RightText)
    Q_PROPERTY(int CenterText MEMBER CenterText)

public:
    // Options goFixedVertLine, goFixedHorzLine, goVertLine, goRowSelect; no fixed column.
    explicit TViewer(QWidget* Owner = nullptr);

    // Resolution in dots per inch at which the column widths and row height were laid out.
    int32_t PixelsPerInch = 120;
    // Column masks: bit c right-aligns column c; else bit c of CenterText centres it.
    int32_t RightText = 0;
    int32_t CenterText = 0;
    // True until the first focus has scaled the grid to the screen.
    bool ScalePending = true;
    // Called with every WM_COMMAND after the grid's own handling.
    TMessageEvent OnCommand;
    // The attached record browser, if any; not owned.
    TGridBrowser* Browser = nullptr;

    // Whether the cell's text shows whole between the cell's edges, trailing blanks aside.
    bool TextFits(int ACol, int ARow) const;

protected:
    void DrawCell(int ACol, int ARow, const TRect& Rect, TGridDrawState State) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void DoEnter() override;
    bool UsesKey(uint16_t Key, TShiftState Shift) const override;
    void WMCommand(TMessage& Message) override;

private:
    void DrawCellText(int ACol, int ARow, const TRect& Rect);
    void ScaleToScreen();
};
