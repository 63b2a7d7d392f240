#include "tests/e2e/program_driver.h"

#include "ui/resource_ids.h"

namespace tolvaren::test {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

struct WindowSearch {
    DWORD processId;
    HWND exclude;
    HWND found;
};

// The main dialog of any instance but one: a dialog with the checkbox.
struct InstanceSearch {
    DWORD exceptProcessId;
    HWND found;
};

BOOL CALLBACK MatchOtherInstance(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<InstanceSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (processId == search.exceptProcessId || Text(className) != "#32770" ||
        !IsWindowVisible(window) || GetDlgItem(window, IDC_EXTRA_VEHICLES) == nullptr)
        return TRUE;
    search.found = window;
    return FALSE;
}

// The limited token Windows links to an administrator's own.
UniqueHandle StandardUserToken() {
    UniqueHandle own;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.put())) return UniqueHandle();
    TOKEN_LINKED_TOKEN linked = {};
    DWORD size = 0;
    if (!GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size))
        return UniqueHandle();
    return UniqueHandle(linked.LinkedToken);
}

BOOL CALLBACK MatchDialogWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (processId != search.processId || window == search.exclude ||
        Text(className) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    search.found = window;
    return FALSE;
}

BOOL CALLBACK FindVisibleIcon(HWND child, LPARAM context) {
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && IsWindowVisible(child) &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        SendMessageA(child, STM_GETICON, 0, 0) != 0) {
        *reinterpret_cast<bool*>(context) = true;
        return FALSE;
    }
    return TRUE;
}

Text WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

template <class Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

}  // namespace

ProgramDriver::~ProgramDriver() {
    if (!process_) return;
    if (Running()) TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
}

bool ProgramDriver::Start(const Text& arguments, Rights rights) {
    Text commandLine = Text("\"") + TOLVAREN_EXE + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (rights == Rights::StandardUser) {
        const UniqueHandle token = StandardUserToken();
        if (!token || !CreateProcessAsUserA(token.get(), nullptr, commandLine.data(), nullptr, nullptr,
                                            FALSE, 0, nullptr, nullptr, &startup, &started))
            return false;
    } else if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started)) {
        return false;
    }
    process_.reset(started.hProcess);
    thread_.reset(started.hThread);
    processId_ = started.dwProcessId;
    threadId_ = started.dwThreadId;
    return WaitFor([this] { return (dialog_ = FindProgramWindow(false)) != nullptr; }, 30000);
}

bool ProgramDriver::AttachToOtherInstance(DWORD except, DWORD timeoutMs) {
    InstanceSearch search = {except, nullptr};
    if (!WaitFor([&] {
            EnumWindows(MatchOtherInstance, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        }, timeoutMs))
        return false;
    dialog_ = search.found;
    threadId_ = GetWindowThreadProcessId(dialog_, &processId_);
    process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE,
                               processId_));
    return static_cast<bool>(process_);
}

HWND ProgramDriver::FindProgramWindow(bool messageBox) const {
    WindowSearch search = {processId_, messageBox ? dialog_ : nullptr, nullptr};
    EnumWindows(MatchDialogWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramDriver::Checkbox() const { return GetDlgItem(dialog_, IDC_EXTRA_VEHICLES); }

LRESULT ProgramDriver::CheckState() const {
    return SendMessageA(Checkbox(), BM_GETCHECK, 0, 0);
}

bool ProgramDriver::Running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void ProgramDriver::Click() const { PostMessageA(Checkbox(), BM_CLICK, 0, 0); }

void ProgramDriver::PressKey(WPARAM key) const {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    PostMessageA(Checkbox(), WM_KEYDOWN, key, 1 | scan << 16);
    PostMessageA(Checkbox(), WM_KEYUP, key, 1 | scan << 16 | 0xC0000000u);
}

bool ProgramDriver::ReadAndDismissMessageBox(MessageBoxSeen& seen, DWORD timeoutMs, WPARAM answer) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindProgramWindow(true)) != nullptr; }, timeoutMs))
        return false;
    // The text control may be filled just after the box shows.
    WaitFor([&] { return GetDlgItem(box, kMessageBoxTextId) != nullptr; }, 2000);
    seen.caption = WindowText(box);
    seen.text = WindowText(GetDlgItem(box, kMessageBoxTextId));
    seen.hasIcon = false;
    EnumChildWindows(box, FindVisibleIcon, reinterpret_cast<LPARAM>(&seen.hasIcon));
    PostMessageA(box, WM_COMMAND, answer, 0);
    // A box with another nested inside it hides at once but is destroyed
    // only when the inner one has returned.
    return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
}

bool ProgramDriver::NoMessageBoxFor(DWORD ms) const {
    return !WaitFor([this] { return FindProgramWindow(true) != nullptr; }, ms);
}

HWND ProgramDriver::FocusSettlingOn(HWND expected, DWORD timeoutMs) const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    WaitFor([&] { return GetGUIThreadInfo(ThreadId(), &info) && info.hwndFocus == expected; },
            timeoutMs);
    return info.hwndFocus;
}

DWORD ProgramDriver::CloseAndWait() {
    PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitForExit();
}

DWORD ProgramDriver::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return ~0u;
    DWORD exitCode = ~0u;
    GetExitCodeProcess(process_.get(), &exitCode);
    return exitCode;
}

}  // namespace tolvaren::test
