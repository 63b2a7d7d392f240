// Arbitrary bytes as a libraryfolders.vdf: the reader never crashes, names
// no more libraries than the text has "path" keys and numbers (the older
// form's keys), says where a fault is,
// and a line break at the end changes nothing but that line number.
#include <cstdint>

#include "core/ascii.h"
#include "search/steam_libraries.h"
#include "tests/fuzz/fuzz_check.h"

using namespace tolvaren;

namespace {

std::size_t PathKeysIn(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at + 4 <= text.size(); ++at)
        if (EqualIgnoringAsciiCase(text.substr(at, 4), "path")) ++count;
    return count;
}

// Each numbered key is a run of digits of its own.
std::size_t DigitRunsIn(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++at)
        if (IsAsciiDigit(text[at]) && (at == 0 || !IsAsciiDigit(text[at - 1]))) ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text text(reinterpret_cast<const char*>(data), size);
    const SteamLibraryList list = LibraryPathsInVdf(text);
    FUZZ_CHECK(list.paths.size() <= PathKeysIn(text) + DigitRunsIn(text));
    FUZZ_CHECK(list.problem.Done() || (list.problem.reason == Reason::Malformed &&
                                       list.problem.detail.rfind("line ", 0) == 0));

    const SteamLibraryList withLineBreak = LibraryPathsInVdf(text + "\n");
    FUZZ_CHECK(withLineBreak.paths == list.paths);
    FUZZ_CHECK(withLineBreak.problem.reason == list.problem.reason);
    return 0;
}
