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

Text BenchFile(const Text& name) {
    return Text((std::filesystem::temp_directory_path() / ("tolvaren-bench-" + name).c_str()).string());
}

// A bench that cannot set up its files cannot measure anything.
[[noreturn]] void Fail(const Text& why) { throw std::runtime_error(std::string(why)); }

// The bytes a read or a write moved, none where it failed.
std::size_t Moved(const Result<std::size_t>& bytes) { return bytes ? *bytes : 0; }

constexpr std::size_t kScanListBytes = 4096;
constexpr std::size_t kPatchListBytes = 4 << 20;
constexpr int kPatchRecords = 8;

}  // namespace

Workload WriteScanWorkload(int records) {
    return WriteSyntheticArchive(BenchFile("scan-" + DecimalText(records) + ".pak"), records,
                                 kScanListBytes);
}

Workload WritePatchWorkload() {
    return WriteSyntheticArchive(BenchFile("patch.pak"), kPatchRecords, kPatchListBytes);
}

Workload WriteSyntheticArchive(const Text& path, int records, std::size_t listBytes) {
    std::vector<ArchiveEntry> entries;
    for (int record = 0; record + 1 < records; ++record)
        entries.push_back({"Data\\Obj\\Part" + DecimalText(record) + ".dat", "x"});
    entries.push_back({kVehicleListName, SyntheticVehicleList(listBytes)});
    if (!WriteWholeFile(path, BuildArchive(entries)))
        Fail("cannot write " + path);

    Workload workload{ArchiveLocation{path}, kEntryCountBytes + kRecordBytes * records};
    const Result<VehicleListRead> list = ReadVehicleList(PlatformFileSystem(), path, workload.location);
    if (!list || list->bytes.size() != listBytes) Fail("the scan did not find the synthetic vehicle list");
    return workload;
}

void Scan(FileSystem& files, const Workload& workload) {
    ArchiveLocation location{workload.location.path};
    const Result<VehicleListRead> list = ReadVehicleList(files, location.path, location);
    if (!list || !list->problem.Done()) Fail("scan found nothing");
}

void ReadDirectoryOnce(FileSystem& files, const Workload& workload) {
    const Result<OpenedArchive> archive = OpenArchive(files, workload.location.path);
    Text directory(static_cast<std::size_t>(workload.directoryBytes), '\0');
    if (!archive || Moved(archive->file->Read(directory.data(), directory.size())) != directory.size())
        Fail("cannot read the directory");
}

void Patch(FileSystem& files, const Workload& workload, std::int32_t requestedState) {
    ArchiveLocation location = workload.location;
    if (!RewriteVehicleList(files, location, requestedState))
        Fail("patch not written");
}

void ReadAndWriteEntry(FileSystem& files, const Workload& workload) {
    const Result<OpenedArchive> archive = OpenArchive(files, workload.location.path);
    if (!archive) Fail("cannot open the archive");
    File& file = *archive->file;
    Text entry(static_cast<std::size_t>(workload.location.size), '\0');
    const std::int64_t offset = workload.location.position - 1;
    if (!file.Seek(offset).Done() || Moved(file.Read(entry.data(), entry.size())) != entry.size() ||
        !file.Seek(offset).Done() || Moved(file.Write(entry.data(), entry.size())) != entry.size() ||
        !file.Flush().Done())
        Fail("cannot read and write the entry");
}

}  // namespace tolvaren::bench
