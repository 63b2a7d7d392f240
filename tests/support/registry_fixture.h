#pragma once
// A registry key of the test's own under HKEY_CURRENT_USER, removed afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/text.h"
#include "registry/unique_hkey.h"

namespace tolvaren::test {

class RegistryFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Relative to root_.
    void PutValue(const Text& keyPath, const Text& name, DWORD type, const Text& data);
    bool KeyExists(const Text& keyPath) const;
    bool ValueExists(const Text& keyPath, const Text& name) const;
    // Type and raw bytes of a value.
    std::pair<DWORD, Text> RawValue(const Text& keyPath, const Text& name) const;

    Text basePath_;  // under HKEY_CURRENT_USER
    UniqueHkey rootKey_;
    HKEY root_ = nullptr;  // rootKey_'s, as the routines under test take it: by reference
};

}  // namespace tolvaren::test
