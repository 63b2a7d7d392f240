#include "cli/tool_texts.h"

#include <string_view>

#include "core/file.h"

namespace tolvaren {
namespace {

// "{path}" stands for the archive's path (for NotInstalled: where it
// looked; for NotAPrefix: the folder), "{detail}" for what the platform
// told, "{holder}" for it in brackets when the platform named who holds the
// archive, "{cause}" for what stopped a write (by default: the disk may be
// full); "{file limit}" and "{line limit}" for the search's limits in MiB.
struct ReasonTexts {
    Reason reason;
    const char* label;  // a few words, for lists
    const char* text;
    ExitCode exitCode;
};

constexpr ReasonTexts kTexts[] = {
    {Reason::NotInstalled, "not installed",
     "the game is not installed: no usable install record was found. Looked in:\n{path}\nGive the "
     "archive's path. Nothing was changed.",
     kExitNotInstalled},
    {Reason::ArchiveNotFound, "archive not found",
     "the game archive {path} was not found. Nothing was changed.",
     kExitNotChangeable},
    {Reason::InUse, "in use{holder}",
     "the game archive {path} is in use by another program{holder}. Close the game and try again. "
     "Nothing was changed.",
     kExitNotChangeable},
    {Reason::HeldByThisProcess, "open in this tool itself",
     "the game archive {path} is open in this tool itself, through a file it was given (a "
     "redirection such as < or 3<). Run it without redirecting the archive. Nothing was changed.",
     kExitNotChangeable},
    {Reason::HoldersUnknown, "cannot tell whether it is in use",
     "cannot tell whether another program has the game archive {path} open: {detail}. Run "
     "tolvaren-cli as the archive's owner, or as root. Nothing was changed.",
     kExitNotChangeable},
    {Reason::ArchiveReplaced, "replaced while being switched",
     "the game archive {path} was replaced by another file while it was being switched; the file "
     "now at that path was not changed. Run the same command again to switch it.",
     kExitNotChangeable},
    {Reason::SwitchStopped, "another program got in during the switch",
     "another program opened or changed the game archive {path} while it was being "
     "switched{holder}, so nothing more was written: its vehicle list still reads as before. Run "
     "the same command again once that program is done to finish the switch.",
     kExitNotChangeable},
    {Reason::OpenedDuringLastWrite, "another program got in during the last write",
     "the game archive {path} was switched, but another program opened or changed it while the "
     "last bytes were written{holder}, and may have changed them since. Once that program is done, "
     "run status to see the archive's state.",
     kExitNotChangeable},
    {Reason::AccessDenied, "read-only or access denied",
     "the game archive {path} is read-only or access to it is denied. Make it writable or run as a "
     "user who may write it. Nothing was changed.",
     kExitNotChangeable},
    {Reason::ChangeRefused, "Windows refused the change",
     "Windows refused to let this tool change the game archive {path}, as security software such as "
     "Controlled Folder Access in Windows Security does: the archive is there and can be read. Allow "
     "tolvaren-cli through that protection and try again. Nothing was changed.",
     kExitNotChangeable},
    {Reason::ReadOnlyFile, "marked read-only",
     "the game archive {path} is marked read-only. Clear its read-only attribute and try again. "
     "Nothing was changed.",
     kExitNotChangeable},
    {Reason::NotElevated, "needs administrator rights",
     "only an administrator may change the game archive {path}. Run tolvaren-cli in a command "
     "prompt opened with \"Run as administrator\". Nothing was changed.",
     kExitNotChangeable},
    {Reason::NotADiskFile, "not a disk file",
     "{path} is not a file on a disk (a folder, pipe or device). Nothing was changed.",
     kExitNotChangeable},
    {Reason::CannotOpen, "cannot be opened",
     "the game archive {path} could not be opened. Nothing was changed.",
     kExitNotChangeable},
    {Reason::WriteProtected, "the medium is write-protected",
     "the game archive {path} lies on a write-protected medium. Nothing was changed.",
     kExitNotChangeable},
    {Reason::ReadOnlyDrive, "the drive is read-only",
     "the game archive {path} lies on a read-only drive or file system. Nothing was changed.",
     kExitNotChangeable},
    {Reason::DriveUnavailable, "the drive is not available",
     "the drive that holds the game archive {path} is not available. Nothing was changed.",
     kExitNotChangeable},
    {Reason::NetworkUnavailable, "the network location is not available",
     "the network location that holds the game archive {path} is not available. Nothing was "
     "changed.",
     kExitNotChangeable},
    {Reason::ShareNotWritable, "the share does not allow writing",
     "the game archive {path} lies on a network share that does not let you change it; "
     "administrator rights on this computer do not reach a share. Nothing was changed.",
     kExitNotChangeable},
    {Reason::OnlineOnly, "an online-only copy of a synced folder",
     "the game archive {path} is an online-only copy in a synced folder that cannot be fetched "
     "now. Make it always available on this device. Nothing was changed.",
     kExitNotChangeable},
    {Reason::BlockedBySecurity, "blocked by security software",
     "security software blocked the game archive {path}. Nothing was changed.",
     kExitNotChangeable},
    {Reason::DiskFull, "the disk is full",
     "the disk that holds the game archive {path} is full. Nothing was changed.",
     kExitNotChangeable},
    {Reason::FileSizeLimit, "a file-size limit stopped it",
     "a file-size limit set on this process stops it from writing the game archive {path}. Nothing "
     "was changed.",
     kExitNotChangeable},
    {Reason::PlatformError, "{detail}",
     "the game archive {path} could not be used: {detail}. Nothing was changed.",
     kExitNotChangeable},
    {Reason::NoVehicleList, "no vehicle list",
     "the game archive {path} holds no vehicle list to change. Nothing was changed.",
     kExitListProblem},
    {Reason::EntryTooLarge, "vehicle list too large",
     "the vehicle list in {path} is too large to change. Nothing was changed.",
     kExitListProblem},
    {Reason::EntryDamaged, "directory damaged",
     "the directory of the game archive {path} is damaged: the vehicle list's record points "
     "outside the data. Nothing was changed.",
     kExitListProblem},
    {Reason::CannotDisable, "cannot be disabled",
     "the vehicle list in {path} has no [Team KTM] section to comment out, so the extra vehicles "
     "cannot be disabled. Nothing was changed.",
     kExitListProblem},
    {Reason::WriteFailedPutBack, "write failed, put back",
     "the game archive {path} could not be written ({cause}). It was put back as it was.",
     kExitNotChangeable},
    {Reason::WriteFailedNotPutBack, "write failed, not put back",
     "the game archive {path} could not be written, nor put back as it was ({cause}): its vehicle "
     "list may be partly switched. Free some space on the disk, or mend what stopped the write, "
     "and run the same command again to finish the switch.",
     kExitNotChangeable},
    {Reason::OutOfMemory, "not enough memory",
     "there is not enough memory to handle the vehicle list in {path}. Nothing was changed.",
     kExitNotChangeable},
    {Reason::VirtualStoreCopy, "an older copy in the VirtualStore",
     "note: Windows also keeps an older copy of the game archive for this user, {path}; when the "
     "game does not run as an administrator it may read that copy instead. It was not changed.",
     kExitOk},
    {Reason::OthersUnseen, "processes of other users not looked at",
     "note: {detail} processes of other users could not be looked at, so a game run by another "
     "user would not be seen.",
     kExitOk},
    {Reason::OthersHidden, "processes of other users hidden",
     "note: /proc hides the processes of other users (hidepid), so a game run by another user "
     "would not be seen.",
     kExitOk},
    // Only the search meets these: said after what it skipped.
    {Reason::Unreadable, "unreadable", "{detail}", kExitNotInstalled},
    {Reason::FileTooLarge, "too large", "larger than {file limit} MiB, far more than such a file holds",
     kExitNotInstalled},
    {Reason::LineTooLong, "a line too long", "a line is longer than {line limit} MiB", kExitNotInstalled},
    {Reason::NotARegistry, "not a Wine registry",
     "not a Wine registry file (its first line is not \"WINE REGISTRY Version 2\")",
     kExitNotInstalled},
    {Reason::Malformed, "malformed", "{detail}", kExitNotInstalled},
    {Reason::NotSpellable, "letters the code page cannot spell",
     "a name there has letters that Windows's language for non-Unicode programs (the system "
     "locale) cannot spell: choose a system locale that spells them, or use Windows 10 version "
     "1903 or later",
     kExitNotInstalled},
    {Reason::NotOnADrive, "not on a drive",
     "the recorded install folder \"{detail}\" is not on a drive",
     kExitNotInstalled},
    {Reason::TooManyFolders, "too many folders",
     "the look for other Wine prefixes stopped after {detail} folders", kExitNotInstalled},
    {Reason::NotAPrefix, "not a Wine prefix",
     "{detail} {path} is not a Wine prefix: it holds no system.reg",
     kExitNotInstalled},
};

// What a failed write most often means, when the platform does not say.
constexpr char kUnknownWriteCause[] = "the disk may be full";

const ReasonTexts* TextsFor(Reason reason) {
    for (const ReasonTexts& texts : kTexts)
        if (texts.reason == reason) return &texts;
    return nullptr;  // Done: nothing to explain
}

Text Filled(std::string_view text, const Outcome& outcome, const Text& path) {
    const Text holder = outcome.detail.empty() ? Text() : " (" + outcome.detail + ")";
    const Text cause = outcome.cause == Reason::Done ? Text(kUnknownWriteCause)
                                                     : ReasonLabel({outcome.cause, outcome.detail});
    return Fill(text, {{"{path}", path},
                       {"{detail}", outcome.detail},
                       {"{holder}", holder},
                       {"{cause}", cause},
                       {"{file limit}", DecimalText(kMaxSearchedFileBytes >> 20)},
                       {"{line limit}", DecimalText(kMaxRegistryLineBytes >> 20)}});
}

}  // namespace

Text ToolText(const Outcome& outcome, const Text& path) {
    const ReasonTexts* texts = TextsFor(outcome.reason);
    return texts != nullptr ? Filled(texts->text, outcome, path) : Text();
}

Text ReasonLabel(const Outcome& outcome) {
    const ReasonTexts* texts = TextsFor(outcome.reason);
    return texts != nullptr ? Filled(texts->label, outcome, Text()) : Text();
}

ExitCode ExitCodeFor(Reason reason) {
    const ReasonTexts* texts = TextsFor(reason);
    return texts != nullptr ? texts->exitCode : kExitOk;
}

Text ProblemText(const SearchProblem& problem) {
    if (problem.why.reason == Reason::NotAPrefix) return ToolText(problem.why, problem.place);
    const char* lead = problem.kind == SearchProblem::Kind::ReadInPart ? "reading " : "skipping ";
    const Text file = problem.file.empty() ? Text() : problem.file + ": ";
    return lead + problem.place + ": " + file + ToolText(problem.why, Text());
}

Text SourceText(const Installation& installation) {
    switch (installation.source) {
        case Source::Prefix: break;
        case Source::SteamLibrary: return "Steam library " + installation.place;
        case Source::SteamLaunch: return "the game's folder in a Steam launch";
        case Source::ListedFolder: return "listed in " + installation.place;
        case Source::Registry32: return "registry, 32-bit view";
        case Source::RegistryNative: return "registry, native view";
        case Source::VirtualStore: return "registry, this user's VirtualStore";
    }
    return installation.place;
}

}  // namespace tolvaren
