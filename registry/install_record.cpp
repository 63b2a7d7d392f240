#include "registry/install_record.h"

namespace tolvaren {

Result<RegValue> ReadInstallRecord(REGSAM access, DWORD capacity) {
    return ReadRegText(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallValueName, access, capacity);
}

Result<RegValue> ReadVirtualStoreRecord(REGSAM access, DWORD capacity) {
    Result<RegValue> record = Reason::NotInstalled;
    for (const char* keyPath : kVirtualStoreInstallKeyPaths) {
        record = ReadRegText(HKEY_CURRENT_USER, keyPath, kInstallValueName, access, capacity);
        if (record || record.Why().reason != Reason::NotInstalled) break;
    }
    return record;
}

Result<Text> ProgramInstallFolder() {
    Result<RegValue> record = ReadInstallRecord(KEY_ALL_ACCESS);
    if (!record && record.Why().reason == Reason::AccessDenied) record = ReadInstallRecord(KEY_READ);
    if (!record && record.Why().reason == Reason::NotInstalled) record = ReadVirtualStoreRecord(KEY_READ);
    if (!record && record.Why().reason == Reason::RecordTooLong) return Reason::RecordTooLong;
    if (!record || record->text.empty()) return Reason::NotInstalled;
    return std::move(record->text);
}

}  // namespace tolvaren
