#pragma once
// Each reason something can go wrong with the archive, set up on files in
// memory, with the reason a read of its state (the program's start-up, the
// tool's status) and a switch must each come to: one table for the
// program's tests and the tool's.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <vector>

#include "core/archive.h"
#include "tests/support/memory_file_system.h"
#include "tools/archive_builder.h"

namespace tolvaren::test {

inline const Text kReasonCaseInstallFolder = "C:\\Games\\Racer";
inline const Text kReasonCasePath = "C:\\Games\\Racer\\Data\\common.pak";
inline const Text kReasonCaseHolder = "PID 4242 (game.exe)";

inline Text DemoWith(const Text& vehicleList) {
    return BuildArchive({{"Data\\Gfx\\Menu.txt", "title=Demo\r\n"}, {kVehicleListName, vehicleList}});
}

struct ReasonCase {
    const char* what;
    Text archive;                   // empty: no such file
    std::map<FileAccess, Outcome> refusals;
    std::vector<MemoryFileSystem::Fault> faults;  // during the click
    std::int32_t requested;
    Reason atStartUp;               // why the state cannot be read; Done when it can
    Reason onClick;
    Text told = Text();             // what the switch's outcome says the platform told
    bool archiveChanged = false;    // as the reason itself says: partly written
    Reason cause = Reason::Done;    // what stopped a write, as the platform said

    // What the switch's outcome is to be.
    Outcome OnClick() const {
        Outcome outcome(onClick, told);
        outcome.cause = cause;
        return outcome;
    }
};

inline std::vector<ReasonCase> ReasonCases() {
    const Text disabled = DemoArchive();
    const Outcome game(Reason::InUse, kReasonCaseHolder);
    const Text listAtEnd = EncodeInt32(1) + EncodeRecord(kVehicleListName, 0, 500) + ";[Team KTM]";
    const Text listInDirectory = EncodeInt32(1) + EncodeRecord(kVehicleListName, -50, 20) + "x";
    return {
        {"healthy", disabled, {}, {}, 1, Reason::Done, Reason::Done},
        {"missing", "", {}, {}, 1, Reason::ArchiveNotFound, Reason::ArchiveNotFound},
        {"held by the game", disabled,
         {{FileAccess::ReadWrite, game}, {FileAccess::ReadOnly, game}}, {}, 1,
         Reason::Done, Reason::InUse, kReasonCaseHolder},
        {"held without sharing", disabled,
         {{FileAccess::ReadWrite, game}, {FileAccess::ReadOnly, game}, {FileAccess::SharedRead, game}},
         {}, 1, Reason::InUse, Reason::InUse, kReasonCaseHolder},
        {"read-only", disabled, {{FileAccess::ReadWrite, Reason::AccessDenied}}, {}, 1,
         Reason::Done, Reason::AccessDenied},
        {"marked read-only", disabled, {{FileAccess::ReadWrite, Reason::ReadOnlyFile}}, {}, 1,
         Reason::Done, Reason::ReadOnlyFile},
        {"a standard user", disabled, {{FileAccess::ReadWrite, Reason::NotElevated}}, {}, 1,
         Reason::Done, Reason::NotElevated},
        {"a change refused by security software", disabled, {{FileAccess::ReadWrite, Reason::ChangeRefused}},
         {}, 1, Reason::Done, Reason::ChangeRefused},
        {"a share that does not allow writing", disabled, {{FileAccess::ReadWrite, Reason::ShareNotWritable}},
         {}, 1, Reason::Done, Reason::ShareNotWritable},
        {"a write-protected medium", disabled, {{FileAccess::ReadWrite, Reason::WriteProtected}}, {},
         1, Reason::Done, Reason::WriteProtected},
        {"a read-only drive", disabled, {{FileAccess::ReadWrite, Reason::ReadOnlyDrive}}, {}, 1,
         Reason::Done, Reason::ReadOnlyDrive},
        {"the drive removed", disabled,
         {{FileAccess::ReadWrite, Reason::DriveUnavailable},
          {FileAccess::ReadOnly, Reason::DriveUnavailable},
          {FileAccess::SharedRead, Reason::DriveUnavailable}}, {}, 1,
         Reason::DriveUnavailable, Reason::DriveUnavailable},
        {"a pipe", disabled,
         {{FileAccess::ReadWrite, Reason::NotADiskFile}, {FileAccess::ReadOnly, Reason::NotADiskFile},
          {FileAccess::SharedRead, Reason::NotADiskFile}}, {}, 1,
         Reason::NotADiskFile, Reason::NotADiskFile},
        {"no vehicle list", BuildArchive({{"Data\\Other.dat", ";logo=x"}}), {}, {}, 1,
         Reason::NoVehicleList, Reason::NoVehicleList},
        {"too large", EncodeInt32(1) + EncodeRecord(kVehicleListName, 0, kMaxVehicleListBytes + 1),
         {}, {}, 1, Reason::EntryTooLarge, Reason::EntryTooLarge},
        // Damaged, but its bytes were read as far as they go.
        {"runs past the end", listAtEnd, {}, {}, 1, Reason::Done, Reason::EntryDamaged},
        {"starts in the directory", listInDirectory, {}, {}, 1, Reason::Done, Reason::EntryDamaged},
        {"cannot be disabled", DemoWith("[Team KTM]\r\n logo=red\r\n"), {}, {}, 0, Reason::Done,
         Reason::CannotDisable},
        {"disk full", disabled, {}, {{FileStep::Write, 1}}, 1, Reason::Done,
         Reason::WriteFailedPutBack, "", false, Reason::DiskFull},
        {"disk failing", disabled, {},
         {{FileStep::ShortWrite, 1}, {FileStep::Write, 2}, {FileStep::Write, 3}}, 1, Reason::Done,
         Reason::WriteFailedNotPutBack, "", true, Reason::DiskFull},
        {"another program got in before the marker", disabled, {}, {{FileStep::Check, 2, game}}, 1,
         Reason::Done, Reason::SwitchStopped, kReasonCaseHolder, true},
        // Reads 1 and 2 were the state's; 3 is the directory's, 4 the list's.
        {"a memory limit met by the read", disabled, {}, {{FileStep::Read, 4, Reason::OutOfMemory}}, 1,
         Reason::Done, Reason::OutOfMemory},
        {"the network gone during the write", disabled, {},
         {{FileStep::Write, 1, Reason::NetworkUnavailable}}, 1, Reason::Done,
         Reason::WriteFailedPutBack, "", false, Reason::NetworkUnavailable},
        {"refused", disabled,
         {{FileAccess::ReadWrite, Reason::CannotOpen}, {FileAccess::ReadOnly, Reason::CannotOpen},
          {FileAccess::SharedRead, Reason::CannotOpen}},
         {}, 1, Reason::CannotOpen, Reason::CannotOpen},
    };
}

inline void PrintTo(const ReasonCase& c, std::ostream* os) { *os << c.what; }

// A test name from the case's words.
inline std::string ReasonCaseName(const ::testing::TestParamInfo<ReasonCase>& info) {
    std::string name;
    for (const char* at = info.param.what; *at != '\0'; ++at)
        if (std::isalnum(static_cast<unsigned char>(*at))) name += *at;
    return name;
}

}  // namespace tolvaren::test
