#include "cli/command_line.h"

#include "core/confirmations.h"
#include "core/in_place_rewrite.h"
#include "core/vehicle_list.h"

namespace tolvaren {
namespace {

const char kUsage[] =
    "usage: tolvaren-cli status|enable|disable [ARCHIVE]\n"
    "       tolvaren-cli where\n"
    "       tolvaren-cli --help | --version\n"
    "\n"
    "Switches the extra vehicles of the game archive ARCHIVE (its Data/common.pak).\n"
    "  status    print \"enabled\" or \"disabled\"\n"
    "  enable    enable the extra vehicles\n"
    "  disable   disable the extra vehicles\n"
    "  where     list every installed game found, with its state\n"
    "\n"
    "Without ARCHIVE the installed game is used when exactly one is found (or, of\n"
    "several, the one whose vehicle list can be read). On Windows it is looked up in\n"
    "the registry and the Steam libraries; on Linux in the registries of the Wine\n"
    "and Proton prefixes: WINEPREFIX alone when it is set; in a Steam launch the\n"
    "game's folder STEAM_COMPAT_INSTALL_PATH names, else STEAM_COMPAT_DATA_PATH's\n"
    "pfx alone; else ~/.wine, the Proton prefixes of every Steam library, the\n"
    "prefixes of Lutris, Bottles, Heroic, umu, PlayOnLinux, winetricks, CrossOver,\n"
    "PortProton, Faugus and Minigalaxy, the games of the Steam libraries and of\n"
    "Heroic's and Minigalaxy's lists by their archive, and where those hold none,\n"
    "any other prefix a few folders down the home and the drives mounted in\n"
    "/run/media/$USER, /media/$USER and /mnt.\n"
    "\n"
    "Exit codes: 0 done; 1 usage error; 2 the archive cannot be opened or\n"
    "written (not found, in use or no way to tell, read-only, not a disk file,\n"
    "write failed, replaced or opened by another program meanwhile, not enough\n"
    "memory);\n"
    "3 the vehicle list is missing, too large, damaged or cannot be disabled;\n"
    "4 no installed game found, or several (give ARCHIVE);\n"
    "5 the output could not be written. A failure leaves the archive as it was,\n"
    "unless the message says otherwise.\n";

// Only reads, beside whoever has the archive open: the list as far as it
// could be read, or why none of it could.
Result<VehicleListRead> Scan(FileSystem& files, const Text& path) {
    ArchiveLocation location{path};
    return ReadVehicleList(files, path, location, ScanAccess::OnlyReading);
}

const char* StateName(const VehicleListRead& list) {
    return StateOfVehicleList(list.bytes) != 0 ? "enabled" : "disabled";
}

// How else to pick one of several installations.
#ifdef _WIN32
constexpr char kNarrowing[] = "";
#else
constexpr char kNarrowing[] = ", or set WINEPREFIX to the prefix of the one to use";
#endif

class Session {
public:
    Session(Output& out, Output& err, FileSystem& files) : out_(out), err_(err), files_(files) {}

    int Status(const Text& path) {
        const Result<VehicleListRead> list = Scan(files_, path);
        if (!list) return Tell(list.Why(), path);
        out_ << StateName(*list) << '\n';
        if (list->problem.Done()) return kExitOk;
        return Tell(list->problem, path, "note: ");
    }

    int Switch(const Text& path, std::int32_t requestedState) {
        ArchiveLocation location{path};
        const Result<Switched> switched = RewriteVehicleList(files_, location, requestedState);
        if (!switched) return Tell(switched.Why(), path);
        if (!switched->caveat.Done()) Tell(switched->caveat, path);
        switched_ = true;
        out_ << (requestedState != 0 ? kEnabledMessage : kDisabledMessage) << '\n';
        return kExitOk;
    }

    // What the tool prints is part of its result.
    int Finish(int exitCode) {
        if (out_.Flush()) return exitCode;
        err_ << kToolName << ": the result could not be written to standard output"
             << (switched_ ? "; the archive was switched all the same.\n" : ".\n");
        return kExitOutputFailed;
    }

    // One line an installation: archive, where its record was, its state.
    int Where(const InstallationSearch& search) {
        Warn(search);
        if (search.found.empty()) return NoneFound(search);
        for (const Installation& installation : search.found) {
            const Result<VehicleListRead> list = Scan(files_, installation.archivePath);
            out_ << Shown(installation.archivePath) << '\t' << Shown(SourceText(installation))
                 << '\t';
            if (!list) out_ << Label(list.Why());
            if (list) out_ << StateName(*list);
            if (list && !list->problem.Done()) out_ << " (" << Label(list->problem) << ')';
            out_ << '\n';
        }
        return kExitOk;
    }

