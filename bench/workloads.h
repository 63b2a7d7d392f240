#pragma once
// Synthetic archives and the operations measured on them, each beside the
// plainest file access that does the same I/O (its floor).
#include <cstdint>

#include "core/archive.h"

namespace tolvaren::bench {

struct Workload {
    ArchiveLocation location;      // as the scan leaves it
    std::int64_t directoryBytes;   // entry count and every record
};

// Writes an archive of `records` directory records with the vehicle list,
// `listBytes` long with keys spread through it, as the last record.
Workload WriteSyntheticArchive(const Text& path, int records, std::size_t listBytes);

// The archives both benchmark programs time, in the temporary folder: a
// 4 KiB list as the last of `records` records, and a 4 MiB list.
Workload WriteScanWorkload(int records);
Workload WritePatchWorkload();

// The scan, from opening to closing the archive.
void Scan(FileSystem& files, const Workload& workload);
// Opening, one read of the whole directory, closing.
void ReadDirectoryOnce(FileSystem& files, const Workload& workload);

// The in-place rewrite, switching to `requestedState`.
void Patch(FileSystem& files, const Workload& workload, std::int32_t requestedState);
// Opening, one read and one write of the entry's bytes, flushing them to
// the disk as a switch does, closing.
void ReadAndWriteEntry(FileSystem& files, const Workload& workload);

}  // namespace tolvaren::bench
