#include "ui/dialog_texts.h"

namespace tolvaren {
namespace {

// "{path}" stands for the archive's path, "{detail}" for what the platform
// told, "{cause}" for what stopped a write.
struct DialogReasonText {
    Reason reason;
    const char* text;
};

constexpr DialogReasonText kTexts[] = {
    {Reason::NotInstalled,
     "The game is not installed: its install folder is not in the registry. Nothing was changed."},
    {Reason::RecordTooLong,
     "The game's install record is there, but its install folder is longer than this program can "
     "use (255 bytes, where a letter outside English takes two or three). Nothing was changed."},
    {Reason::NotSpellable,
     "The game's install folder has letters that Windows's language for non-Unicode programs cannot "
     "spell, so this program cannot open it. Set that language (Settings, Time & language, "
     "Language & region, Administrative language settings, Change system locale) to one that "
     "spells the folder's name, or use Windows 10 version 1903 or later. Nothing was changed."},
    {Reason::ArchiveNotFound,
     "The game archive was not found:\r\n{path}\r\nNothing was changed."},
    {Reason::InUse,
     "The game archive is in use by another program. Close the game and try again. Nothing was "
     "changed."},
    {Reason::ArchiveReplaced,
     "The game archive was replaced by another file while it was being switched; the file now in "
     "its place was not changed. Click again to switch it."},
    {Reason::SwitchStopped,
     "Another program opened or changed the game archive while it was being switched, so nothing "
     "more was written: its vehicle list still reads as before. Close that program and click again "
     "to finish the switch."},
    {Reason::OpenedDuringLastWrite,
     "The game archive was switched, but another program opened or changed it while the last bytes "
     "were written, and may have changed them since. The check mark shows the switch as written; "
     "once that program is done, start Tolvaren again to see the archive's state."},
    {Reason::AccessDenied,
     "Access to the game archive is denied, although this program runs as an administrator: the "
     "file's permissions or security software (for example Controlled Folder Access in Windows "
     "Security) keep it from being changed. Nothing was changed."},
    {Reason::ChangeRefused,
     "Windows refused to let this program change the game archive, as security software such as "
     "Controlled Folder Access in Windows Security does: the archive is there and can be read. "
     "Allow Tolvaren through that protection and try again. Nothing was changed."},
    {Reason::ReadOnlyFile,
     "The game archive is marked read-only. Clear its read-only attribute (in the file's "
     "Properties) and try again. Nothing was changed."},
    {Reason::NotElevated,
     "Windows lets only an administrator change the game archive, and this program does not run as "
     "one. Nothing was changed.\r\n\r\nRestart Tolvaren as an administrator?"},
    {Reason::NotADiskFile,
     "The game archive is not a file on a disk. Nothing was changed."},
    {Reason::CannotOpen,
     "The game archive could not be opened:\r\n{path}\r\nNothing was changed."},
    {Reason::WriteProtected,
     "The game archive lies on a write-protected medium (a locked memory card, a disc or a "
     "read-only share). Nothing was changed."},
    {Reason::ReadOnlyDrive,
     "The game archive lies on a read-only drive, so it cannot be changed. Nothing was changed."},
    {Reason::DriveUnavailable,
     "The drive that holds the game archive is not available: it is not ready, or it was removed "
     "(a network drive mapped for your account is not seen by a program run as an administrator). "
     "Nothing was changed."},
    {Reason::NetworkUnavailable,
     "The network location that holds the game archive is not available. Nothing was changed."},
    {Reason::ShareNotWritable,
     "The game archive lies on a network share that does not let you change it; administrator "
     "rights on this computer do not reach a share. Ask for write access to the share, or move the "
     "game to a drive of this computer. Nothing was changed."},
    {Reason::OnlineOnly,
     "The game archive is an online-only copy in a synced folder, and it cannot be fetched now. "
     "Make the game's folder always available on this device and try again. Nothing was changed."},
    {Reason::BlockedBySecurity,
     "Security software blocked the game archive. Nothing was changed."},
    {Reason::DiskFull,
     "The disk that holds the game archive is full. Nothing was changed."},
    {Reason::FileSizeLimit,
     "A file-size limit set on this program stops it from writing the game archive. Nothing was "
     "changed."},
    {Reason::PlatformError,
     "The game archive could not be used: {detail}. Nothing was changed."},
    {Reason::NoVehicleList,
     "The game archive holds no vehicle list to change. Nothing was changed."},
    {Reason::EntryTooLarge,
     "The vehicle list in the game archive is too large to change. Nothing was changed."},
    {Reason::EntryDamaged,
     "The game archive's directory is damaged. Nothing was changed."},
    {Reason::CannotDisable,
     "The vehicle list has no [Team KTM] section to comment out, so the extra vehicles cannot be "
     "disabled. Nothing was changed."},
    {Reason::WriteFailedPutBack,
     "The game archive could not be written ({cause}). It was put back as it was."},
    {Reason::WriteFailedNotPutBack,
     "The game archive could not be written, nor put back as it was ({cause}): its vehicle list "
     "may be partly switched. Free some space on the disk, or mend what stopped the write, and "
     "click again to finish the switch."},
    {Reason::OutOfMemory,
     "There is not enough memory to switch the extra vehicles. Nothing was changed."},
    {Reason::VirtualStoreCopy,
     "Windows also keeps an older copy of the game archive for you:\r\n{path}\r\nWhen the game "
     "does not run as an administrator, it may read that copy instead. This program did not change "
     "it."},
    {Reason::RestartDeclined,
     "Tolvaren was not restarted as an administrator. Nothing was changed."},
    {Reason::RestartFailed,
     "Tolvaren could not be restarted as an administrator: {detail}. Nothing was changed."},
};

// What stopped a write, in brackets after "could not be written".
constexpr DialogReasonText kCauses[] = {
    {Reason::DiskFull, "the disk is full"},
    {Reason::NetworkUnavailable, "the network location is not available"},
    {Reason::DriveUnavailable, "the drive is not available"},
    {Reason::WriteProtected, "the medium is write-protected"},
    {Reason::ReadOnlyDrive, "the drive is read-only"},
    {Reason::ShareNotWritable, "the share does not allow writing"},
    {Reason::OnlineOnly, "an online-only copy of a synced folder"},
    {Reason::BlockedBySecurity, "blocked by security software"},
    {Reason::InUse, "in use"},
    {Reason::AccessDenied, "access denied"},
    {Reason::OutOfMemory, "not enough memory"},
    {Reason::PlatformError, "{detail}"},
};
// What a failed write most often means, when the platform does not say.
constexpr char kUnknownCause[] = "the disk may be full";

template <std::size_t Size>
const char* Find(const DialogReasonText (&texts)[Size], Reason reason) {
    for (const DialogReasonText& text : texts)
        if (text.reason == reason) return text.text;
    return nullptr;
}

Text CauseOf(const Outcome& outcome) {
    const char* cause = Find(kCauses, outcome.cause);
    return cause != nullptr ? Fill(cause, {{"{detail}", outcome.detail}}) : Text(kUnknownCause);
}

// Without User Account Control, Windows raises no program's rights.
constexpr char kNoElevation[] =
    "Windows lets only an administrator change the game archive, and your account is not one. With "
    "User Account Control turned off, Windows cannot give this program an administrator's rights: "
    "sign in as an administrator to change the archive. Nothing was changed.";

// A standard user's account: the restart runs as an administrator's.
constexpr char kOtherAccountRefusal[] =
    "Windows lets only an administrator change the game archive, and your account is not one. "
    "Nothing was changed.";
constexpr char kOtherAccountQuestion[] =
    "Restart Tolvaren as an administrator? Windows will ask for an administrator's password, and "
    "Tolvaren will then run as that administrator's account.";
constexpr char kPlayersCopyNote[] =
    "When the game runs for you, it may read your own copy of the game archive instead:\r\n{path}\r\n"
    "Tolvaren running as the administrator's account does not see that copy and will not change it.";
constexpr char kRecordOnlyForPlayer[] =
    "The game's install record is kept for your account alone, so Tolvaren running as an "
    "administrator's account would not find the game. An administrator can install the game again "
    "for all users.";

}  // namespace

bool OffersRestart(const RestartSituation& situation) {
    return !situation.cannotElevate && !(situation.otherAccount && situation.recordOnlyForPlayer);
}

Text RestartText(const RestartSituation& situation, const Text& archivePath) {
    if (situation.cannotElevate) return kNoElevation;
    if (!situation.otherAccount) return DialogText(Reason::NotElevated, archivePath);
    Text text = kOtherAccountRefusal;
    text += "\r\n\r\n";
    text += OffersRestart(situation) ? kOtherAccountQuestion : kRecordOnlyForPlayer;
    if (!situation.playersCopy.empty())
        text += "\r\n\r\n" + Fill(kPlayersCopyNote, {{"{path}", situation.playersCopy}});
    return text;
}

Text DialogText(const Outcome& outcome, const Text& archivePath) {
    const char* text = Find(kTexts, outcome.reason);
    if (text == nullptr) return Text();
    return Fill(text, {{"{path}", archivePath}, {"{detail}", outcome.detail}, {"{cause}", CauseOf(outcome)}});
}

}  // namespace tolvaren
