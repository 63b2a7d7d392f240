// Calls DELREGKEY the way an outside caller does: from the program file
// loaded as a module.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/registry_fixture.h"

namespace tolvaren {
namespace {

using DelRegKeyFunction = LONG(WINAPI*)(const HKEY*, const BSTR*);

template <class T>
T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

// Wine's loader leaves the imports of an EXE loaded this way unresolved:
// fill its import address table from the system's DLLs.
bool SnapImports(HMODULE module) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = At<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* import = At<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
         import->Name != 0; ++import) {
        const HMODULE dll = LoadLibraryA(At<char>(module, import->Name));
        if (dll == nullptr) return false;
        auto* names = At<IMAGE_THUNK_DATA>(module, import->OriginalFirstThunk);
        auto* slots = At<IMAGE_THUNK_DATA>(module, import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            const char* name =
                IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)
                    ? MAKEINTRESOURCEA(IMAGE_ORDINAL(names->u1.Ordinal))
                    : At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData))
                          ->Name;
            const FARPROC address = GetProcAddress(dll, name);
            if (address == nullptr) return false;
            DWORD oldProtection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &oldProtection);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(address);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, oldProtection,
                           &oldProtection);
        }
    }
    return true;
}

using DelregkeyExport = test::RegistryFixture;

TEST_F(DelregkeyExport, OutsideCallerDeletesAKeyThroughTheProgramFile) {
    const HMODULE program = LoadLibraryExA(TOLVAREN_EXE, nullptr, 0);
    ASSERT_NE(program, nullptr) << "cannot load " << TOLVAREN_EXE << ": " << GetLastError();
    ASSERT_TRUE(SnapImports(program));

    const FARPROC byName = GetProcAddress(program, "DELREGKEY");
    const FARPROC byOrdinal = GetProcAddress(program, MAKEINTRESOURCEA(1));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName, byOrdinal);
    const auto deleteKey = reinterpret_cast<DelRegKeyFunction>(reinterpret_cast<void*>(byName));

    PutValue("Doomed\\Leaf", "V", REG_SZ, Text("1", 2));
    const Text path = basePath_ + "\\Doomed\\Leaf";
    BSTR text = SysAllocStringByteLen(path.data(), static_cast<UINT>(path.size()));
    const HKEY root = HKEY_CURRENT_USER;
    EXPECT_EQ(deleteKey(&root, &text), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists("Doomed\\Leaf"));
    EXPECT_TRUE(KeyExists("Doomed"));
    EXPECT_EQ(SysStringByteLen(text), path.size());  // the caller's text is untouched
    EXPECT_EQ(Text(reinterpret_cast<const char*>(text), path.size()), path);
    SysFreeString(text);
    FreeLibrary(program);
}

}  // namespace
}  // namespace tolvaren
