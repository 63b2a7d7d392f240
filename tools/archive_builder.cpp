#include "tools/archive_builder.h"

#include <fstream>
#include <iterator>
#include <string>

#include "core/archive.h"

namespace tolvaren {

Text EncodeInt32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const char bytes[] = {static_cast<char>(bits & 0xFF), static_cast<char>(bits >> 8 & 0xFF),
                          static_cast<char>(bits >> 16 & 0xFF), static_cast<char>(bits >> 24 & 0xFF)};
    return Text(bytes, sizeof bytes);
}

Text EncodeRecord(const Text& nameField, std::int32_t offset, std::int32_t size) {
    Text field = nameField.substr(0, kNameFieldBytes);
    field.resize(kNameFieldBytes, '\0');
    return field + EncodeInt32(offset) + EncodeInt32(size);
}

Text BuildArchive(const std::vector<ArchiveEntry>& entries) {
    Text directory = EncodeInt32(static_cast<std::int32_t>(entries.size()));
    Text data;
    for (const ArchiveEntry& entry : entries) {
        directory += EncodeRecord(entry.name, static_cast<std::int32_t>(data.size()),
                                  static_cast<std::int32_t>(entry.bytes.size()));
        data += entry.bytes;
    }
    return directory + data;
}

Text DemoVehicleList() {
    return "; Demo vehicle list, made up for trying the switch\r\n"
           "[Stock Racer]\r\n"
           "model=racer_a\r\n"
           "logo=stock\r\n"
           "sub=0\r\n"
           "\r\n"
           ";[Team KTM]\r\n"
           ";model=team_a\r\n"
           ";logo=red\r\n"
           ";Sub=2\r\n"
           "\r\n"
           ";[Yamaha Works]\r\n"
           ";Logo=blue\r\n"
           ";sub=3\r\n"
           "\r\n"
           ";[Suzuki Works]\r\n"
           ";logo=green\r\n"
           ";Sub=4\r\n";
}

Text DemoArchive() {
    return BuildArchive({
        {"Data\\Gfx\\Menu.txt", "title=Demo Menu\r\nbackground=grey\r\n"},
        {"Data\\Veh\\Vehicles.dat", DemoVehicleList()},
        {"Data\\Sfx\\Engine.txt", "idle=800\r\nredline=11000\r\n"},
        {"Data\\Trk\\Tracks.txt", Text("track=dunes\0track=canyon\0", 26)},
    });
}

bool WriteWholeFile(const Text& path, const Text& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

Text ReadWholeFile(const Text& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Text(bytes);
}

}  // namespace tolvaren
