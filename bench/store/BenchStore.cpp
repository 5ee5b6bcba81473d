// bench_store: Open for writing plus Save of a 65,535-user file against a plain read, write and
// flush of a file of the same size; the record area's scramble against the serial generator loop
// and a memcpy. The scramble's output is checked against the serial stream before it is timed.
#include "bench/store/BenchFiles.h"
#include "bench/store/RatioReporter.h"
#include "runtime/Random.h"
#include "store/UserManager.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t AreaSize = BenchUsers * UserRecSize;
constexpr uint32_t AreaSeed = 0x2468ACE;

std::vector<uint8_t> SampleArea() {
    std::vector<uint8_t> Area(AreaSize);
    for (std::size_t I = 0; I < Area.size(); ++I)
        Area[I] = static_cast<uint8_t>(I * 7 + (I >> 8));
    return Area;
}

void SerialXor(uint8_t* Buf, std::size_t Len) {
    const TRandomStream Stream(AreaSeed);
    for (std::size_t I = 0; I < Len; ++I)
        Buf[I] ^= static_cast<uint8_t>(Stream.Draw(256));
}

// The fast scramble must give the serial loop's bytes and leave the generator where it would.
bool ScrambleMatchesSerialStream() {
    std::vector<uint8_t> Serial = SampleArea();
    std::vector<uint8_t> Fast = Serial;
    SerialXor(Serial.data(), Serial.size());
    const uint32_t SerialEnd = RandSeed;
    TRandomStream(AreaSeed).Xor(Fast.data(), Fast.size());
    return Fast == Serial && RandSeed == SerialEnd;
}

void BM_OpenForWritingAndSave(benchmark::State& State) {
    const TBenchFiles& Files = BenchFiles();
    for (auto _ : State) {
        TUserManager Store;
        if (Store.Open(Files.UsersFile, true) != ueOk || !Store.Save()) {
            State.SkipWithError("open or save failed");
            break;
        }
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(Files.FileSize));
}

void BM_PlainReadWriteFlush(benchmark::State& State) {
    const TBenchFiles& Files = BenchFiles();
    std::vector<uint8_t> Buffer(Files.FileSize);
    for (auto _ : State) {
        const int Fd = open(Files.PlainFile.c_str(), O_RDWR | O_CLOEXEC);
        const bool Done =
            Fd >= 0 &&
            pread(Fd, Buffer.data(), Buffer.size(), 0) == static_cast<ssize_t>(Buffer.size()) &&
            pwrite(Fd, Buffer.data(), Buffer.size(), 0) == static_cast<ssize_t>(Buffer.size()) &&
            fsync(Fd) == 0;
        if (Fd >= 0)
            close(Fd);
        if (!Done) {
            State.SkipWithError("plain file I/O failed");
            break;
        }
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(Files.FileSize));
}

void BM_Scramble(benchmark::State& State) {
    if (!ScrambleMatchesSerialStream()) {
        State.SkipWithError("the scramble differs from the serial stream");
        return;
    }
    std::vector<uint8_t> Area = SampleArea();
    for (auto _ : State) {
        TRandomStream(AreaSeed).Xor(Area.data(), Area.size());
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(AreaSize));
}

void BM_ScrambleSerialLoop(benchmark::State& State) {
    std::vector<uint8_t> Area = SampleArea();
    for (auto _ : State) {
        SerialXor(Area.data(), Area.size());
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(AreaSize));
}

void BM_MemcpyRecordArea(benchmark::State& State) {
    const std::vector<uint8_t> From = SampleArea();
    std::vector<uint8_t> To(AreaSize);
    for (auto _ : State) {
        std::memcpy(To.data(), From.data(), AreaSize);
        benchmark::DoNotOptimize(To.data());
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(AreaSize));
}

// Real time throughout: flushing to disk waits without using the processor.
BENCHMARK(BM_OpenForWritingAndSave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainReadWriteFlush)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Scramble)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrambleSerialLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MemcpyRecordArea)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const bool Identical = ScrambleMatchesSerialStream();
    std::printf("scramble output identical to the serial stream: %s\n", Identical ? "yes" : "NO");
    TRatioReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    benchmark::Shutdown();
    Reporter.PrintRatios(); // speed goals are reported, not enforced: they depend on the machine
    return Identical ? 0 : 1;
}
