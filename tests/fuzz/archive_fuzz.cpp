// Arbitrary bytes as an archive: the scan, then the patch in both directions.
// The patch never changes the file's length or any byte outside the entry,
// and writes exactly the switched entry when it says it did.
#include <cstdint>

#include "core/extra_vehicles.h"
#include "core/vehicle_list.h"
#include "core/vehicle_list_scan.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/memory_file_system.h"

using namespace tolvaren;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text path = "common.pak";
    test::MemoryFileSystem files;
    files.files[path] = Text(reinterpret_cast<const char*>(data), size);

    ArchiveLocation location{path};
    const Text list = ReadVehicleList(files, path, location);
    FUZZ_CHECK(list.empty() || list.size() == static_cast<std::size_t>(location.size));
    FUZZ_CHECK(files.files[path].size() == size);

    for (const std::int32_t state : {1, 0, 1}) {
        const Text before = files.files[path];
        const PatchOutcome outcome = SetExtraVehicles(files, location, state);
        const Text& after = files.files[path];
        FUZZ_CHECK(after.size() == before.size());
        if (outcome != PatchOutcome::Written) {
            FUZZ_CHECK(after == before);
            continue;
        }
        FUZZ_CHECK(HoldsVehicleList(location));
        const std::size_t start = static_cast<std::size_t>(location.position) - 1;
        const std::size_t length = static_cast<std::size_t>(location.size);
        FUZZ_CHECK(start + length <= before.size());
        Text expected = before;
        expected.replace(start, length, SwitchVehicleKeys(before.substr(start, length), state));
        FUZZ_CHECK(after == expected);
    }
    return 0;
}
