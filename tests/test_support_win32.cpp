#include <windows.h>

#include "tests/test_support.h"

namespace tolvaren::test {

struct ExclusiveHold::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
};

ExclusiveHold::ExclusiveHold(const Text& path) : handle_(std::make_unique<Handle>()) {
    handle_->file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

ExclusiveHold::~ExclusiveHold() {
    if (handle_->file != INVALID_HANDLE_VALUE) CloseHandle(handle_->file);
}

bool ExclusiveHold::Held() const { return handle_->file != INVALID_HANDLE_VALUE; }

}  // namespace tolvaren::test

namespace tolvaren::test {
namespace {

// Under Wine as root the read-only attribute is not enforced; the Unix
// immutable flag is, and Wine can start the Unix tool that sets it.
bool SetImmutable(const Text& path, bool immutable) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return false;
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    char* unixPath = toUnix(widePath);
    if (unixPath == nullptr) return false;
    Text command = Text("/usr/bin/chattr ") + (immutable ? "+i " : "-i ") + unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine gives no usable wait or exit code for a Unix process: watch the file.
    for (int tries = 0; tries < 500; ++tries) {
        if (OpensForWriting(path) != immutable) return true;
        Sleep(10);
    }
    return false;
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const Text& path) : path_(path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    // Remembered even if setting it seems to fail, so that it is always undone.
    immutable_ = OpensForWriting(path);
    if (immutable_) SetImmutable(path, true);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (immutable_) SetImmutable(path_, false);
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace tolvaren::test
