// The scan and the patch on POSIX files, and the search of a large home,
// each beside its I/O floor.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/report.h"
#include "bench/workloads.h"
#include "platform/file_system.h"
#include "search/installations.h"
#include "tools/archive_builder.h"

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

// A home of 500,000 files holding 200 Wine prefixes: where launchers keep
// them, in a Steam library, and where only the bounded look finds them;
// each prefix with a system.reg of Wine's size and 1,000 files in drive_c,
// beside 300,000 files of the player's own. One of the last holds the game.
struct Home {
    std::string root;
    std::vector<std::string> registries;
};

constexpr int kPrefixes = 200;
// The game lies where no launcher keeps prefixes: every place is looked at,
// the bounded look below the home last.
constexpr int kGamePrefix = 199;
constexpr int kFilesInDriveC = 1000;
constexpr int kOwnFolders = 3000;
constexpr int kFilesInOwnFolder = 100;
constexpr std::size_t kRegistryBytes = 1536 << 10;

void MakeEmptyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot make " + path);
    ::close(fd);
}

void MakeFilesIn(const std::string& folder, int count) {
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) MakeEmptyFile(folder + "/file" + std::to_string(i) + ".dll");
}

// Backslashes doubled.
std::string AsWineWritesIt(const std::string& keyPath) {
    std::string written;
    for (const char c : keyPath) written += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return written;
}

// As Wine writes it: keys of a few values each, the install record among them.
std::string RegistryText(bool withGame) {
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n";
    for (int key = 0; text.size() < kRegistryBytes; ++key) {
        text += "\n[Software\\\\Classes\\\\CLSID\\\\{" + std::to_string(100000 + key) + "}] 1700000000\n"
                "#time=1d9f0e2b3c4d5e6\n@=\"Component " + std::to_string(key) + "\"\n"
                "\"ThreadingModel\"=\"Both\"\n";
        if (withGame && key == 5000)
            text += "\n[" + AsWineWritesIt(kInstallKeyPath) + "] 1700000000\n\"" + kInstallValueName +
                    "\"=\"C:\\\\Games\\\\Racer\"\n";
    }
    return text;
}

std::string PrefixPath(const std::string& home, int i) {
    const std::string name = std::to_string(i);
    if (i < 60) return home + "/Games/game" + name;
    if (i < 100) return home + "/.local/share/bottles/bottles/bottle" + name;
    if (i < 140) return home + "/.local/share/Steam/steamapps/compatdata/" + name + "/pfx";
    if (i < 160) return home + "/.local/share/wineprefixes/" + name;
    return home + "/Apps/vendor" + std::to_string(i % 8) + "/app" + name;  // no launcher's
}

Home WriteHome() {
    Home home{(std::filesystem::temp_directory_path() / "tolvaren-bench-home").string(), {}};
    const std::string done = home.root + "/.written";
    const bool written = std::filesystem::exists(done);
    for (int i = 0; i < kPrefixes; ++i) {
        const std::string prefix = PrefixPath(home.root, i);
        home.registries.push_back(prefix + "/system.reg");
        if (written) continue;
        MakeFilesIn(prefix + "/drive_c/windows/system32", kFilesInDriveC);
        if (!WriteWholeFile(home.registries.back().c_str(), RegistryText(i == kGamePrefix).c_str()))
            throw std::runtime_error("cannot write " + home.registries.back());
    }
    if (written) return home;
    const std::string gameData = PrefixPath(home.root, kGamePrefix) + "/drive_c/Games/Racer/Data";
    std::filesystem::create_directories(gameData);
    WriteSyntheticArchive((gameData + "/common.pak").c_str(), 10, 4096);
    for (int i = 0; i < kOwnFolders; ++i)
        MakeFilesIn(home.root + "/Documents/p" + std::to_string(i / 100) + "/q" + std::to_string(i / 10 % 10) +
                        "/r" + std::to_string(i % 10),
                    kFilesInOwnFolder);
    MakeEmptyFile(done);
    return home;
}

const Home& HomeWorkload() {
    static const Home home = WriteHome();
    return home;
}

void BM_Where(benchmark::State& state) {
    const Home& home = HomeWorkload();
    for (auto _ : state) {
        const InstallationSearch search = FindInstallations(PlatformFileSystem(), {home.root.c_str()});
        if (search.found.size() != 1) throw std::runtime_error("the search did not find the one game");
    }
}

// Reading every prefix's registry whole, as any search of them must.
void BM_WhereFloor(benchmark::State& state) {
    const Home& home = HomeWorkload();
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        for (const std::string& registry : home.registries) {
            const int fd = ::open(registry.c_str(), O_RDONLY | O_CLOEXEC);
            while (fd >= 0 && ::read(fd, buffer.data(), buffer.size()) > 0) {
            }
            ::close(fd);
        }
    }
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
BENCHMARK(BM_Where)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_WhereFloor)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

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
    compare("where, 500,000 files, 200 prefixes", "BM_Where", "BM_WhereFloor");
    PrintTable("POSIX file layer (native)", rows);
    benchmark::Shutdown();
    return 0;
}
