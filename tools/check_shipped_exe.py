#!/usr/bin/python3
"""Checks the shipped 32-bit program file: machine, subsystem, its one export,
its imports, its resources and its size. Prints what it checked; exits 1 on
any failure."""
import struct
import sys

import pefile

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll"}
MAX_BYTES = 128 * 1024
GOAL_BYTES = 64 * 1024
ICON_GROUP_ID, ENGLISH_US = 102, 1033


def icon_group_members(pe, data_rva, size):
    """(width, height, colours, bit count, icon id) of each image the group names."""
    data = pe.get_data(data_rva, size)
    _, _, count = struct.unpack_from("<HHH", data, 0)
    members = []
    for i in range(count):
        width, height, colours, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
        members.append((width or 256, height or 256, colours, bits, icon_id))
    return members


def check(path):
    failures = []
    pe = pefile.PE(path)
    size = len(open(path, "rb").read())

    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        failures.append("not an i386 program")
    if pe.OPTIONAL_HEADER.Magic != pefile.OPTIONAL_HEADER_MAGIC_PE:
        failures.append("not PE32")
    if pe.OPTIONAL_HEADER.Subsystem != pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"]:
        failures.append("not the GUI subsystem")

    exports = [(e.ordinal, e.name.decode() if e.name else None)
               for e in getattr(pe, "DIRECTORY_ENTRY_EXPORT", None).symbols] \
        if hasattr(pe, "DIRECTORY_ENTRY_EXPORT") else []
    if exports != [(1, "DELREGKEY")]:
        failures.append(f"exports {exports}, expected only DELREGKEY at ordinal 1")

    imports = {entry.dll.decode(): len(entry.imports) for entry in pe.DIRECTORY_ENTRY_IMPORT}
    unexpected = sorted(d for d in imports if d.lower() not in ALLOWED_DLLS)
    if unexpected:
        failures.append(f"imports from {unexpected}")

    resources = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for rtype in root.entries if root else []:
        for name in rtype.directory.entries:
            for lang in name.directory.entries:
                resources.setdefault(rtype.id, []).append((name.id, lang.id, lang.data.struct))
    if set(resources) != {pefile.RESOURCE_TYPE["RT_GROUP_ICON"], pefile.RESOURCE_TYPE["RT_ICON"]}:
        failures.append(f"resource types {sorted(resources)}, expected only an icon group and its icons")
    groups = resources.get(pefile.RESOURCE_TYPE["RT_GROUP_ICON"], [])
    icons = resources.get(pefile.RESOURCE_TYPE["RT_ICON"], [])
    images = []
    if [(g[0], g[1]) for g in groups] != [(ICON_GROUP_ID, ENGLISH_US)]:
        failures.append(f"icon groups {[(g[0], g[1]) for g in groups]}, expected one, id 102, language 1033")
    else:
        entry = groups[0][2]
        images = icon_group_members(pe, entry.OffsetToData, entry.Size)
        if sorted((w, h) for w, h, *_ in images) != [(16, 16), (32, 32)]:
            failures.append(f"icon sizes {[(w, h) for w, h, *_ in images]}, expected 32x32 and 16x16")
        if any(colours != 16 and bits != 4 for _, _, colours, bits, _ in images):
            failures.append("an image is not of 16 colours")
        if sorted(i for *_, i in images) != sorted(i[0] for i in icons):
            failures.append(f"the group names icons {[i for *_, i in images]}, the file holds {[i[0] for i in icons]}")

    if size > MAX_BYTES:
        failures.append(f"{size} bytes, more than {MAX_BYTES}")

    machine = pefile.MACHINE_TYPE.get(pe.FILE_HEADER.Machine, hex(pe.FILE_HEADER.Machine))
    kind = "PE32" if pe.OPTIONAL_HEADER.Magic == pefile.OPTIONAL_HEADER_MAGIC_PE else "PE32+"
    subsystem = pefile.SUBSYSTEM_TYPE.get(pe.OPTIONAL_HEADER.Subsystem, pe.OPTIONAL_HEADER.Subsystem)
    print(f"{path}: {kind}, {machine}, {subsystem}, {size} bytes "
          f"({size / 1024:.1f} KiB; limit 128 KiB, goal 64 KiB{' met' if size <= GOAL_BYTES else ' not met'})")
    print(f"  exports: {', '.join(f'{n} @{o}' for o, n in exports)}")
    print(f"  imports: {', '.join(f'{d} ({n})' for d, n in imports.items())}")
    print(f"  resources: icon group {ICON_GROUP_ID} (language {ENGLISH_US}) naming "
          f"{', '.join(f'{w}x{h} {c or 2 ** b} colours (icon {i})' for w, h, c, b, i in images)}")
    for failure in failures:
        print(f"FAILED: {failure}", file=sys.stderr)
    return not failures


if __name__ == "__main__":
    sys.exit(0 if check(sys.argv[1]) else 1)
