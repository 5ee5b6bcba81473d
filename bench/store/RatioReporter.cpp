#include "bench/store/RatioReporter.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr double OpenSaveGoal = 3.0; // times the plain read, write and flush
constexpr double ScrambleGoal = 2.5; // GB/s

} // namespace

// Colour only on a terminal, so that a saved report stays readable.
TRatioReporter::TRatioReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

void TRatioReporter::ReportRuns(const std::vector<Run>& Runs) {
    ConsoleReporter::ReportRuns(Runs);
    for (const Run& R : Runs) {
        if (R.run_type != Run::RT_Iteration || R.error_occurred || R.iterations == 0)
            continue;
        const double Seconds = R.real_accumulated_time / static_cast<double>(R.iterations);
        const auto Bytes = R.counters.find("bytes_per_second");
        const double Rate = Bytes != R.counters.end() ? static_cast<double>(Bytes->second) : 0.0;
        const std::string& Name = R.run_name.function_name;
        const auto Known = Figures.find(Name);
        if (Known == Figures.end() || Seconds < Known->second.Seconds)
            Figures[Name] = {Seconds, Rate};
    }
}

bool TRatioReporter::PrintRatios() const {
    bool GoalsMet = true;
    auto Verdict = [&GoalsMet](bool Met) {
        GoalsMet = GoalsMet && Met;
        return Met ? "met" : "MISSED";
    };
    std::printf("\n");
    for (const char* Name : {"BM_Scramble", "BM_ScrambleSerialLoop", "BM_MemcpyRecordArea"}) {
        const auto F = Figures.find(Name);
        if (F != Figures.end())
            std::printf("%-22s %6.2f GB/s\n", Name + 3, F->second.BytesPerSecond / 1e9);
    }
    const auto OpenSave = Figures.find("BM_OpenForWritingAndSave");
    const auto Plain = Figures.find("BM_PlainReadWriteFlush");
    if (OpenSave != Figures.end() && Plain != Figures.end()) {
        const double Ratio = OpenSave->second.Seconds / Plain->second.Seconds;
        std::printf("open for writing + save: %.2f times a plain read + write + flush (goal <= "
                    "%.1f): %s\n",
                    Ratio, OpenSaveGoal, Verdict(Ratio <= OpenSaveGoal));
    }
    const auto Scramble = Figures.find("BM_Scramble");
    const auto Memcpy = Figures.find("BM_MemcpyRecordArea");
    if (Scramble != Figures.end()) {
        const double Rate = Scramble->second.BytesPerSecond / 1e9;
        if (Memcpy != Figures.end())
            std::printf("scramble: %.2f times a memcpy of the record area\n",
                        Scramble->second.Seconds / Memcpy->second.Seconds);
        std::printf("scramble: %.2f GB/s (goal >= %.1f): %s\n", Rate, ScrambleGoal,
                    Verdict(Rate >= ScrambleGoal));
    }
    return GoalsMet;
}
