#include "registry/registry_helpers.h"

#include "platform/win32/code_page.h"
#include "platform/win32/errors.h"
#include "registry/fixed_text.h"
#include "registry/unique_hkey.h"

namespace tolvaren {
namespace {

constexpr std::size_t kKeyPathBuffer = 300;
constexpr std::size_t kValueNameBuffer = 256;
constexpr std::size_t kWriteBuffer = 2048;

Text RegistryName(const Text& valueName) {
    return valueName == kDefaultValueName ? Text() : valueName;
}

Outcome OutcomeOfRegistryError(LONG status) {
    switch (status) {
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: return Reason::NotInstalled;
        case ERROR_ACCESS_DENIED: return Reason::AccessDenied;
        case ERROR_MORE_DATA: return Reason::RecordTooLong;
        default: return {Reason::PlatformError, WindowsErrorText(static_cast<DWORD>(status))};
    }
}

}  // namespace

Result<RegValue> ReadRegText(const HKEY& root, const Text& keyPath, const Text& valueName, REGSAM access,
                             DWORD capacity) {
    const FixedText<kKeyPathBuffer> key(keyPath);
    UniqueHkey opened;
    if (LONG status = RegOpenKeyExA(root, key.c_str(), 0, access, opened.put()); status != ERROR_SUCCESS)
        return OutcomeOfRegistryError(status);
    const FixedText<kValueNameBuffer> name(RegistryName(valueName));
    RegValue value;
    LONG status = ERROR_MORE_DATA;
    // A value of any length is asked for its size first, and again where it
    // grew meanwhile.
    for (int tries = 0; status == ERROR_MORE_DATA && tries < 3; ++tries) {
        DWORD size = capacity;
        if (capacity == kWholeValue &&
            RegQueryValueExA(opened.get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            size = 0;
        value.text.assign(size + 1, '\0');  // a terminating zero, where the data has none
        status = RegQueryValueExA(opened.get(), name.c_str(), nullptr, &value.type,
                                  reinterpret_cast<BYTE*>(value.text.data()), &size);
        if (capacity != kWholeValue) break;
    }
    if (status != ERROR_SUCCESS) return OutcomeOfRegistryError(status);
    value.text.resize(value.text.find('\0'));  // the text ends at its first zero byte
    return value;
}

Outcome CheckSpelled(const HKEY& root, const Text& keyPath, const Text& valueName, REGSAM access) {
    if (GetACP() == CP_UTF8) return Reason::Done;  // every letter has its bytes
    const FixedText<kKeyPathBuffer> key(keyPath);
    UniqueHkey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, access, opened.put()) != ERROR_SUCCESS) return Reason::Done;
    WideText name = WideFrom(RegistryName(valueName), CP_ACP);
    name.push_back(L'\0');
    DWORD size = 0;
    WideText data;
    if (RegQueryValueExW(opened.get(), name.data(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        !data.TryResize(size / sizeof(wchar_t) + 1) ||
        RegQueryValueExW(opened.get(), name.data(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return Reason::Done;  // what the 8-bit read gave stands
    const std::wstring_view text(data.data(), View(data).find(L'\0'));  // up to its terminating zero
    return CodePageSpells(text, CP_ACP) ? Reason::Done : Reason::NotSpellable;
}

Text GetRegString(const HKEY& root, Text keyPath, Text valueName) {
    const Result<RegValue> value = ReadRegText(root, keyPath, valueName, KEY_ALL_ACCESS);
    return value ? value->text : Text();
}

LONG SetRegString(const HKEY& root, Text keyPath, Text valueName, Text data) {
    if (data.size() > kWriteBuffer - 1) return ERROR_INVALID_PARAMETER;
    const Text name = RegistryName(valueName);
    char noClass[] = "";
    UniqueHkey key;
    DWORD disposition = 0;
    const LONG created = RegCreateKeyExA(root, keyPath.c_str(), 0, noClass, REG_OPTION_NON_VOLATILE,
                                         KEY_ALL_ACCESS, nullptr, key.put(), &disposition);
    if (created != ERROR_SUCCESS) return created;
    const FixedText<kWriteBuffer> buffer(data);
    return RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(buffer.c_str()),
                          static_cast<DWORD>(data.size() + 1));
}

LONG DelRegValue(const HKEY& root, Text keyPath, Text valueName) {
    const FixedText<kKeyPathBuffer> key(keyPath);
    if (key.WasCut()) return ERROR_INVALID_PARAMETER;
    UniqueHkey opened;
    const LONG status = RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, opened.put());
    if (status != ERROR_SUCCESS) return status;
    return RegDeleteValueA(opened.get(), RegistryName(valueName).c_str());
}

}  // namespace tolvaren
