#pragma once
// The table `make bench` prints: each operation beside its floor.
#include <cstdio>
#include <string>
#include <vector>

namespace tolvaren::bench {

struct Comparison {
    std::string what;
    double operationMicros;
    double floorMicros;
};

inline void PrintTable(const char* title, const std::vector<Comparison>& rows) {
    std::printf("\n%s\n", title);
    std::printf("%-34s %14s %14s %8s\n", "operation", "time (us)", "floor (us)", "ratio");
    for (const Comparison& row : rows)
        std::printf("%-34s %14.1f %14.1f %8.2f\n", row.what.c_str(), row.operationMicros,
                    row.floorMicros, row.operationMicros / row.floorMicros);
}

}  // namespace tolvaren::bench
