// Arbitrary bytes as a system.reg: the lookup never crashes, refuses exactly
// the texts whose first line is not Wine's header, gives valid UTF-8 without
// NUL, and takes the first of its keys that holds the value.
#include <cstdint>

#include "search/wine_registry_file.h"
#include "tests/fuzz/fuzz_check.h"

using namespace tolvaren;

namespace {

const Text kWow64Key = "Software\\Wow6432Node\\THQ\\MXvsATV\\Install";
const Text kNativeKey = "Software\\THQ\\MXvsATV\\Install";

bool StartsWithHeader(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    line = line.substr(0, line.find('\0'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line == "WINE REGISTRY Version 2";
}

bool IsValidUtf8WithoutNul(const Text& text) {
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        if (lead == 0) return false;
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || at + length > text.size()) return false;
        for (std::size_t i = 1; i < length; ++i)
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
        at += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const RegistryStringLookup both = LookUpRegistryString(text, {kWow64Key, kNativeKey}, "Path");
    const RegistryStringLookup wow64 = LookUpRegistryString(text, {kWow64Key}, "Path");
    const RegistryStringLookup native = LookUpRegistryString(text, {kNativeKey}, "Path");

    FUZZ_CHECK(static_cast<bool>(both) == StartsWithHeader(text));
    FUZZ_CHECK(both.Why().reason == wow64.Why().reason && both.Why().reason == native.Why().reason);
    if (!both) return 0;
    FUZZ_CHECK(*both == (*wow64 ? *wow64 : *native));
    if (*both) FUZZ_CHECK(IsValidUtf8WithoutNul(**both));
    return 0;
}
