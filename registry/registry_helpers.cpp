#include "registry/registry_helpers.h"


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

}  // namespace

RegText ReadRegText(const HKEY& root, const Text& keyPath, const Text& valueName, REGSAM access,
                    DWORD capacity) {
    const FixedText<kKeyPathBuffer> key(keyPath);
    UniqueHkey opened;
    RegText read;
    read.status = RegOpenKeyExA(root, key.c_str(), 0, access, opened.put());
    if (read.status != ERROR_SUCCESS) return read;
    const FixedText<kValueNameBuffer> name(RegistryName(valueName));
    Text data(capacity, '\0');
    read.size = capacity;
    read.status = RegQueryValueExA(opened.get(), name.c_str(), nullptr, &read.type,
                                   reinterpret_cast<BYTE*>(data.data()), &read.size);
    if (read.status == ERROR_MORE_DATA) return read;  // the buffer's content is undefined then
    const std::size_t end = data.find('\0');  // the text ends at its first zero byte
    if (end != Text::npos) data.resize(end);
    read.text = std::move(data);
    return read;
}

Text GetRegString(const HKEY& root, Text keyPath, Text valueName) {
    return ReadRegText(root, keyPath, valueName, KEY_ALL_ACCESS).text;
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
