#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <optional>

#include "core/install_location.h"
#include "platform/posix/files.h"
#include "search/wine_registry_file.h"
#include "tests/support/file_tree.h"
#include "tests/support/test_support.h"
#include "tools/archive_builder.h"

namespace tolvaren {
namespace {

const Text kWow64Key = kInstallKeyPath32;
const Text kNativeKey = kInstallKeyPath;
const List<Text> kBothViews = {kWow64Key, kNativeKey};

// A key path as Wine writes it in a key line: backslashes doubled.
Text Written(const Text& keyPath) { return ReplaceAll(keyPath, "\\", "\\\\"); }

Text WithLetterCaseSwapped(Text text) {
    for (char& c : text) c = std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c);
    return text;
}

// The first letter after `prefix` written as a \x escape, as Wine may.
Text WithLetterEscapedAfter(const Text& text, const Text& prefix) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[prefix.size()]));
    return prefix + escape + text.substr(prefix.size() + 1);
}
const Text kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";

struct LookupCase {
    const char* what;
    Text registry;  // after the header
    std::optional<Text> value;
};

std::optional<Text> PathIn(const Text& registryText) {
    const RegistryStringLookup lookup = LookUpRegistryString(registryText, kBothViews, "Path");
    EXPECT_EQ(lookup.Why().reason, Reason::Done);
    return ValueOf(lookup);
}

TEST(WineRegistryFile, TheFirstViewThatHoldsAStringValueCounts) {
    const LookupCase cases[] = {
        {"32-bit view before native, whatever the file's order",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Native\"\n"
         "[Software\\\\Wow6432Node\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Wow\"\n",
         "C:\\Wow"},
        {"native view alone, REG_EXPAND_SZ unexpanded",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=str(2):\"%ProgramFiles%\\\\Racer\"\n",
         "%ProgramFiles%\\Racer"},
        {"str: is REG_SZ too", "[Software\\\\THQ\\\\MXvsATV\\\\Install]\n\"Path\"=str:\"C:\\\\S\"\n",
         "C:\\S"},
        {"32-bit view's multi-string does not count",
         "[Software\\\\Wow6432Node\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=str(7):\"C:\\\\M\\0\"\n"
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Native\"\n",
         "C:\\Native"},
        {"hex of other types, dword and malformed types do not count",
         "[Software\\\\Wow6432Node\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=hex(3):43,00,00,00\n"
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=dword:00000001\n",
         std::nullopt},
        {"a string saved in hex, as Wine saves one without its zero, over several lines",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=hex(2):43,00,3a,00,5c,00,\\\n  52,00,61,00\n",
         "C:\\Ra"},
        {"a string saved in hex ends at its first zero; malformed hex is none",
         "[Software\\\\Wow6432Node\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=hex(1):43,zz\n"
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=hex(1):44,00,00,00,45,00\n",
         "D"},
        {"STR(2) is malformed, as Wine reads it",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install]\n\"Path\"=STR(2):\"C:\\\\S\"\n", std::nullopt},
        {"names without regard to case",
         "[" + WithLetterCaseSwapped(Written(kWow64Key)) + "] 1\n\"PATH\"=\"C:\\\\Case\"\n", "C:\\Case"},
        {"doubled, leading and trailing backslashes in the key path",
         "[\\\\Software\\\\\\\\THQ\\\\MXvsATV\\\\Install\\\\] 1\n\"Path\"=\"C:\\\\Doubled\"\n",
         "C:\\Doubled"},
        {"escaped letters in names",
         "[" + WithLetterEscapedAfter(Written(kNativeKey), "Software\\\\") + "] 1\n\"P\\x61th\"=\"C:\\\\Esc\"\n",
         "C:\\Esc"},
        {"spaces around '=', junk after the string, indented lines",
         "  [Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n  \"Path\"  =  \"C:\\\\Sp\" ; junk\n", "C:\\Sp"},
        {"other keys and names do not count",
         "[" + Written(kNativeKey.substr(0, kNativeKey.rfind('\\'))) + "] 1\n\"Path\"=\"C:\\\\Parent\"\n"
         "[Software\\\\THQ\\\\MXvsATV\\\\Install\\\\Sub] 1\n\"Path\"=\"C:\\\\Sub\"\n"
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path2\"=\"C:\\\\P2\"\n\"Pat\"=\"C:\\\\P\"\n"
         "@=\"C:\\\\Default\"\n#\"Path\"=\"C:\\\\Comment\"\n;\"Path\"=\"C:\\\\Comment\"\n",
         std::nullopt},
        {"a key that comes twice: the last value counts",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\First\"\n"
         "[Software\\\\Other] 1\n\"Path\"=\"C:\\\\Other\"\n"
         "[SOFTWARE\\\\THQ\\\\MXvsATV\\\\Install] 2\n\"path\"=\"C:\\\\Second\"\n",
         "C:\\Second"},
        {"a later malformed value replaces the string, as in Wine",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\First\"\n\"Path\"=\"C:\\\\Cut\n",
         std::nullopt},
        {"a line whose name is malformed changes nothing",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Kept\"\n\"Path\" \"C:\\\\X\"\n"
         "\"Path=\"C:\\\\Y\"\n",
         "C:\\Kept"},
        {"a hex value's continuation lines are data, whatever they look like",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Real\"\n"
         "\"Bin\"=hex:00,01,\\\n\"Path\"=\"C:\\\\Fake\"\n",
         "C:\\Real"},
        {"a continuation swallows a key line",
         "[Software\\\\Other] 1\n\"Bin\"=hex(3):00,\\\n  01,\\\n"
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Lost\"\n",
         std::nullopt},
        {"a continuation ends at a line without a backslash, even an empty one",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Bin\"=hex:00,\\\n\n\"Path\"=\"C:\\\\After\"\n",
         "C:\\After"},
        {"a malformed key line: its values belong to no key",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Before\"\n"
         "[Software\\\\THQ\\\\MXvsATV\\\\Install\n\"Path\"=\"C:\\\\Keyless\"\n",
         "C:\\Before"},
        {"the value ends at its first NUL",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Game\\0junk\"\n", "C:\\Game"},
        {"a NUL byte ends the line",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\A" + Text(1, '\0') + "\"\n",
         std::nullopt},
        {"non-ASCII as UTF-8",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\\\x00dcber \\xd83d\\xde00\"\n",
         "C:\\\xC3\x9C" "ber \xF0\x9F\x98\x80"},
        {"the last line without a line break",
         "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Last\"", "C:\\Last"},
        {"an empty string is a string", "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"\"\n",
         ""},
    };
    for (const LookupCase& c : cases) EXPECT_EQ(PathIn(kHeader + c.registry), c.value) << c.what;
}

