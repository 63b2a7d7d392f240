#include "core/reason_texts.h"

#include <string_view>
#include <utility>

namespace tolvaren {
namespace {

// "{path}" stands for the archive's path (for NotInstalled: where it
// looked; for the search's reasons: the file or folder concerned),
// "{detail}" for what the platform told, "{holder}" for it in brackets
// when the platform named who holds the archive.
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
    {Reason::AccessDenied, "read-only or access denied",
     "The game archive is read-only or access to it is denied. Run this program as an "
     "administrator. Nothing was changed.",
     "the game archive {path} is read-only or access to it is denied. Make it writable or run as "
     "a user who may write it. Nothing was changed.",
     kExitNotChangeable},
    {Reason::NotADiskFile, "not a disk file",
     "The game archive is not a file on a disk. Nothing was changed.",
     "{path} is not a file on a disk (a folder, pipe or device). Nothing was changed.",
     kExitNotChangeable},
    {Reason::CannotOpen, "cannot be opened",
     "The game archive could not be opened:\r\n{path}\r\nNothing was changed.",
     "the game archive {path} could not be opened. Nothing was changed.",
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
     "The game archive could not be written (the disk may be full). It was put back as it was.",
     "the game archive {path} could not be written (the disk may be full). It was put back as it "
     "was.",
     kExitNotChangeable},
    {Reason::WriteFailedNotPutBack, "write failed, not put back",
     "The game archive could not be written, nor put back as it was (the disk may be full): its "
     "vehicle list may be partly switched. Free some space on the disk and click again to finish "
     "the switch.",
     "the game archive {path} could not be written, nor put back as it was (the disk may be "
     "full): its vehicle list may be partly switched. Free some space on the disk and run the "
     "same command again to finish the switch.",
     kExitNotChangeable},
    {Reason::OutOfMemory, "not enough memory",
     "There is not enough memory to switch the extra vehicles. Nothing was changed.",
     "there is not enough memory to handle the vehicle list in {path}. Nothing was changed.",
     kExitNotChangeable},
    {Reason::Unreadable, "unreadable", "", "{path}: {detail}", kExitNotInstalled},
    {Reason::NotARegistry, "not a Wine registry", "",
     "{path}: not a Wine registry file (its first line is not \"WINE REGISTRY Version 2\")",
     kExitNotInstalled},
    {Reason::Malformed, "malformed", "", "{path}: {detail}", kExitNotInstalled},
    {Reason::NotOnADrive, "not on a drive", "",
     "the recorded install folder \"{detail}\" is not on a drive", kExitNotInstalled},
    {Reason::NotAPrefix, "not a Wine prefix", "",
     "WINEPREFIX {path} is not a Wine prefix: it holds no system.reg", kExitNotInstalled},
};

const ReasonTexts* TextsFor(Reason reason) {
    for (const ReasonTexts& texts : kTexts)
        if (texts.reason == reason) return &texts;
    return nullptr;  // Done: nothing to explain
}

// One pass, so that a path or a program name is never read as a placeholder.
Text Fill(std::string_view text, const Outcome& outcome, const Text& path) {
    const Text holder = outcome.detail.empty() ? Text() : " (" + outcome.detail + ")";
    const std::pair<std::string_view, const Text&> placeholders[] = {
        {"{path}", path}, {"{detail}", outcome.detail}, {"{holder}", holder}};
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
