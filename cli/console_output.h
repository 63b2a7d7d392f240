#pragma once
// The Windows tool's output to a console. A console shows 8-bit text in its
// own (OEM) code page, not the process's: a path with letters outside
// English would come out garbled. So text goes to a console as UTF-16, a
// whole line at a time (a letter of two bytes is never cut between
// writes); a file or a pipe gets the bytes unchanged.
#include <io.h>
#include <windows.h>

#include "cli/output.h"
#include "platform/win32/code_page.h"

namespace tolvaren {

class ConsoleOutput : public Output {
public:
    // Text in `codePage` (the process's, CP_ACP) to `console`.
    ConsoleOutput(HANDLE console, UINT codePage) : console_(console), codePage_(codePage) {}

    void Write(std::string_view text) override {
        pending_.append(text);
        const std::size_t lineEnd = pending_.rfind('\n');
        if (lineEnd == Text::npos) return;
        Show(std::string_view(pending_.data(), lineEnd + 1));
        pending_ = pending_.substr(lineEnd + 1);
    }
    bool Flush() override {
        if (!pending_.empty()) Show(pending_);
        pending_.clear();
        return !failed_;
    }

protected:
    virtual bool ShowWide(const WideText& wide) {
        DWORD written = 0;
        return WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
               written == wide.size();
    }

private:
    // Text that cannot be had in UTF-16 (no memory) is output lost.
    void Show(std::string_view text) {
        const WideText wide = WideFrom(text, codePage_);
        failed_ = failed_ || (wide.empty() && !text.empty()) || !ShowWide(wide);
    }

    HANDLE console_;
    UINT codePage_;
    Text pending_;
    bool failed_ = false;
};

// The console `file` shows in, or null where it is redirected.
inline HANDLE ConsoleOf(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace tolvaren
