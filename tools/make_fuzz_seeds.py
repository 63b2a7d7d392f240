#!/usr/bin/env python3
"""Writes the fuzzers' small seed corpora under tests/fuzz/seeds/."""
import os
import struct

ROOT = os.path.join(os.path.dirname(__file__), "..", "tests", "fuzz", "seeds")
NAME = b"Data\\Veh\\Vehicles.dat"
EXAMPLE = (b";[Team KTM]\r\n;logo=ktm\r\n;Sub=2\r\n;LOGO=big\r\n[Yamaha]\r\n"
           b"logo=yam\r\nmodel=a logo=b")
ENABLED = EXAMPLE.replace(b";[Team", b" [Team").replace(b";logo=ktm", b" logo=ktm").replace(b";Sub", b" Sub")


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
