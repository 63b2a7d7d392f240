#include "tests/support/test_support.h"

#include <atomic>
#include <chrono>

namespace tolvaren::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = fs::temp_directory_path() /
            ("tolvaren-test-" + DecimalText(stamp) + "-" + DecimalText(counter++)).c_str();
    fs::create_directories(root_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

Text TempFolder::Path(const Text& name) const { return Text((root_ / std::string_view(name)).string()); }

bool OpensForWriting(const Text& path) {
    return static_cast<bool>(PlatformFileSystem().Open(path, FileAccess::ReadWrite));
}

bool ReadOnlyFile::Enforced() const { return !OpensForWriting(path_); }

Result<std::unique_ptr<File>> ReadOnlyFileSystem::Open(const Text& path, FileAccess access) {
    if (access == FileAccess::ReadWrite) return Reason::AccessDenied;
    return inner_.Open(path, access);
}

}  // namespace tolvaren::test
