#!/usr/bin/env python3
"""Writes the fuzzers' small seed corpora under tests/fuzz/seeds/."""
import os
import struct

ROOT = os.path.join(os.path.dirname(__file__), "..", "tests", "fuzz", "seeds")
NAME = b"Data\\Veh\\Vehicles.dat"
EXAMPLE = (b";[Team KTM]\r\n;logo=red\r\n;Sub=2\r\n;LOGO=big\r\n[Yamaha]\r\n"
           b"logo=tan\r\nmodel=a logo=b")
ENABLED = EXAMPLE.replace(b";[Team", b" [Team").replace(b";logo=red", b" logo=red").replace(b";Sub", b" Sub")


def record(name, offset, size):
    return name.ljust(100, b"\0")[:100] + struct.pack("<ii", offset, size)


def archive(entries):
    directory, data = struct.pack("<i", len(entries)), b""
    for name, body in entries:
        directory += record(name, len(data), len(body))
        data += body
    return directory + data


def write(kind, name, data):
    os.makedirs(os.path.join(ROOT, kind), exist_ok=True)
    with open(os.path.join(ROOT, kind, name), "wb") as f:
        f.write(data)


write("archive", "example", archive([(b"Data\\Other.txt", b"x;logo="), (NAME, EXAMPLE)]))
write("archive", "enabled", archive([(NAME, ENABLED)]))
write("archive", "truncated", archive([(NAME, EXAMPLE)])[:-20])
write("archive", "two-bytes", b"\x01\x00")
write("archive", "duplicate", struct.pack("<i", 2) + record(NAME, 0, 4) + record(NAME, 4, 4) + b";[KTM;[KTM")
write("archive", "negative-offset", struct.pack("<i", 1) + record(NAME + b"\0junk", -90, 8) + b";sub=1")
write("switch", "example", EXAMPLE)
write("switch", "enabled", ENABLED)
write("switch", "all-keys", b";logo=;Logo=;sub=;Sub=;[Team;[KTM;[Yamaha;[Suzuki  logo=\t;;Sub=")

HEADER = b"WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
WOW64 = b"[Software\\\\Wow6432Node\\\\THQ\\\\MXvsATV\\\\Install] 1796788031\n#time=1dd878ff900d5c6\n"
NATIVE = b"[Software\\\\THQ\\\\MXvsATV\\\\Install] 1796788025\n#time=1dd878ff524a342\n"
with open(os.path.join(os.path.dirname(__file__), "..", "tests", "search", "data", "wine8_system.reg"), "rb") as f:
    write("wine_registry", "wine8-sample", f.read())
write("wine_registry", "both-views", HEADER + NATIVE + b'"Path"=str(2):"C:\\\\Games\\\\My Racer"\n\n'
      + WOW64 + b'"Path"="C:\\\\Spiele\\\\\\x00dcber Rennen"\n')
write("wine_registry", "continuation", HEADER + WOW64 + b'"Bin"=hex(2):43,00,\\\n"Path"="C:\\\\Fake"\n'
      + b'"Path"=str(7):"C:\\\\M\\0"\n' + NATIVE + b'@="x"\n"Path"=dword:00000001\n"path"="C:\\\\Last"\n')
write("wine_registry", "escapes", HEADER + NATIVE
      + b'"Path"="a\\1b\\0011\\a\\e\\v\\f\\r\\nz\x7f~\\x20ac \\xd83d\\xde00|\\q\\x\\8\\400|\xc3\x9c\xff\xc3z"\n')
write("wine_registry", "crlf", HEADER.replace(b"\n", b"\r\n") + NATIVE.replace(b"\n", b"\r\n")
      + b'"Path"="C:\\\\Crlf"\r\n')
write("wine_registry", "not-a-registry", b"REGEDIT4\n" + NATIVE + b'"Path"="C:\\\\X"\n')
write("steam_libraries", "steam-written", b'"libraryfolders"\n{\n\t"0"\n\t{\n\t\t"path"\t\t"/home/me/.local/share/Steam"\n'
      b'\t\t"label"\t\t""\n\t\t"apps"\n\t\t{\n\t\t\t"228980"\t\t"224464367"\n\t\t}\n\t}\n'
      b'\t"1"\n\t{\n\t\t"path"\t\t"/mnt/games/SteamLibrary"\n\t}\n}\n')
write("steam_libraries", "conditions-comments", b'// by hand\nlibraryfolders { 0 { "label" "l" [!$WIN32] '
      b'path /mnt/bare [$LINUX] } "1" { "PATH" "/mnt/we\\"ird\\\\x//y" } // end\n}')
write("steam_libraries", "unterminated", b'"libraryfolders" { "0" { "path" "/a" } "1" { "path" "/b }\n')