    // The one installation found, or the one of several whose vehicle list
    // can be read (a prefix left over from an earlier install has none);
    // else NotInstalled, after saying why there is none.
    Result<Text> ChooseInstallation(const InstallationSearch& search) {
        Warn(search);
        if (search.found.size() == 1) return Use(search.found.front());
        if (search.found.empty()) {
            NoneFound(search);
            return Reason::NotInstalled;
        }
        List<Outcome> unusable;
        std::size_t usable = 0, chosen = 0;
        for (std::size_t i = 0; i < search.found.size(); ++i) {
            const Result<VehicleListRead> list = Scan(files_, search.found[i].archivePath);
            unusable.push_back(list.Why());
            if (list) chosen = i, ++usable;
        }
        if (usable == 1) {
            for (std::size_t i = 0; i < search.found.size(); ++i)
                if (i != chosen)
                    err_ << kToolName << ": not using " << Named(search.found[i]) << ": "
                         << Label(unusable[i]) << '\n';
            return Use(search.found[chosen]);
        }
        err_ << kToolName << ": several installed games were found:\n";
        for (const Installation& installation : search.found)
            err_ << "  " << Named(installation) << '\n';
        err_ << "Give the archive's path" << kNarrowing << ". Nothing was changed.\n";
        return Reason::NotInstalled;
    }

    // The game may read the copy Windows keeps for this user instead.
    void NoteVirtualizedCopy(const Text& path) {
        const Text copy = files_.VirtualizedCopyOf(path);
        if (!copy.empty()) Tell(Reason::VirtualStoreCopy, copy);
    }

    // Names from outside (paths, the system's and the holders' words) are
    // shown without their control bytes: none can forge a line or move the
    // terminal.
    int Tell(const Outcome& outcome, const Text& path, const char* lead = "") {
        Outcome printable = outcome;
        printable.detail = Shown(outcome.detail);
        return Say(printable, Shown(path), lead);
    }

    // Text from the platform, in the encoding its names are in.
    Text Shown(const Text& text) const {
        return Printable(text, files_.NamesAreUtf8() ? Encoding::Utf8 : Encoding::CodePage);
    }

private:
    int Say(const Outcome& printable, const Text& printablePath, const char* lead = "") {
        err_ << kToolName << ": " << lead << ToolText(printable, printablePath) << '\n';
        return ExitCodeFor(printable.reason);
    }
    Text Label(const Outcome& outcome) { return Shown(ReasonLabel(outcome)); }
    Text Named(const Installation& installation) {
        return Shown(installation.archivePath) + " (" + Shown(SourceText(installation)) + ")";
    }

    Text Use(const Installation& installation) {
        err_ << kToolName << ": using " << Named(installation) << '\n';
        return installation.archivePath;
    }

    void Warn(const InstallationSearch& search) {
        for (const SearchProblem& problem : search.problems)
            err_ << kToolName << ": warning: " << Shown(ProblemText(problem)) << '\n';
    }
    int NoneFound(const InstallationSearch& search) {
        Text places = search.noHome ? "  no home folder: HOME is not set" : "";
        for (const Text& place : search.places)
            places += (places.empty() ? "  " : "\n  ") + Shown(place);
        return Say(Reason::NotInstalled, places);
    }

    Output& out_;
    Output& err_;
    FileSystem& files_;
    bool switched_ = false;
};

int UsageError(Output& err, const Text& problem) {
    err << kToolName << ": " << problem << "\n\n" << kUsage;
    return kExitUsage;
}

bool IsArchiveCommand(const Text& command) {
    return command == "status" || command == "enable" || command == "disable";
}

int Run(const List<Text>& args, Output& out, Output& err, FileSystem& files, Session& session,
        InstallationFinder findInstallations) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return kExitOk;
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << kToolName << ' ' << TOLVAREN_VERSION << '\n';
        return kExitOk;
    }
    if (args.empty()) return UsageError(err, "expected a command");
    const Text& command = args[0];
    if (command == "where") {
        if (args.size() != 1) return UsageError(err, "where takes no archive");
        return session.Where(findInstallations(files));
    }
    if (!IsArchiveCommand(command))
        return UsageError(err, "unknown command \"" + session.Shown(command) + "\"");
    if (args.size() > 2) return UsageError(err, "expected a command and at most one archive");

    Text path;
    if (args.size() == 2) {
        path = args[1];
    } else {
        Result<Text> chosen = session.ChooseInstallation(findInstallations(files));
        if (!chosen) return ExitCodeFor(chosen.Why().reason);
        path = std::move(*chosen);
    }
    const int exitCode = command == "status" ? session.Status(path)
                                              : session.Switch(path, command == "enable" ? 1 : 0);
    session.NoteVirtualizedCopy(path);
    return exitCode;
}

}  // namespace

int RunCommandLine(const List<Text>& args, Output& out, Output& err, FileSystem& files,
                   InstallationFinder findInstallations) {
    Session session(out, err, files);
    return session.Finish(Run(args, out, err, files, session, findInstallations));
}

}  // namespace tolvaren