TEST(WineRegistryFile, ReadsFilesWithCarriageReturns) {
    const Text registry = "WINE REGISTRY Version 2\r\n\r\n[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\r\n"
                          "\"Path\"=\"C:\\\\Crlf\"\r\n\"Bin\"=hex:00,\\\r\n\"Path\"=\"C:\\\\Fake\"\r\n";
    EXPECT_EQ(PathIn(registry), "C:\\Crlf");
}

TEST(WineRegistryFile, RefusesTextThatIsNoWineRegistry) {
    const Text body = "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\X\"\n";
    for (const Text& registry : {Text(), body, "WINE REGISTRY Version 1\n" + body,
                                 "REGEDIT4\n" + body, " WINE REGISTRY Version 2\n" + body,
                                 "\n" + kHeader + body, Text("\x89PNG\r\n\x1a\n", 8)}) {
        const RegistryStringLookup lookup = LookUpRegistryString(registry, kBothViews, "Path");
        EXPECT_EQ(lookup.Why().reason, Reason::NotARegistry) << registry;
        EXPECT_EQ(ValueOf(lookup), std::nullopt) << registry;
    }
}

// Trimmed from the system.reg of a prefix made by make_wine_test_prefix.sh.
const Text kSample = Text(TOLVAREN_TEST_DATA) + "/wine8_system.reg";

