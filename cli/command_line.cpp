#include "cli/command_line.h"

#include "core/archive_access.h"
#include "core/extra_vehicles.h"
#include "core/vehicle_list.h"
#include "core/vehicle_list_scan.h"

namespace tolvaren {
namespace {

const char kUsage[] =
    "usage: tolvaren-cli COMMAND [ARCHIVE]\n"
    "\n"
    "Switches the extra vehicles of the game archive ARCHIVE (its common.pak).\n"
    "On Windows, ARCHIVE defaults to the installed game's archive.\n"
    "  status    print \"enabled\" or \"disabled\"\n"
    "  enable    enable the extra vehicles\n"
    "  disable   disable the extra vehicles\n"
    "\n"
    "Exit codes: 0 done, 1 usage error, 2 archive cannot be opened or changed,\n"
    "3 archive holds no vehicle list.\n";

const char* DescribeAccessProblem(FileError error) {
    switch (error) {
        case FileError::InvalidPath: return "the path is not a usable archive path";
        case FileError::NotFound: return "it does not exist";
        case FileError::InUse: return "it is in use by another program";
        case FileError::AccessDenied: return "it is read-only or access is denied";
        case FileError::Other: return "it cannot be opened";
        case FileError::None: break;
    }
    return "it no longer holds the whole vehicle list, or the write failed";
}

FileError ProbeWriteAccess(FileSystem& files, const Text& path) {
    const OpenedArchive archive = OpenArchive(files, path);
    return archive.writable ? FileError::None : archive.readWriteError;
}

class Session {
public:
    Session(std::ostream& out, std::ostream& err, FileSystem& files, Text archivePath)
        : out_(out), err_(err), files_(files) {
        location_.path = std::move(archivePath);
    }

    int Status() {
        Text vehicleList;
        if (const int failed = Scan(vehicleList)) return failed;
        out_ << (StateOfVehicleList(vehicleList) != 0 ? "enabled" : "disabled") << '\n';
        return kExitOk;
    }

    int Switch(std::int32_t requestedState) {
        Text vehicleList;
        if (const int failed = Scan(vehicleList)) return failed;
        switch (SetExtraVehicles(files_, location_, requestedState)) {
            case PatchOutcome::Written:
                out_ << (requestedState != 0 ? kEnabledMessage : kDisabledMessage) << '\n';
                return kExitOk;
            case PatchOutcome::NoVehicleList:
                return NoVehicleList();
            case PatchOutcome::NotWritable:
                break;
        }
        return CannotChange("cannot change", ProbeWriteAccess(files_, location_.path));
    }

private:
    // Finds the vehicle list; 0, or the exit code that says why not.
    int Scan(Text& vehicleList) {
        {  // opened and closed at once: the archive is never shared, not even with ourselves
            const OpenedArchive archive = OpenArchive(files_, location_.path);
            if (!archive.file) return CannotChange("cannot open", archive.readWriteError);
        }
        vehicleList = ReadVehicleList(files_, location_.path, location_);
        return HoldsVehicleList(location_) ? 0 : NoVehicleList();
    }
    int CannotChange(const char* what, FileError why) {
        err_ << "tolvaren-cli: " << what << " the archive \"" << location_.path
             << "\": " << DescribeAccessProblem(why) << ". The archive was not changed.\n";
        return kExitNotChangeable;
    }
    int NoVehicleList() {
        err_ << "tolvaren-cli: the archive \"" << location_.path
             << "\" holds no vehicle list. The archive was not changed.\n";
        return kExitNoVehicleList;
    }

    std::ostream& out_;
    std::ostream& err_;
    FileSystem& files_;
    ArchiveLocation location_;
};

int UsageError(std::ostream& err, const char* problem) {
    err << "tolvaren-cli: " << problem << "\n\n" << kUsage;
    return kExitUsage;
}

}  // namespace

int RunCommandLine(const std::vector<Text>& args, std::ostream& out, std::ostream& err,
                   FileSystem& files, const DefaultArchivePath& defaultArchive) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return kExitOk;
    }
    if (args.empty() || args.size() > 2) return UsageError(err, "expected a command and an archive");
    const Text& command = args[0];
    if (command != "status" && command != "enable" && command != "disable")
        return UsageError(err, ("unknown command \"" + command + "\"").c_str());
    Text archivePath = args.size() == 2 ? args[1] : Text();
    if (args.size() == 1 && defaultArchive) archivePath = defaultArchive();
    if (archivePath.empty()) return UsageError(err, "no archive given");

    Session session(out, err, files, std::move(archivePath));
    if (command == "status") return session.Status();
    return session.Switch(command == "enable" ? 1 : 0);
}

}  // namespace tolvaren
