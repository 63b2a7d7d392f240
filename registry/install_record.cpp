#include "registry/install_record.h"

namespace tolvaren {
namespace {

// The 8-bit read, unless it lost letters of the folder's name.
Result<RegValue> Spelled(Result<RegValue> record, HKEY root, const char* keyPath, REGSAM access) {
    if (!record) return record;
    if (Outcome spelled = CheckSpelled(root, keyPath, kInstallValueName, access); !spelled.Done()) return spelled;
    return record;
}

}  // namespace

Result<RegValue> ReadInstallRecord(REGSAM access, DWORD capacity) {
    return Spelled(ReadRegText(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallValueName, access, capacity),
                   HKEY_LOCAL_MACHINE, kInstallKeyPath, access);
}

Result<RegValue> ReadVirtualStoreRecord(REGSAM access, DWORD capacity) {
    Result<RegValue> record = Reason::NotInstalled;
    for (const char* keyPath : kVirtualStoreInstallKeyPaths) {
        record = Spelled(ReadRegText(HKEY_CURRENT_USER, keyPath, kInstallValueName, access, capacity),
                         HKEY_CURRENT_USER, keyPath, access);
        if (record || record.Why().reason != Reason::NotInstalled) break;
    }
    return record;
}

Result<Text> ProgramInstallFolder() {
    Result<RegValue> record = ReadInstallRecord(KEY_ALL_ACCESS);
    if (!record && record.Why().reason == Reason::AccessDenied) record = ReadInstallRecord(KEY_READ);
    if (!record && record.Why().reason == Reason::NotInstalled) record = ReadVirtualStoreRecord(KEY_READ);
    if (!record && (record.Why().reason == Reason::RecordTooLong || record.Why().reason == Reason::NotSpellable))
        return record.Why().reason;
    if (!record || record->text.empty()) return Reason::NotInstalled;
    return std::move(record->text);
}

bool InstallRecordOnlyForThisUser() {
    const Result<RegValue> machine = ReadInstallRecord(KEY_READ);
    return !machine && machine.Why().reason == Reason::NotInstalled && ReadVirtualStoreRecord(KEY_READ);
}

}  // namespace tolvaren
