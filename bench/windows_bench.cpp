// The scan and the patch on the Win32 file layer, each beside its floor
// measured in the same run. A plain timing loop: the median of repeated runs.
#include <algorithm>
#include <chrono>
#include <functional>

#include "bench/report.h"
#include "bench/workloads.h"
#include "platform/file_system.h"

namespace tolvaren::bench {
namespace {

double MedianMicros(const std::function<void()>& operation) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> samples;
    const auto start = Clock::now();
    while (samples.size() < 15 ||
           (samples.size() < 2000 && Clock::now() - start < std::chrono::milliseconds(700))) {
        const auto before = Clock::now();
        operation();
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
    }
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

}  // namespace
}  // namespace tolvaren::bench

int main() {
    using namespace tolvaren;
    using namespace tolvaren::bench;
    FileSystem& files = PlatformFileSystem();
    std::vector<Comparison> rows;
    for (int records : {1000, 10000, 100000}) {
        const Workload workload = WriteScanWorkload(records);
        rows.push_back({"scan, " + std::to_string(records) + " records",
                        MedianMicros([&] { Scan(files, workload); }),
                        MedianMicros([&] { ReadDirectoryOnce(files, workload); })});
    }
    const Workload patch = WritePatchWorkload();
    std::int32_t requested = 1;
    rows.push_back({"patch, 4 MiB vehicle list",
                    MedianMicros([&] {
                        Patch(files, patch, requested);
                        requested = 1 - requested;
                    }),
                    MedianMicros([&] { ReadAndWriteEntry(files, patch); })});
    PrintTable("Win32 file layer (wine64)", rows);
    return 0;
}
