#include "cli/command_line.h"

#include <algorithm>

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
    "Without ARCHIVE the installed game is used when exactly one is found (or,\n"
    "of several, the one whose vehicle list can be read). On Windows it is looked\n"
    "up in the registry and the Steam libraries; on Linux in the registries of\n"
    "the Wine and Proton prefixes: WINEPREFIX alone when it is set, or in a Steam\n"
    "launch STEAM_COMPAT_DATA_PATH's pfx alone; else ~/.wine, the Proton prefixes\n"
    "of every Steam library, the prefixes of Lutris, Bottles, Heroic, umu and\n"
    "PlayOnLinux, and the games of the Steam libraries by their archive.\n"
    "\n"
    "Exit codes: 0 done; 1 usage error; 2 the archive cannot be opened or\n"
    "written (not found, in use or no way to tell, read-only, not a disk file,\n"
    "write failed, replaced or opened by another program meanwhile, not enough\n"
    "memory);\n"
    "3 the vehicle list is missing, too large, damaged or cannot be disabled;\n"
    "4 no installed game found, or several (give ARCHIVE);\n"
    "5 the output could not be written. A failure leaves the archive as it was,\n"
    "unless the message says it could not be put back.\n";

// What the scan of one archive lets `status` say: the state, when the bytes
// could be read at all, beside whatever is wrong.
struct Answer {
    ScanResult scan;
    bool answered;
};

// Only reads, beside whoever has the archive open.
Answer Scan(FileSystem& files, const Text& path) {
    ArchiveLocation location{path};
    Answer answer{ReadVehicleList(files, path, location, ScanAccess::OnlyReading), false};
    answer.answered = answer.scan.listRead;
    return answer;
}

const char* StateName(const Answer& answer) {
    return StateOfVehicleList(answer.scan.vehicleList) != 0 ? "enabled" : "disabled";
}

class Session {
public:
    Session(Output& out, Output& err, FileSystem& files)
        : out_(out), err_(err), files_(files) {}

    int Status(const Text& path) {
        const Answer answer = Scan(files_, path);
        if (answer.answered) out_ << StateName(answer) << '\n';
        const Outcome& outcome = answer.scan.outcome;
        if (outcome.Done()) return kExitOk;
        Tell(outcome, path, answer.answered ? "note: " : "");
        return ExitCodeFor(outcome.reason);
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
            const Answer answer = Scan(files_, installation.archivePath);
            const Outcome& outcome = answer.scan.outcome;
            out_ << Printable(installation.archivePath) << '\t' << Printable(installation.source)
                 << '\t';
            if (answer.answered) out_ << StateName(answer);
            if (answer.answered && !outcome.Done()) out_ << " (" << Label(outcome) << ')';
            if (!answer.answered) out_ << Label(outcome);
            out_ << '\n';
        }
        return kExitOk;
    }

    // The one installation found, or the one of several whose vehicle list
    // can be read (a prefix left over from an earlier install has none);
    // else empty after saying why there is none.
    Text ChooseInstallation(const InstallationSearch& search, int& exitCode) {
        Warn(search);
        if (search.found.size() == 1) return Use(search.found.front());
        if (search.found.empty()) {
            exitCode = NoneFound(search);
            return Text();
        }
        std::vector<Answer> answers;
        for (const Installation& installation : search.found)
            answers.push_back(Scan(files_, installation.archivePath));
        const auto usable = [](const Answer& answer) { return answer.answered; };
        if (std::count_if(answers.begin(), answers.end(), usable) == 1) {
            const std::size_t chosen = std::find_if(answers.begin(), answers.end(), usable) - answers.begin();
            for (std::size_t i = 0; i < answers.size(); ++i) {
                if (i == chosen) continue;
                const Installation& unusable = search.found[i];
                err_ << kToolName << ": not using " << Named(unusable) << ": "
                     << Label(answers[i].scan.outcome) << '\n';
            }
            return Use(search.found[chosen]);
        }
        err_ << kToolName << ": several installed games were found:\n";
        for (const Installation& installation : search.found)
            err_ << "  " << Named(installation) << '\n';
        err_ << "Give the archive's path"
             << (search.narrowing.empty() ? "" : ", or " + search.narrowing)
             << ". Nothing was changed.\n";
        exitCode = kExitNotInstalled;
        return Text();
    }

    // The game may read the copy Windows keeps for this user instead.
    void NoteVirtualizedCopy(const Text& path) {
        const Text copy = files_.VirtualizedCopyOf(path);
        if (!copy.empty()) Say(Reason::VirtualStoreCopy, Printable(copy));
    }

    // Names from outside (paths, the system's and the holders' words) are
    // shown without their control bytes: none can forge a line or move the
    // terminal.
    int Tell(const Outcome& outcome, const Text& path, const char* lead = "") {
        return Say({outcome.reason, Printable(outcome.detail)}, Printable(path), lead);
    }

private:
    int Say(const Outcome& printable, const Text& printablePath, const char* lead = "") {
        err_ << kToolName << ": " << lead << CommandLineText(printable, printablePath) << '\n';
        return ExitCodeFor(printable.reason);
    }
    static Text Label(const Outcome& outcome) { return Printable(ReasonLabel(outcome)); }
    static Text Named(const Installation& installation) {
        return Printable(installation.archivePath) + " (" + Printable(installation.source) + ")";
    }

    Text Use(const Installation& installation) {
        err_ << kToolName << ": using " << Named(installation) << '\n';
        return installation.archivePath;
    }

    void Warn(const InstallationSearch& search) {
        for (const Text& warning : search.warnings)
            err_ << kToolName << ": warning: " << warning << '\n';
    }
    int NoneFound(const InstallationSearch& search) {
        Text places;
        for (const Text& place : search.places)
            places += (places.empty() ? "  " : "\n  ") + Printable(place);
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

int Run(const std::vector<Text>& args, Output& out, Output& err, Session& session,
        const InstallationFinder& findInstallations) {
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
        return session.Where(findInstallations());
    }
    if (!IsArchiveCommand(command))
        return UsageError(err, "unknown command \"" + Printable(command) + "\"");
    if (args.size() > 2) return UsageError(err, "expected a command and at most one archive");

    Text path;
    if (args.size() == 2) {
        path = args[1];
    } else {
        int exitCode = kExitOk;
        path = session.ChooseInstallation(findInstallations(), exitCode);
        if (path.empty()) return exitCode;
    }
    const int exitCode = command == "status" ? session.Status(path)
                                              : session.Switch(path, command == "enable" ? 1 : 0);
    session.NoteVirtualizedCopy(path);
    return exitCode;
}

}  // namespace

int RunCommandLine(const std::vector<Text>& args, Output& out, Output& err,
                   FileSystem& files, const InstallationFinder& findInstallations) {
    Session session(out, err, files);
    return session.Finish(Run(args, out, err, session, findInstallations));
}

}  // namespace tolvaren
