#pragma once
// A stand-in record browser that writes each call the viewer makes on it into a shared log,
// with the grid's current row at that moment, and answers cell colours from a table.

#include "viewer/Viewer.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

using TCallLog = std::vector<std::string>;

inline std::string WithRow(const std::string& What, const TStringGrid& Grid) {
    return What + " row " + std::to_string(Grid.Row());
}

class TRecordingBrowser : public TGridBrowser {
public:
    TRecordingBrowser(TCallLog& Log, const TStringGrid& Grid) : FLog(Log), FGrid(Grid) {}

    void HandleKey(uint16_t Key, TShiftState Shift) override {
        FLog.push_back(WithRow("HandleKey " + std::to_string(Key), FGrid));
        Shifts.push_back(Shift);
    }
    void SyncSelection() override { FLog.push_back(WithRow("SyncSelection", FGrid)); }
    void OpenSelected() override { FLog.push_back(WithRow("OpenSelected", FGrid)); }
    int32_t CellColor(int32_t Row, int32_t Col) override {
        ColorAsked.emplace_back(Col, Row);
        const auto Found = Colors.find({Col, Row});
        return Found == Colors.end() ? -1 : Found->second;
    }

    std::map<std::pair<int, int>, int32_t> Colors; // (column, row) -> colour; -1 elsewhere
    std::vector<std::pair<int, int>> ColorAsked;   // (column, row) in the order asked
    std::vector<TShiftState> Shifts;               // of HandleKey

private:
    TCallLog& FLog;
    const TStringGrid& FGrid;
};

// Logs the viewer's own events into the same log.
inline void LogViewerEvents(TViewer& Viewer, TCallLog& Log) {
    Viewer.OnKeyDown = [&](QObject*, uint16_t& Key, TShiftState) {
        Log.push_back(WithRow("OnKeyDown " + std::to_string(Key), Viewer));
    };
    Viewer.OnKeyUp = [&](QObject*, uint16_t& Key, TShiftState) {
        Log.push_back(WithRow("OnKeyUp " + std::to_string(Key), Viewer));
    };
    Viewer.OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int, int) {
        Log.push_back(WithRow("OnMouseUp", Viewer));
    };
    Viewer.OnDblClick = [&](QObject*) { Log.push_back(WithRow("OnDblClick", Viewer)); };
}
