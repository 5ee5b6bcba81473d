#pragma once
// The console report, then the figures the store is held to: open plus save against plain
// read, write and flush, and the scramble's throughput.

#include <benchmark/benchmark.h>

#include <map>
#include <string>

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    TRatioReporter();
    void ReportRuns(const std::vector<Run>& Runs) override;
    // Prints the ratios of what ran; false when a goal was missed.
    bool PrintRatios() const;

private:
    struct TFigure {
        double Seconds; // real time per iteration
        double BytesPerSecond;
    };
    std::map<std::string, TFigure> Figures; // the first run of each benchmark
    std::map<std::string, TFigure> Medians; // the median of its repetitions, when repeated
};
