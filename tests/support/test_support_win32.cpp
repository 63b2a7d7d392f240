#include <windows.h>

#include <initializer_list>

#include "platform/win32/unique_handle.h"
#include "tests/support/test_support.h"

namespace tolvaren::test {

struct ExclusiveHold::Handle {
    UniqueFileHandle file;
};

ExclusiveHold::ExclusiveHold(const Text& path) : handle_(std::make_unique<Handle>()) {
    handle_->file.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

ExclusiveHold::~ExclusiveHold() = default;

bool ExclusiveHold::Held() const { return static_cast<bool>(handle_->file); }

struct GameHold::Handle {
    UniqueFileHandle file;
};

GameHold::GameHold(const Text& path, Lock, int) : handle_(std::make_unique<Handle>()) {
    handle_->file.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

GameHold::~GameHold() = default;

bool GameHold::Held() const { return static_cast<bool>(handle_->file); }
long GameHold::ProcessId() const { return static_cast<long>(GetCurrentProcessId()); }

}  // namespace tolvaren::test

namespace tolvaren::test {
namespace {

// Wine can start a Unix program; it gives no usable wait or exit code for
// one, so callers watch for its effect.
bool StartUnixCommand(const Text& program, std::initializer_list<Text> paths) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return false;
    Text command = program;
    for (const Text& path : paths) {
        wchar_t widePath[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        char* unixPath = toUnix(widePath);
        if (unixPath == nullptr) return false;
        command += Text(" ") + unixPath;
        HeapFree(GetProcessHeap(), 0, unixPath);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    // Closed at once: nothing here waits for the process.
    const UniqueHandle thread(process.hThread), started(process.hProcess);
    return true;
}

template <class Condition>
bool WaitFor(Condition condition) {
    for (int tries = 0; tries < 500; ++tries) {
        if (condition()) return true;
        Sleep(10);
    }
    return false;
}

// Under Wine as root the read-only attribute is not enforced; the Unix
// immutable flag is.
bool SetImmutable(const Text& path, bool immutable) {
    return StartUnixCommand(immutable ? "/usr/bin/chattr +i" : "/usr/bin/chattr -i", {path}) &&
           WaitFor([&] { return OpensForWriting(path) != immutable; });
}

}  // namespace

// Wine has no attributes for a pipe, but lists it.
bool Listed(const Text& path) {
    WIN32_FIND_DATAA found{};
    return static_cast<bool>(UniqueFindHandle(FindFirstFileA(path.c_str(), &found)));
}

Fifo::Fifo(const Text& path)
    : path_(path),
      made_(StartUnixCommand("/usr/bin/mkfifo", {path}) && WaitFor([&] { return Listed(path); })) {}

Fifo::~Fifo() {
    if (StartUnixCommand("/bin/rm -f", {path_})) WaitFor([&] { return !Listed(path_); });
}

bool RenameOver(const Text& from, const Text& to) {
    return StartUnixCommand("/bin/mv", {from, to}) && WaitFor([&] { return !Listed(from); });
}

ReadOnlyFile::ReadOnlyFile(const Text& path, Mark mark) : path_(path), mark_(mark) {
    if (mark_ == Mark::Yes) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    // Remembered even if setting it seems to fail, so that it is always undone.
    immutable_ = OpensForWriting(path);
    if (immutable_) SetImmutable(path, true);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (immutable_) SetImmutable(path_, false);
    if (mark_ == Mark::Yes) SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace tolvaren::test
