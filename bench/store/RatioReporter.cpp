#include "bench/store/RatioReporter.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr double OpenSaveGoal = 3.0; // times the plain read, write and flush
constexpr double ScrambleGoal = 2.5; // GB/s

double TimeUnitSeconds(benchmark::TimeUnit Unit) {
    switch (Unit) {
    case benchmark::kNanosecond:
        return 1e-9;
    case benchmark::kMicrosecond:
        return 1e-6;
    case benchmark::kMillisecond:
        return 1e-3;
    case benchmark::kSecond:
        return 1.0;
    }
    return 1.0;
}

} // namespace

// Colour only on a terminal, so that a saved report stays readable.
TRatioReporter::TRatioReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

void TRatioReporter::ReportRuns(const std::vector<Run>& Runs) {
    ConsoleReporter::ReportRuns(Runs);
    for (const Run& R : Runs) {
        if (R.error_occurred || R.iterations == 0)
            continue;
        // With repetitions the median stands for the benchmark; without, its one run does.
        const bool IsMedian = R.run_type == Run::RT_Aggregate && R.aggregate_name == "median";
        if (R.run_type != Run::RT_Iteration && !IsMedian)
            continue;
        const auto Bytes = R.counters.find("bytes_per_second");
        const TFigure Figure{R.GetAdjustedRealTime() * TimeUnitSeconds(R.time_unit),
                             Bytes != R.counters.end() ? static_cast<double>(Bytes->second) : 0.0};
        const std::string& Name = R.run_name.function_name;
        if (IsMedian)
            Medians[Name] = Figure;
        else if (!Figures.contains(Name))
            Figures[Name] = Figure;
    }
}

bool TRatioReporter::PrintRatios() const {
    std::map<std::string, TFigure> Chosen = Figures;
    for (const auto& [Name, Median] : Medians)
        Chosen[Name] = Median;
    bool GoalsMet = true;
    auto Verdict = [&GoalsMet](bool Met) {
        GoalsMet = GoalsMet && Met;
        return Met ? "met" : "MISSED";
    };
    std::printf("\n");
    for (const char* Name : {"BM_Scramble", "BM_ScrambleSerialLoop", "BM_MemcpyRecordArea"}) {
        const auto F = Chosen.find(Name);
        if (F != Chosen.end())
            std::printf("%-22s %6.2f GB/s\n", Name + 3, F->second.BytesPerSecond / 1e9);
    }
    const auto OpenSave = Chosen.find("BM_OpenForWritingAndSave");
    const auto Plain = Chosen.find("BM_PlainReadWriteFlush");
    if (OpenSave != Chosen.end() && Plain != Chosen.end()) {
        const double Ratio = OpenSave->second.Seconds / Plain->second.Seconds;
        std::printf("open for writing + save: %.2f times a plain read + write + flush (goal <= "
                    "%.1f): %s\n",
                    Ratio, OpenSaveGoal, Verdict(Ratio <= OpenSaveGoal));
    }
    const auto Scramble = Chosen.find("BM_Scramble");
    const auto Memcpy = Chosen.find("BM_MemcpyRecordArea");
    if (Scramble != Chosen.end()) {
        const double Rate = Scramble->second.BytesPerSecond / 1e9;
        if (Memcpy != Chosen.end())
            std::printf("scramble: %.2f times a memcpy of the record area\n",
                        Scramble->second.Seconds / Memcpy->second.Seconds);
        std::printf("scramble: %.2f GB/s (goal >= %.1f): %s\n", Rate, ScrambleGoal,
                    Verdict(Rate >= ScrambleGoal));
    }
    return GoalsMet;
}
