#include "tests/support/registry_fixture.h"

#include <chrono>

namespace tolvaren::test {
namespace {

UniqueHkey OpenForReading(HKEY root, const Text& keyPath) {
    UniqueHkey key;
    RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, key.put());
    return key;
}

}  // namespace

void RegistryFixture::SetUp() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    basePath_ = "Software\\Tolvaren Tests\\" + DecimalText(stamp);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, basePath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, rootKey_.put(), nullptr),
              ERROR_SUCCESS);
    root_ = rootKey_.get();
}

void RegistryFixture::TearDown() {
    rootKey_.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, basePath_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, basePath_.c_str());
}

void RegistryFixture::PutValue(const Text& keyPath, const Text& name, DWORD type,
                               const Text& data) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExA(root_, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

bool RegistryFixture::KeyExists(const Text& keyPath) const {
    return static_cast<bool>(OpenForReading(root_, keyPath));
}

bool RegistryFixture::ValueExists(const Text& keyPath, const Text& name) const {
    const UniqueHkey key = OpenForReading(root_, keyPath);
    return key && RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
}

std::pair<DWORD, Text> RegistryFixture::RawValue(const Text& keyPath, const Text& name) const {
    const UniqueHkey key = OpenForReading(root_, keyPath);
    if (!key) return {};
    DWORD type = REG_NONE, size = 0;
    RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    Text data(size, '\0');
    RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                     &size);
    return {type, data.substr(0, size)};
}

}  // namespace tolvaren::test
