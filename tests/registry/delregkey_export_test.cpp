// Calls DELREGKEY the way an outside caller does: from the program file
// loaded as a module.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tests/support/byte_bstr.h"
#include "tests/support/registry_fixture.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

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

const IMAGE_NT_HEADERS* HeadersOf(const void* image) {
    const auto* dos = static_cast<const IMAGE_DOS_HEADER*>(image);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(static_cast<const BYTE*>(image) + dos->e_lfanew);
}

// Where an RVA's bytes lie in the file; 0 when in no section.
DWORD FileOffsetOf(const Text& file, DWORD rva) {
    const IMAGE_NT_HEADERS* nt = HeadersOf(file.data());
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
        if (rva >= section->VirtualAddress && rva - section->VirtualAddress < section->SizeOfRawData)
            return rva - section->VirtualAddress + section->PointerToRawData;
    return 0;
}

// Windows applies an image's base relocations when it maps it elsewhere than
// at its preferred base; Wine leaves them out for an EXE loaded as a module.
// Applied here to every address the loaded copy still holds as the file
// does. Returns how many were moved.
int RelocateAsWindowsWould(HMODULE module, const Text& file) {
    const IMAGE_NT_HEADERS* nt = HeadersOf(module);
    const ULONG_PTR delta = reinterpret_cast<ULONG_PTR>(module) - nt->OptionalHeader.ImageBase;
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
    if (delta == 0 || directory.Size == 0) return 0;
    constexpr WORD kAddressType = sizeof(ULONG_PTR) == 8 ? IMAGE_REL_BASED_DIR64 : IMAGE_REL_BASED_HIGHLOW;
    int moved = 0;
    for (DWORD at = 0; at < directory.Size;) {
        const auto* block = At<IMAGE_BASE_RELOCATION>(module, directory.VirtualAddress + at);
        if (block->SizeOfBlock < sizeof *block) break;
        const auto* entries = reinterpret_cast<const WORD*>(block + 1);
        const DWORD count = (block->SizeOfBlock - sizeof *block) / sizeof(WORD);
        for (DWORD i = 0; i < count; ++i) {
            if (entries[i] >> 12 != kAddressType) continue;
            const DWORD rva = block->VirtualAddress + (entries[i] & 0xFFF);
            auto* address = At<ULONG_PTR>(module, rva);
            ULONG_PTR asInFile = 0;
            const DWORD offset = FileOffsetOf(file, rva);
            if (offset == 0) continue;
            std::memcpy(&asInFile, file.data() + offset, sizeof asInFile);
            if (*address != asInFile) continue;  // the loader did move it
            DWORD oldProtection = 0;
            VirtualProtect(address, sizeof *address, PAGE_READWRITE, &oldProtection);
            *address += delta;
            VirtualProtect(address, sizeof *address, oldProtection, &oldProtection);
            ++moved;
        }
        at += block->SizeOfBlock;
    }
    return moved;
}

struct Call {
    LONG result;
    long stackMoved;  // 0 when the called function removed its own arguments
};

// Calls a WINAPI function of two pointers and sees what it did to the stack.
Call CallWithTwoPointers(FARPROC function, const void* first, const void* second) {
#if defined(__i386__)
    struct {
        FARPROC function;
        const void* first;
        const void* second;
        LONG result;
        long moved;
    } call = {function, first, second, 0, 0};
    // ebx and esi survive the call (they are the callee's to keep).
    asm volatile(
        "mov %%esp, %%esi\n\t"
        "push 8(%%ebx)\n\t"
        "push 4(%%ebx)\n\t"
        "call *(%%ebx)\n\t"
        "mov %%eax, 12(%%ebx)\n\t"
        "mov %%esp, %%eax\n\t"
        "sub %%esi, %%eax\n\t"
        "mov %%eax, 16(%%ebx)\n\t"
        "mov %%esi, %%esp\n\t"
        :
        : "b"(&call)
        : "eax", "ecx", "edx", "esi", "memory", "cc");
    return {call.result, call.moved};
#else  // one calling convention: the caller owns the stack
    using TwoPointers = LONG(WINAPI*)(const void*, const void*);
    return {reinterpret_cast<TwoPointers>(reinterpret_cast<void*>(function))(first, second), 0};
#endif
}

struct ModuleTraits {
    using pointer = HMODULE;
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE module) { FreeLibrary(module); }
};
using UniqueModule = UniqueAny<ModuleTraits>;

using DelregkeyExport = test::RegistryFixture;

TEST_F(DelregkeyExport, OutsideCallerDeletesAKeyThroughTheProgramFile) {
    const UniqueModule loaded(LoadLibraryExA(TOLVAREN_EXE, nullptr, 0));
    ASSERT_TRUE(loaded) << "cannot load " << TOLVAREN_EXE << ": " << GetLastError();
    const HMODULE program = loaded.get();
    const Text file = ReadWholeFile(TOLVAREN_EXE);
    ASSERT_GT(file.size(), sizeof(IMAGE_DOS_HEADER));
    const int moved = RelocateAsWindowsWould(program, file);
    ASSERT_TRUE(SnapImports(program));
    std::printf("loaded at %p; %d addresses relocated here\n", static_cast<void*>(program), moved);

    const FARPROC byName = GetProcAddress(program, "DELREGKEY");
    const FARPROC byOrdinal = GetProcAddress(program, MAKEINTRESOURCEA(1));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName, byOrdinal);

    PutValue("Doomed\\Leaf", "V", REG_SZ, Text("1", 2));
    const Text path = basePath_ + "\\Doomed\\Leaf";
    const test::UniqueBstr owned = test::ByteBstr(path);
    const BSTR text = owned.get();
    const HKEY root = HKEY_CURRENT_USER;
    const Call call = CallWithTwoPointers(byName, &root, &text);
    EXPECT_EQ(call.result, ERROR_SUCCESS);
    EXPECT_EQ(call.stackMoved, 0) << "DELREGKEY must remove its two arguments (WINAPI)";
    EXPECT_FALSE(KeyExists("Doomed\\Leaf"));
    EXPECT_TRUE(KeyExists("Doomed"));
    EXPECT_EQ(SysStringByteLen(text), path.size());  // the caller's text is untouched
    EXPECT_EQ(Text(reinterpret_cast<const char*>(text), path.size()), path);
}

}  // namespace
}  // namespace tolvaren
