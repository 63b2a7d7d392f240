#include "tests/registry_fixture.h"

#include <chrono>

namespace tolvaren::test {

void RegistryFixture::SetUp() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    basePath_ = "Software\\Tolvaren Tests\\" + std::to_string(stamp);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, basePath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &root_, nullptr),
              ERROR_SUCCESS);
}

void RegistryFixture::TearDown() {
    RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, basePath_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, basePath_.c_str());
}

void RegistryFixture::PutValue(const Text& keyPath, const Text& name, DWORD type,
                               const Text& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root_, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool RegistryFixture::KeyExists(const Text& keyPath) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool RegistryFixture::ValueExists(const Text& keyPath, const Text& name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const bool exists = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                        ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

std::pair<DWORD, Text> RegistryFixture::RawValue(const Text& keyPath, const Text& name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    DWORD type = REG_NONE, size = 0;
    RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    Text data(size, '\0');
    RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                     &size);
    RegCloseKey(key);
    return {type, data.substr(0, size)};
}

}  // namespace tolvaren::test
