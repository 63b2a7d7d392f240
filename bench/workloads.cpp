#include "bench/workloads.h"

#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/in_place_rewrite.h"
#include "platform/file_system.h"
#include "tools/archive_builder.h"

namespace tolvaren::bench {
namespace {

// Lines of a vehicle list, about one in four carrying a switched key; as in
// a real list, one [Team KTM] section.
Text SyntheticVehicleList(std::size_t bytes) {
    static const char* const kLines[] = {
        ";[Team Stock]\r\n", ";logo=red\r\n", "model=racer_450\r\n", ";Sub=2\r\n",
        "wheelbase=1.25\r\n", " [Yamaha Works]\r\n", "mass=180\r\n", "engine=four_stroke\r\n",
        ";sub=3\r\n", "gear_ratio=2.8\r\n", " Logo=blue\r\n", "suspension=long_travel\r\n",
        ";[Suzuki Works]\r\n", "colour=blue\r\n", "[KTM Stock]\r\n", "rider=standard\r\n",
    };
    Text list = ";[Team KTM]\r\n";
    list.reserve(bytes);
    for (std::size_t line = 0; list.size() < bytes; ++line) list += kLines[line % std::size(kLines)];
    list.resize(bytes, ' ');
    return list;
}

Text BenchFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("tolvaren-bench-" + name)).string();
}

constexpr std::size_t kScanListBytes = 4096;
constexpr std::size_t kPatchListBytes = 4 << 20;
constexpr int kPatchRecords = 8;

}  // namespace

Workload WriteScanWorkload(int records) {
    return WriteSyntheticArchive(BenchFile("scan-" + std::to_string(records) + ".pak"), records,
                                 kScanListBytes);
}

Workload WritePatchWorkload() {
    return WriteSyntheticArchive(BenchFile("patch.pak"), kPatchRecords, kPatchListBytes);
}

Workload WriteSyntheticArchive(const Text& path, int records, std::size_t listBytes) {
    std::vector<ArchiveEntry> entries;
    for (int record = 0; record + 1 < records; ++record)
        entries.push_back({"Data\\Obj\\Part" + std::to_string(record) + ".dat", "x"});
    entries.push_back({kVehicleListName, SyntheticVehicleList(listBytes)});
    if (!WriteWholeFile(path, BuildArchive(entries)))
        throw std::runtime_error("cannot write " + path);

    Workload workload{ArchiveLocation{path}, kEntryCountBytes + kRecordBytes * records};
    if (ReadVehicleList(PlatformFileSystem(), path, workload.location).vehicleList.size() != listBytes)
        throw std::runtime_error("the scan did not find the synthetic vehicle list");
    return workload;
}

void Scan(FileSystem& files, const Workload& workload) {
    ArchiveLocation location{workload.location.path};
    if (!ReadVehicleList(files, location.path, location).outcome.Done())
        throw std::runtime_error("scan found nothing");
}

void ReadDirectoryOnce(FileSystem& files, const Workload& workload) {
    const OpenedArchive archive = OpenArchive(files, workload.location.path);
    Text directory(static_cast<std::size_t>(workload.directoryBytes), '\0');
    if (!archive.file ||
        archive.file->Read(directory.data(), directory.size()) != directory.size())
        throw std::runtime_error("cannot read the directory");
}

void Patch(FileSystem& files, const Workload& workload, std::int32_t requestedState) {
    ArchiveLocation location = workload.location;
    if (!RewriteVehicleList(files, location, requestedState))
        throw std::runtime_error("patch not written");
}

void ReadAndWriteEntry(FileSystem& files, const Workload& workload) {
    const OpenedArchive archive = OpenArchive(files, workload.location.path);
    Text entry(static_cast<std::size_t>(workload.location.size), '\0');
    const std::int64_t offset = workload.location.position - 1;
    if (!archive.file || !archive.file->Seek(offset) ||
        archive.file->Read(entry.data(), entry.size()) != entry.size() ||
        !archive.file->Seek(offset) ||
        archive.file->Write(entry.data(), entry.size()) != entry.size() || !archive.file->Flush())
        throw std::runtime_error("cannot read and write the entry");
}

}  // namespace tolvaren::bench
