#include <gtest/gtest.h>

#include "registry/registry_helpers.h"
#include "tests/support/byte_bstr.h"
#include "tests/support/registry_fixture.h"

namespace tolvaren {
namespace {

using RegistryHelpers = test::RegistryFixture;

Text Dword(DWORD value) { return Text(reinterpret_cast<const char*>(&value), sizeof value); }

LONG DeleteKey(HKEY root, const Text& path) {
    const test::UniqueBstr owned = test::ByteBstr(path);
    const BSTR text = owned.get();
    return DELREGKEY(&root, &text);
}

// A key path of exactly `length` bytes, in parts that fit the registry's limits.
Text PathOfLength(std::size_t length) {
    Text path(length, 'k');
    for (std::size_t at = 100; at < length - 1; at += 101) path[at] = '\\';
    return path;
}

TEST_F(RegistryHelpers, GetRegStringReadsAnyValueAsText) {
    PutValue("Values", "Text", REG_SZ, Text("C:\\Games\\Racer", 15));
    PutValue("Values", "", REG_SZ, Text("default", 8));
    PutValue("Values", "**", REG_SZ, Text("two stars", 10));
    PutValue("Values", " *", REG_SZ, Text("blank star", 11));
    PutValue("Values", "* ", REG_SZ, Text("star blank", 11));
    PutValue("Values", "Empty", REG_SZ, Text(1, '\0'));
    PutValue("Values", "Dword", REG_DWORD, Dword(0x41));
    PutValue("Values", "Expand", REG_EXPAND_SZ, Text("%WINDIR%\\x", 11));
    PutValue("Values", "Multi", REG_MULTI_SZ, Text("first\0second\0", 14));
    PutValue("Values", "Long255", REG_SZ, Text(255, 'x') + Text(1, '\0'));
    PutValue("Values", "Raw256", REG_BINARY, Text(256, 'y'));
    PutValue("Values", "TooLong", REG_SZ, Text(300, 'z') + Text(1, '\0'));

    const std::pair<Text, Text> cases[] = {
        {"Text", "C:\\Games\\Racer"},
        {"*", "default"},
        {"", "default"},
        {"**", "two stars"},
        {" *", "blank star"},
        {"* ", "star blank"},
        {"Empty", ""},
        {"Missing", ""},
        {"Dword", "A"},
        {"Expand", "%WINDIR%\\x"},
        {"Multi", "first"},
        {"Long255", Text(255, 'x')},
        {"Raw256", Text(256, 'y')},  // fills the buffer exactly: returned whole
        {"TooLong", ""},             // does not fit: never read past the buffer
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(GetRegString(root_, "Values", name), expected) << '"' << name << '"';
    EXPECT_EQ(GetRegString(root_, "No Such Key", "Text"), "");
}

TEST_F(RegistryHelpers, GetRegStringCutsAnOverlongValueNameAndLooksUpTheCut) {
    PutValue("Values", Text(255, 'n'), REG_SZ, Text("found", 6));
    EXPECT_EQ(GetRegString(root_, "Values", Text(255, 'n') + "extra"), "found");
}

TEST_F(RegistryHelpers, SetRegStringWritesTextWithItsTerminatingZero) {
    EXPECT_EQ(SetRegString(root_, "A\\B\\C", "Value", "abc"), ERROR_SUCCESS);
    EXPECT_EQ(RawValue("A\\B\\C", "Value"), std::make_pair(DWORD{REG_SZ}, Text("abc\0", 4)));

    EXPECT_EQ(SetRegString(root_, "A", "Empty", ""), ERROR_SUCCESS);
    EXPECT_EQ(RawValue("A", "Empty"), std::make_pair(DWORD{REG_SZ}, Text(1, '\0')));

    EXPECT_EQ(SetRegString(root_, "A", "*", "default"), ERROR_SUCCESS);
    EXPECT_EQ(RawValue("A", "").second, Text("default\0", 8));

    EXPECT_EQ(SetRegString(root_, "A", "Longest", Text(2047, 'x')), ERROR_SUCCESS);
    EXPECT_EQ(RawValue("A", "Longest").second, Text(2047, 'x') + Text(1, '\0'));
}

TEST_F(RegistryHelpers, SetRegStringRefusesWhatItCannotWrite) {
    EXPECT_EQ(SetRegString(root_, "A", "Big", Text(2048, 'x')), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(KeyExists("A"));
    const HKEY invalid = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
    EXPECT_NE(SetRegString(invalid, "A", "Value", "abc"), ERROR_SUCCESS);
}

TEST_F(RegistryHelpers, DelRegValueDeletesOneValue) {
    PutValue("K", "One", REG_SZ, Text("1", 2));
    PutValue("K", "Two", REG_SZ, Text("2", 2));
    PutValue("K", "", REG_SZ, Text("d", 2));
    EXPECT_EQ(DelRegValue(root_, "K", "One"), ERROR_SUCCESS);
    EXPECT_FALSE(ValueExists("K", "One"));
    EXPECT_TRUE(ValueExists("K", "Two"));
    EXPECT_EQ(DelRegValue(root_, "K", "*"), ERROR_SUCCESS);
    EXPECT_FALSE(ValueExists("K", ""));
    EXPECT_EQ(DelRegValue(root_, "K", "One"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(DelRegValue(root_, "Missing", "Two"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryHelpers, KeyPathsThatWouldBeCutAreRefused) {
    PutValue("Vendor", "Keep", REG_SZ, Text("1", 2));
    PutValue("Vendor\\Sub", "Keep", REG_SZ, Text("1", 2));
    const Text withZero = Text("Vendor\0Sub", 10);
    EXPECT_EQ(DelRegValue(root_, withZero, "Keep"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(DeleteKey(root_, withZero), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(ValueExists("Vendor", "Keep"));
    EXPECT_TRUE(KeyExists("Vendor"));

    // Wine's 8-bit registry calls take at most 259 bytes of key path, so the
    // over-long case is seen by its answer alone.
    EXPECT_EQ(DelRegValue(root_, PathOfLength(300), "Keep"), ERROR_INVALID_PARAMETER);

    const Text key254 = PathOfLength(254);
    PutValue(key254, "Keep", REG_SZ, Text("1", 2));
    EXPECT_EQ(DeleteKey(root_, key254 + "x"), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(KeyExists(key254));
}

TEST_F(RegistryHelpers, DelregkeyDeletesExactlyTheNamedKey) {
    const Text key254 = PathOfLength(254);
    PutValue(key254, "V", REG_SZ, Text("1", 2));
    EXPECT_EQ(DeleteKey(root_, key254), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(key254));
    EXPECT_TRUE(KeyExists(key254.substr(0, key254.rfind('\\'))));

    EXPECT_EQ(DeleteKey(root_, "Never There"), 0);

    PutValue("Parent\\Child", "V", REG_SZ, Text("1", 2));
    EXPECT_NE(DeleteKey(root_, "Parent"), ERROR_SUCCESS);  // the platform keeps keys with subkeys
    EXPECT_TRUE(KeyExists("Parent\\Child"));
}

TEST_F(RegistryHelpers, DelregkeyNeverAimsAtTheRootItself) {
    PutValue("", "Keep", REG_SZ, Text("1", 2));
    EXPECT_EQ(DeleteKey(root_, ""), ERROR_INVALID_PARAMETER);
    const BSTR none = nullptr;
    EXPECT_EQ(DELREGKEY(&root_, &none), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(ValueExists("", "Keep"));
}

}  // namespace
}  // namespace tolvaren
