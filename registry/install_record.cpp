#include "registry/install_record.h"

namespace tolvaren {

RegText ReadInstallRecord(REGSAM access, DWORD capacity) {
    return ReadRegText(HKEY_LOCAL_MACHINE, kInstallKeyPath, kInstallValueName, access, capacity);
}

RegText ReadVirtualStoreRecord(REGSAM access, DWORD capacity) {
    RegText record;
    for (const char* keyPath : kVirtualStoreInstallKeyPaths) {
        record = ReadRegText(HKEY_CURRENT_USER, keyPath, kInstallValueName, access, capacity);
        if (record.status != ERROR_FILE_NOT_FOUND) break;
    }
    return record;
}

RecordedFolder ProgramInstallFolder() {
    RegText record = ReadInstallRecord(KEY_ALL_ACCESS);
    if (record.status == ERROR_ACCESS_DENIED) record = ReadInstallRecord(KEY_READ);
    if (record.status == ERROR_FILE_NOT_FOUND) record = ReadVirtualStoreRecord(KEY_READ);
    if (record.status == ERROR_MORE_DATA) return {Text(), Reason::RecordTooLong};
    if (record.text.empty()) return {Text(), Reason::NotInstalled};
    return {std::move(record.text), Reason::Done};
}

}  // namespace tolvaren
