// The scan and the patch on POSIX files, each beside its I/O floor.
#include <benchmark/benchmark.h>

#include <map>

#include "bench/report.h"
#include "bench/workloads.h"
#include "platform/file_system.h"

namespace tolvaren::bench {
namespace {

const Workload& ScanWorkload(int records) {
    static std::map<int, Workload> workloads;
    auto found = workloads.find(records);
    if (found == workloads.end()) found = workloads.emplace(records, WriteScanWorkload(records)).first;
    return found->second;
}

const Workload& PatchWorkload() {
    static const Workload workload = WritePatchWorkload();
    return workload;
}

void BM_Scan(benchmark::State& state) {
    const Workload& workload = ScanWorkload(static_cast<int>(state.range(0)));
    for (auto _ : state) Scan(PlatformFileSystem(), workload);
}

void BM_ScanFloor(benchmark::State& state) {
    const Workload& workload = ScanWorkload(static_cast<int>(state.range(0)));
    for (auto _ : state) ReadDirectoryOnce(PlatformFileSystem(), workload);
}

void BM_Patch(benchmark::State& state) {
    std::int32_t requested = 1;
    for (auto _ : state) {
        Patch(PlatformFileSystem(), PatchWorkload(), requested);
        requested = 1 - requested;
    }
}

void BM_PatchFloor(benchmark::State& state) {
    for (auto _ : state) ReadAndWriteEntry(PlatformFileSystem(), PatchWorkload());
}

// Medians of a few repetitions: one slow run on a shared machine should not
// decide a ratio.
constexpr int kRepetitions = 9;
BENCHMARK(BM_Scan)->Arg(1000)->Arg(10000)->Arg(100000)->Repetitions(kRepetitions);
BENCHMARK(BM_ScanFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Repetitions(kRepetitions);
BENCHMARK(BM_Patch)->Repetitions(kRepetitions);
BENCHMARK(BM_PatchFloor)->Repetitions(kRepetitions);

// Keeps each benchmark's median time per iteration for the ratio table.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                micros_[NameWithArguments(run.run_name)] =
                    run.GetAdjustedRealTime() * 1e6 /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    bool Has(const std::string& name) const { return micros_.count(name) != 0; }
    double Micros(const std::string& name) const { return micros_.at(name); }

private:
    static std::string NameWithArguments(const benchmark::BenchmarkName& name) {
        return name.args.empty() ? name.function_name : name.function_name + "/" + name.args;
    }
    std::map<std::string, double> micros_;
};

}  // namespace
}  // namespace tolvaren::bench

int main(int argc, char** argv) {
    using namespace tolvaren::bench;
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::vector<Comparison> rows;
    const auto compare = [&](const std::string& what, const std::string& operation,
                             const std::string& floor) {
        if (reporter.Has(operation) && reporter.Has(floor))
            rows.push_back({what, reporter.Micros(operation), reporter.Micros(floor)});
    };
    for (const std::string records : {"1000", "10000", "100000"})
        compare("scan, " + records + " records", "BM_Scan/" + records, "BM_ScanFloor/" + records);
    compare("patch, 4 MiB vehicle list", "BM_Patch", "BM_PatchFloor");
    PrintTable("POSIX file layer (native)", rows);
    benchmark::Shutdown();
    return 0;
}
