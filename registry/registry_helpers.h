#pragma once
// Small helpers over the registry. Every key is opened with full access, and
// the value name "*" stands for a key's default value.
#include <windows.h>

#include "core/result.h"

namespace tolvaren {

inline constexpr char kDefaultValueName[] = "*";

// What GetRegString reads a value into.
constexpr DWORD kRegStringBytes = 256;

// A value read as text.
struct RegValue {
    Text text;  // the data up to its first zero byte
    DWORD type = REG_NONE;
};

// The size to read a value of any length with.
constexpr DWORD kWholeValue = 0;

// Opens the key with `access` (which may name a registry view) and reads
// the value as GetRegString does, into a buffer of `capacity` bytes (with
// kWholeValue, whatever it needs). NotInstalled where the key or the value
// is missing, AccessDenied where `access` is refused, RecordTooLong where
// the value does not fit, else PlatformError with Windows's words.
Result<RegValue> ReadRegText(const HKEY& root, const Text& keyPath, const Text& valueName, REGSAM access,
                             DWORD capacity = kRegStringBytes);

// Done where the 8-bit read of the string value kept its every letter;
// NotSpellable where the process's code page has no letter for one of them
// (the read then gave '?' or another letter in its place).
Outcome CheckSpelled(const HKEY& root, const Text& keyPath, const Text& valueName, REGSAM access);

// The value's data as text up to its first zero byte; the empty text when the
// key or value is missing or the data does not fit in 256 bytes.
Text GetRegString(const HKEY& root, Text keyPath, Text valueName);

// Writes a REG_SZ value, creating missing keys. Returns the Win32 status;
// data over 2047 bytes is refused with ERROR_INVALID_PARAMETER.
LONG SetRegString(const HKEY& root, Text keyPath, Text valueName, Text data);

// Returns the Win32 status; a key path longer than 299 bytes or holding a
// zero byte is refused with ERROR_INVALID_PARAMETER.
LONG DelRegValue(const HKEY& root, Text keyPath, Text valueName);

}  // namespace tolvaren

// Exported for outside callers as DELREGKEY, ordinal 1. Deletes one key
// (without subkeys) named by an 8-bit text in a BSTR. Returns 0 when the key
// does not exist; ERROR_INVALID_PARAMETER for an empty path, one over 254
// bytes or one holding a zero byte.
extern "C" LONG WINAPI DELREGKEY(const HKEY* root, const BSTR* keyPath);
