// Arbitrary bytes as an archive: the scan, then switches in both directions,
// each finding the list where the scan did. A switch never changes the file's length, never touches a byte
// outside the entry or inside the directory, writes exactly the switched
// entry when it says it did, and then the entry reads as the requested state.
#include <algorithm>
#include <cstdint>

#include "core/in_place_rewrite.h"
#include "core/vehicle_list.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/memory_file_system.h"

using namespace tolvaren;

namespace {

std::int64_t DirectoryEnd(const Text& archive) {
    char count[4] = {};
    std::copy_n(archive.data(), std::min<std::size_t>(4, archive.size()), count);
    return EntryPosition(Int32FromLittleEndian(count), 0) - 1;
}

void CheckSwitch(const Text& before, const Text& after, const Outcome& outcome,
                 const ArchiveLocation& location, std::int32_t state) {
    FUZZ_CHECK(after.size() == before.size());
    if (!outcome.Done()) {
        FUZZ_CHECK(after == before);
        return;
    }
    FUZZ_CHECK(LocationProblem(location).Done());
    const std::size_t start = static_cast<std::size_t>(location.position) - 1;
    const std::size_t length = static_cast<std::size_t>(location.size);
    FUZZ_CHECK(static_cast<std::int64_t>(start) >= DirectoryEnd(before));
    FUZZ_CHECK(start + length <= before.size());
    Text expected = before;
    expected.replace(start, length, SwitchVehicleKeys(before.substr(start, length), state));
    FUZZ_CHECK(after == expected);
    FUZZ_CHECK(StateOfVehicleList(after.substr(start, length)) == (state != 0 ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text path = "common.pak";
    test::MemoryFileSystem files;
    files.files[path] = Text(reinterpret_cast<const char*>(data), size);

    ArchiveLocation location{path};
    const Result<VehicleListRead> list = ReadVehicleList(files, path, location);
    FUZZ_CHECK(!list || list->bytes.size() == static_cast<std::size_t>(location.size));
    FUZZ_CHECK(files.files[path].size() == size);

    for (const std::int32_t state : {1, 0, 1}) {
        const Text before = files.files[path];
        ArchiveLocation rewritten{path};
        const Outcome outcome = RewriteVehicleList(files, rewritten, state).Why();
        FUZZ_CHECK(!outcome.Done() || (rewritten.position == location.position && rewritten.size == location.size));
        CheckSwitch(before, files.files[path], outcome, location, state);
    }
    return 0;
}