TEST(WineRegistryFile, ReadsARealWine8File) {
    const struct {
        List<Text> keys;
        Text name;
        std::optional<Text> value;
    } cases[] = {
        {kBothViews, "Path", "C:\\Spiele\\\xC3\x9C" "ber Rennen"},
        {{kNativeKey}, "Path", "C:\\Games\\My Racer"},
        {{"Software\\Microsoft\\Windows NT\\CurrentVersion"}, "ProductName", "Microsoft Windows 7"},
        {{"Software\\Microsoft\\Windows NT\\CurrentVersion"}, "SystemRoot", "C:\\windows"},
        {{"Software\\Microsoft\\Windows NT\\CurrentVersion"}, "RegisteredOwner", ""},
        {{"Software\\Microsoft\\Windows NT\\CurrentVersion"}, "DigitalProductId", std::nullopt},
        {{"Software\\Microsoft\\Windows NT\\CurrentVersion"}, "InstallDate", std::nullopt},
        {{"Software\\Classes\\.chm"}, "", "chm.file"},
        {{"Software\\Microsoft\\Cryptography\\OID\\EncodingType 1\\CertDllVerifyRevocation\\DEFAULT"},
         "Dll", std::nullopt},
        {{"Software\\Wow6432Node\\Wine\\Ports"}, "SymbolicLinkValue", std::nullopt},
    };
    const Text whole = ReadWholeFile(kSample);
    ASSERT_NE(whole, "");
    for (const auto& c : cases) {
        const RegistryStringLookup fromFile = LookUpRegistryStringInFile(kSample, c.keys, c.name);
        EXPECT_EQ(fromFile.Why().reason, Reason::Done) << c.name;
        EXPECT_EQ(ValueOf(fromFile), c.value) << c.keys[0] << " " << c.name;
        EXPECT_EQ(ValueOf(LookUpRegistryString(whole, c.keys, c.name)), c.value) << c.name;
    }
}

TEST(WineRegistryFile, ReadsLinesAcrossTheChunksOfALargeFile) {
    test::TempFolder folder;
    const Text filler = "[Software\\\\Filler] 1\n\"Bin\"=hex:00,01,02,03,\\\n  04,05\n";
    const Text record = "[Software\\\\THQ\\\\MXvsATV\\\\Install] 1\n\"Path\"=\"C:\\\\Far\"\n";
    const std::size_t chunk = kReadChunkSize;
    // The first chunk ends at every byte of the record once.
    for (std::size_t cut = 0; cut <= record.size(); ++cut) {
        const std::size_t recordStart = chunk - cut;
        Text registry = kHeader;
        while (registry.size() + filler.size() + 2 <= recordStart) registry += filler;
        registry += Text(recordStart - registry.size() - 1, '#') + "\n" + record;
        while (registry.size() < 3 * chunk) registry += filler;
        const Text path = folder.Path("system.reg");
        test::MakeFile(path, registry);
        const RegistryStringLookup lookup = LookUpRegistryStringInFile(path, kBothViews, "Path");
        EXPECT_EQ(lookup.Why().reason, Reason::Done) << cut;
        EXPECT_EQ(ValueOf(lookup), "C:\\Far") << cut;
    }
}

TEST(WineRegistryFile, SaysWhyAFileCannotBeRead) {
    test::TempFolder folder;
    test::MakeFolder(folder.Path("folder.reg"));
    ASSERT_EQ(::mkfifo(folder.Path("fifo.reg").c_str(), 0644), 0);
    test::MakeLink(folder.Path("dangling.reg"), folder.Path("nowhere"));
    const struct {
        Text name, problem;
    } cases[] = {
        {"missing.reg", "No such file or directory"},
        {"dangling.reg", "No such file or directory"},
        {"folder.reg", "Is a directory"},
        {"fifo.reg", "Not a regular file"},  // and no wait for a writer
    };
    for (const auto& c : cases) {
        const RegistryStringLookup lookup =
            LookUpRegistryStringInFile(folder.Path(c.name), kBothViews, "Path");
        EXPECT_EQ(lookup.Why().reason, Reason::Unreadable) << c.name;
        EXPECT_EQ(lookup.Why().detail, c.problem) << c.name;
        EXPECT_EQ(ValueOf(lookup), std::nullopt) << c.name;
    }
}

}  // namespace
}  // namespace tolvaren
