#include "cli/command_line.h"

#include "core/extra_vehicles.h"
#include "core/vehicle_list.h"
#include "core/vehicle_list_scan.h"

namespace tolvaren {
namespace {

constexpr char kToolName[] = "tolvaren-cli";

const char kUsage[] =
    "usage: tolvaren-cli COMMAND [ARCHIVE]\n"
    "\n"
    "Switches the extra vehicles of the game archive ARCHIVE (its common.pak).\n"
    "On Windows, ARCHIVE defaults to the installed game's archive.\n"
    "  status    print \"enabled\" or \"disabled\"\n"
    "  enable    enable the extra vehicles\n"
    "  disable   disable the extra vehicles\n"
    "\n"
    "Exit codes: 0 done; 1 usage error; 2 the archive cannot be opened or\n"
    "written (not found, in use, read-only, not a disk file, write failed);\n"
    "3 the vehicle list is missing, too large, damaged or cannot be disabled;\n"
    "4 the game is not installed; 5 the output could not be written.\n"
    "On every error the archive is left as it was.\n";

class Session {
public:
    Session(std::ostream& out, std::ostream& err, FileSystem& files, Text archivePath)
        : out_(out), err_(err), files_(files), path_(std::move(archivePath)) {}

    // Answers from whatever could be read, also beside a program that holds
    // the archive or from a damaged entry, and says what is wrong besides.
    int Status() {
        ArchiveLocation location{path_};
        const ScanResult scan = ReadVehicleList(files_, path_, location);
        const Reason reason = scan.outcome.reason;
        const bool answered = scan.outcome.Done() || reason == Reason::InUse ||
                              (reason == Reason::EntryDamaged && !scan.vehicleList.empty());
        if (answered) out_ << (StateOfVehicleList(scan.vehicleList) != 0 ? "enabled" : "disabled") << '\n';
        if (scan.outcome.Done()) return kExitOk;
        Tell(scan.outcome, answered ? "note: " : "");
        return reason == Reason::InUse ? kExitOk : ExitCodeFor(reason);
    }

    int Switch(std::int32_t requestedState) {
        const Outcome outcome = SwitchArchive(files_, path_, requestedState);
        if (!outcome.Done()) return Tell(outcome);
        out_ << (requestedState != 0 ? kEnabledMessage : kDisabledMessage) << '\n';
        return kExitOk;
    }

    int Tell(const Outcome& outcome, const char* lead = "") {
        err_ << kToolName << ": " << lead << CommandLineText(outcome, path_) << '\n';
        return ExitCodeFor(outcome.reason);
    }

private:
    std::ostream& out_;
    std::ostream& err_;
    FileSystem& files_;
    Text path_;
};

int UsageError(std::ostream& err, const Text& problem) {
    err << kToolName << ": " << problem << "\n\n" << kUsage;
    return kExitUsage;
}

int Run(const std::vector<Text>& args, std::ostream& out, std::ostream& err, FileSystem& files,
        const DefaultArchivePath& defaultArchive) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return kExitOk;
    }
    if (args.empty() || args.size() > 2) return UsageError(err, "expected a command and an archive");
    const Text& command = args[0];
    if (command != "status" && command != "enable" && command != "disable")
        return UsageError(err, "unknown command \"" + command + "\"");
    if (args.size() == 1 && !defaultArchive) return UsageError(err, "no archive given");
    const Text archivePath = args.size() == 2 ? args[1] : defaultArchive();

    Session session(out, err, files, archivePath);
    if (archivePath.empty()) return session.Tell(Reason::NotInstalled);
    if (command == "status") return session.Status();
    return session.Switch(command == "enable" ? 1 : 0);
}

}  // namespace

int RunCommandLine(const std::vector<Text>& args, std::ostream& out, std::ostream& err,
                   FileSystem& files, const DefaultArchivePath& defaultArchive) {
    const int exitCode = Run(args, out, err, files, defaultArchive);
    // What the tool prints is part of its result.
    if (!out.flush()) {
        err << kToolName << ": the result could not be written to standard output.\n";
        return kExitOutputFailed;
    }
    return exitCode;
}

}  // namespace tolvaren
