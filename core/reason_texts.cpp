#include "core/reason_texts.h"

#include <string_view>
#include <utility>

namespace tolvaren {
namespace {

// "{path}" stands for the archive's path (for NotInstalled: where it
// looked; for the search's reasons: the file or folder concerned),
// "{detail}" for what the platform told, "{holder}" for it in brackets
// when the platform named who holds the archive, "{cause}" for what stopped
// a write (by default: the disk may be full).
struct ReasonTexts {
    Reason reason;
    const char* label;  // a few words, for lists
    const char* dialog;  // empty where the program never meets the reason
    const char* commandLine;
    ExitCode exitCode;
};

constexpr ReasonTexts kTexts[] = {
    {Reason::NotInstalled, "not installed",
     "The game is not installed: its install folder is not in the registry. Nothing was changed.",
     "the game is not installed: no usable install record was found. Looked in:\n{path}\nGive "
     "the archive's path. Nothing was changed.",
     kExitNotInstalled},
    {Reason::RecordTooLong, "install record too long",
     "The game's install record is there, but its install folder is longer than this program "
     "can use (255 characters). Nothing was changed.",
     "", kExitNotInstalled},
    {Reason::ArchiveNotFound, "archive not found",
     "The game archive was not found:\r\n{path}\r\nNothing was changed.",
     "the game archive {path} was not found. Nothing was changed.",
     kExitNotChangeable},
    {Reason::InUse, "in use{holder}",
     "The game archive is in use by another program. Close the game and try again. Nothing was "
     "changed.",
     "the game archive {path} is in use by another program{holder}. Close the game and try again. "
     "Nothing was changed.",
     kExitNotChangeable},
    {Reason::HeldByThisProcess, "open in this tool itself",
     "",
     "the game archive {path} is open in this tool itself, through a file it was given (a "
     "redirection such as < or 3<). Run it without redirecting the archive. Nothing was changed.",
     kExitNotChangeable},
    {Reason::HoldersUnknown, "cannot tell whether it is in use",
     "",
     "cannot tell whether another program has the game archive {path} open: {detail}. Run "
     "tolvaren-cli as the archive's owner, or as root. Nothing was changed.",
     kExitNotChangeable},
    {Reason::ArchiveReplaced, "replaced while being switched",
     "The game archive was replaced by another file while it was being switched; the file now in "
     "its place was not changed. Click again to switch it.",
     "the game archive {path} was replaced by another file while it was being switched; the file "
     "now at that path was not changed. Run the same command again to switch it.",
     kExitNotChangeable},
    {Reason::SwitchStopped, "another program got in during the switch",
     "Another program opened or changed the game archive while it was being switched, so nothing "
     "more was written: its vehicle list still reads as before. Close that program and click "
     "again to finish the switch.",
     "another program opened or changed the game archive {path} while it was being "
     "switched{holder}, so nothing more was written: its vehicle list still reads as before. Run "
     "the same command again once that program is done to finish the switch.",
     kExitNotChangeable},
    {Reason::OpenedDuringLastWrite, "another program got in during the last write",
     "The game archive was switched, but another program opened or changed it while the last "
     "bytes were written, and may have changed them since. The check mark shows the switch as "
     "written; once that program is done, start Tolvaren again to see the archive's state.",
     "the game archive {path} was switched, but another program opened or changed it while the "
     "last bytes were written{holder}, and may have changed them since. Once that program is "
     "done, run status to see the archive's state.",
     kExitNotChangeable},
    {Reason::AccessDenied, "read-only or access denied",
     "Access to the game archive is denied, although this program runs as an administrator: the "
     "file's permissions or security software (for example Controlled Folder Access in Windows "
     "Security) keep it from being changed. Nothing was changed.",
     "the game archive {path} is read-only or access to it is denied. Make it writable or run as "
     "a user who may write it. Nothing was changed.",
     kExitNotChangeable},
    {Reason::ReadOnlyFile, "marked read-only",
     "The game archive is marked read-only. Clear its read-only attribute (in the file's "
     "Properties) and try again. Nothing was changed.",
     "the game archive {path} is marked read-only. Clear its read-only attribute and try again. "
     "Nothing was changed.",
     kExitNotChangeable},
    {Reason::NotElevated, "needs administrator rights",
     "Windows lets only an administrator change the game archive, and this program does not run "
     "as one. Nothing was changed.\r\n\r\nRestart Tolvaren as an administrator?",
     "only an administrator may change the game archive {path}. Run tolvaren-cli in a command "
     "prompt opened with \"Run as administrator\". Nothing was changed.",
     kExitNotChangeable},
    {Reason::NotADiskFile, "not a disk file",
     "The game archive is not a file on a disk. Nothing was changed.",
     "{path} is not a file on a disk (a folder, pipe or device). Nothing was changed.",
     kExitNotChangeable},
    {Reason::CannotOpen, "cannot be opened",
     "The game archive could not be opened:\r\n{path}\r\nNothing was changed.",
     "the game archive {path} could not be opened. Nothing was changed.",
     kExitNotChangeable},
    {Reason::WriteProtected, "the medium is write-protected",
     "The game archive lies on a write-protected medium (a locked memory card, a disc or a "
     "read-only share). Nothing was changed.",
     "the game archive {path} lies on a write-protected medium. Nothing was changed.",
     kExitNotChangeable},
    {Reason::ReadOnlyDrive, "the drive is read-only",
     "The game archive lies on a read-only drive, so it cannot be changed. Nothing was changed.",
     "the game archive {path} lies on a read-only drive or file system. Nothing was changed.",
     kExitNotChangeable},
    {Reason::DriveUnavailable, "the drive is not available",
     "The drive that holds the game archive is not available: it is not ready, or it was "
     "removed. Nothing was changed.",
     "the drive that holds the game archive {path} is not available. Nothing was changed.",
     kExitNotChangeable},
    {Reason::NetworkUnavailable, "the network location is not available",
     "The network location that holds the game archive is not available. Nothing was changed.",
     "the network location that holds the game archive {path} is not available. Nothing was "
     "changed.",
     kExitNotChangeable},
    {Reason::OnlineOnly, "an online-only copy of a synced folder",
     "The game archive is an online-only copy in a synced folder, and it cannot be fetched now. "
     "Make the game's folder always available on this device and try again. Nothing was "
     "changed.",
     "the game archive {path} is an online-only copy in a synced folder that cannot be fetched "
     "now. Make it always available on this device. Nothing was changed.",
     kExitNotChangeable},
    {Reason::BlockedBySecurity, "blocked by security software",
     "Security software blocked the game archive. Nothing was changed.",
     "security software blocked the game archive {path}. Nothing was changed.",
     kExitNotChangeable},
    {Reason::DiskFull, "the disk is full",
     "The disk that holds the game archive is full. Nothing was changed.",
     "the disk that holds the game archive {path} is full. Nothing was changed.",
     kExitNotChangeable},
    {Reason::FileSizeLimit, "a file-size limit stopped it",
     "A file-size limit set on this program stops it from writing the game archive. Nothing was "
     "changed.",
     "a file-size limit set on this process stops it from writing the game archive {path}. "
     "Nothing was changed.",
     kExitNotChangeable},
    {Reason::PlatformError, "{detail}",
     "The game archive could not be used: {detail}. Nothing was changed.",
     "the game archive {path} could not be used: {detail}. Nothing was changed.",
     kExitNotChangeable},
    {Reason::NoVehicleList, "no vehicle list",
     "The game archive holds no vehicle list to change. Nothing was changed.",
     "the game archive {path} holds no vehicle list to change. Nothing was changed.",
     kExitListProblem},
    {Reason::EntryTooLarge, "vehicle list too large",
     "The vehicle list in the game archive is too large to change. Nothing was changed.",
     "the vehicle list in {path} is too large to change. Nothing was changed.",
     kExitListProblem},
    {Reason::EntryDamaged, "directory damaged",
     "The game archive's directory is damaged. Nothing was changed.",
     "the directory of the game archive {path} is damaged: the vehicle list's record points "
     "outside the data. Nothing was changed.",
     kExitListProblem},
    {Reason::CannotDisable, "cannot be disabled",
     "The vehicle list has no [Team KTM] section to comment out, so the extra vehicles cannot be "
     "disabled. Nothing was changed.",
     "the vehicle list in {path} has no [Team KTM] section to comment out, so the extra vehicles "
     "cannot be disabled. Nothing was changed.",
     kExitListProblem},
    {Reason::WriteFailedPutBack, "write failed, put back",
     "The game archive could not be written ({cause}). It was put back as it was.",
     "the game archive {path} could not be written ({cause}). It was put back as it was.",
     kExitNotChangeable},
    {Reason::WriteFailedNotPutBack, "write failed, not put back",
     "The game archive could not be written, nor put back as it was ({cause}): its vehicle list "
     "may be partly switched. Free some space on the disk, or mend what stopped the write, and "
     "click again to finish the switch.",
     "the game archive {path} could not be written, nor put back as it was ({cause}): its vehicle "
     "list may be partly switched. Free some space on the disk, or mend what stopped the write, "
     "and run the same command again to finish the switch.",
     kExitNotChangeable},
    {Reason::OutOfMemory, "not enough memory",
     "There is not enough memory to switch the extra vehicles. Nothing was changed.",
     "there is not enough memory to handle the vehicle list in {path}. Nothing was changed.",
     kExitNotChangeable},
    {Reason::VirtualStoreCopy, "an older copy in the VirtualStore",
     "Windows also keeps an older copy of the game archive for you:\r\n{path}\r\nWhen the game "
     "does not run as an administrator, it may read that copy instead. This program did not "
     "change it.",
     "note: Windows also keeps an older copy of the game archive for this user, {path}; when the "
     "game does not run as an administrator it may read that copy instead. It was not changed.",
     kExitOk},
    {Reason::RestartDeclined, "not restarted",
     "Tolvaren was not restarted as an administrator. Nothing was changed.", "",
     kExitNotChangeable},
    {Reason::OthersUnseen, "processes of other users not looked at", "",
     "note: {detail} processes of other users could not be looked at, so a game run by another "
     "user would not be seen.",
     kExitOk},
    {Reason::OthersHidden, "processes of other users hidden", "",
     "note: /proc hides the processes of other users (hidepid), so a game run by another user "
     "would not be seen.",
     kExitOk},
    {Reason::Unreadable, "unreadable", "", "{path}: {detail}", kExitNotInstalled},
    {Reason::NotARegistry, "not a Wine registry", "",
     "{path}: not a Wine registry file (its first line is not \"WINE REGISTRY Version 2\")",
     kExitNotInstalled},
    {Reason::Malformed, "malformed", "", "{path}: {detail}", kExitNotInstalled},
    {Reason::NotOnADrive, "not on a drive", "",
     "the recorded install folder \"{detail}\" is not on a drive", kExitNotInstalled},
    {Reason::NotAPrefix, "not a Wine prefix", "",
     "{detail} {path} is not a Wine prefix: it holds no system.reg", kExitNotInstalled},
};

// What a failed write most often means, when the platform does not say.
constexpr char kUnknownWriteCause[] = "the disk may be full";

const ReasonTexts* TextsFor(Reason reason) {
    for (const ReasonTexts& texts : kTexts)
        if (texts.reason == reason) return &texts;
    return nullptr;  // Done: nothing to explain
}

// One pass, so that a path or a program name is never read as a placeholder.
Text Fill(std::string_view text, const Outcome& outcome, const Text& path) {
    const Text holder = outcome.detail.empty() ? Text() : " (" + outcome.detail + ")";
    const Text cause = outcome.detail.empty() ? Text(kUnknownWriteCause) : outcome.detail;
    const std::pair<std::string_view, const Text&> placeholders[] = {
        {"{path}", path}, {"{detail}", outcome.detail}, {"{holder}", holder}, {"{cause}", cause}};
    Text filled;
    for (std::size_t at = 0; at < text.size();) {
        bool replaced = false;
        for (const auto& [name, value] : placeholders) {
            if (text.compare(at, name.size(), name) != 0) continue;
            filled += value;
            at += name.size();
            replaced = true;
            break;
        }
        if (!replaced) filled += text[at++];
    }
    return filled;
}

}  // namespace

Text DialogText(const Outcome& outcome, const Text& archivePath) {
    const ReasonTexts* texts = TextsFor(outcome.reason);
    return texts != nullptr ? Fill(texts->dialog, outcome, archivePath) : Text();
}

Text CommandLineText(const Outcome& outcome, const Text& path) {
    const ReasonTexts* texts = TextsFor(outcome.reason);
    return texts != nullptr ? Fill(texts->commandLine, outcome, path) : Text();
}

Text ReasonLabel(const Outcome& outcome) {
    const ReasonTexts* texts = TextsFor(outcome.reason);
    return texts != nullptr ? Fill(texts->label, outcome, Text()) : Text();
}

ExitCode ExitCodeFor(Reason reason) {
    const ReasonTexts* texts = TextsFor(reason);
    return texts != nullptr ? texts->exitCode : kExitOk;
}

}  // namespace tolvaren
