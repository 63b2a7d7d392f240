#!/usr/bin/python3
"""Checks a shipped 32-bit Windows file: machine, subsystem, exports, imports,
resources (the manifest's content too), symbols and size. Prints what it
checked; exits 1 on any failure.

  check_shipped_exe.py PROGRAM.exe       the program: GUI, only DELREGKEY, one icon group
  check_shipped_exe.py --tool TOOL.exe   the command-line tool: console, no export
"""
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

import pefile

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "ole32.dll", "oleaut32.dll", "shell32.dll",
               "msvcrt.dll"}
ICON_GROUP_ID, ENGLISH_US = 102, 1033
MANIFEST_ID = 1
KIB = 1024
# Windows Vista, 7, 8, 8.1 and 10/11, as Microsoft names them in a manifest.
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}


def icon_group_members(pe, data_rva, size):
    """(width, height, colours, bit count, icon id) of each image the group names."""
    data = pe.get_data(data_rva, size)
    _, _, count = struct.unpack_from("<HHH", data, 0)
    members = []
    for i in range(count):
        width, height, colours, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
        members.append((width or 256, height or 256, colours, bits, icon_id))
    return members


def exports_of(pe):
    if not hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        return []
    return [(e.ordinal, e.name.decode() if e.name else None) for e in pe.DIRECTORY_ENTRY_EXPORT.symbols]


def resources_of(pe):
    resources = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for rtype in root.entries if root else []:
        for name in rtype.directory.entries:
            for lang in name.directory.entries:
                resources.setdefault(rtype.id, []).append((name.id, lang.id, lang.data.struct))
    return resources


def local_name(tag):
    return tag.rsplit("}", 1)[-1]


def check_manifest(pe, resources, failures):
    """Exactly one manifest, id 1: as invoker, every Windows from Vista on, the
    UTF-8 code page, and nothing about DPI."""
    manifests = resources.get(pefile.RESOURCE_TYPE["RT_MANIFEST"], [])
    if [m[0] for m in manifests] != [MANIFEST_ID]:
        failures.append(f"manifests {[m[0] for m in manifests]}, expected one with id 1")
        return
    entry = manifests[0][2]
    text = pe.get_data(entry.OffsetToData, entry.Size).decode("utf-8")
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        failures.append(f"the manifest is not well-formed XML: {error}")
        return
    elements = list(root.iter())
    levels = [(e.get("level"), e.get("uiAccess")) for e in elements if local_name(e.tag) == "requestedExecutionLevel"]
    if levels != [("asInvoker", "false")]:
        failures.append(f"execution levels {levels}, expected only asInvoker without UI access")
    systems = {e.get("Id") for e in elements if local_name(e.tag) == "supportedOS"}
    if systems != SUPPORTED_OS:
        failures.append(f"supported systems {sorted(systems)}, expected Vista to 10/11")
    pages = [e.text for e in elements if local_name(e.tag) == "activeCodePage"]
    if pages != ["UTF-8"]:
        failures.append(f"active code pages {pages}, expected UTF-8")
    if re.search(r"dpi", text, re.IGNORECASE):
        failures.append("the manifest has DPI settings")
    print(f"  manifest: id {MANIFEST_ID}, asInvoker, {len(systems)} supported systems, code page UTF-8")


def check_common(pe, failures):
    """What both files are: PE32 for i386, system DLLs only, no symbols left."""
    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        failures.append("not an i386 program")
    if pe.OPTIONAL_HEADER.Magic != pefile.OPTIONAL_HEADER_MAGIC_PE:
        failures.append("not PE32")
    imports = {entry.dll.decode(): len(entry.imports) for entry in pe.DIRECTORY_ENTRY_IMPORT}
    unexpected = sorted(d for d in imports if d.lower() not in SYSTEM_DLLS)
    if unexpected:
        failures.append(f"imports from {unexpected}, not only Windows system DLLs")
    debug = [s.Name.rstrip(b"\0").decode() for s in pe.sections if s.Name.startswith(b"/") or
             s.Name.startswith(b".debug")]
    if pe.FILE_HEADER.PointerToSymbolTable or pe.FILE_HEADER.NumberOfSymbols or debug:
        failures.append(f"not stripped: {pe.FILE_HEADER.NumberOfSymbols} symbols, sections {debug}")
    return imports


def check_program(pe, failures):
    if pe.OPTIONAL_HEADER.Subsystem != pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"]:
        failures.append("not the GUI subsystem")
    exports = exports_of(pe)
    if exports != [(1, "DELREGKEY")]:
        failures.append(f"exports {exports}, expected only DELREGKEY at ordinal 1")
    resources = resources_of(pe)
    if set(resources) != {pefile.RESOURCE_TYPE["RT_GROUP_ICON"], pefile.RESOURCE_TYPE["RT_ICON"],
                          pefile.RESOURCE_TYPE["RT_MANIFEST"]}:
        failures.append(f"resource types {sorted(resources)}, expected only an icon group, its icons "
                        "and the manifest")
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
    print(f"  exports: {', '.join(f'{n} @{o}' for o, n in exports)}")
    print(f"  resources: icon group {ICON_GROUP_ID} (language {ENGLISH_US}) naming "
          f"{', '.join(f'{w}x{h} {c or 2 ** b} colours (icon {i})' for w, h, c, b, i in images)}")
    check_manifest(pe, resources, failures)


def check_tool(pe, failures):
    if pe.OPTIONAL_HEADER.Subsystem != pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"]:
        failures.append("not the console subsystem")
    if exports_of(pe):
        failures.append(f"exports {exports_of(pe)}, expected none")
    resources = resources_of(pe)
    if set(resources) != {pefile.RESOURCE_TYPE["RT_MANIFEST"]}:
        failures.append(f"resource types {sorted(resources)}, expected only the manifest")
    check_manifest(pe, resources, failures)


def check(path, tool):
    failures = []
    pe = pefile.PE(path)
    size = len(open(path, "rb").read())
    limit = 128 * KIB if tool else 64 * KIB
    machine = pefile.MACHINE_TYPE.get(pe.FILE_HEADER.Machine, hex(pe.FILE_HEADER.Machine))
    kind = "PE32" if pe.OPTIONAL_HEADER.Magic == pefile.OPTIONAL_HEADER_MAGIC_PE else "PE32+"
    subsystem = pefile.SUBSYSTEM_TYPE.get(pe.OPTIONAL_HEADER.Subsystem, pe.OPTIONAL_HEADER.Subsystem)
    print(f"{path}: {kind}, {machine}, {subsystem}, {size} bytes ({size / KIB:.1f} KiB; limit "
          f"{limit // KIB} KiB)")
    imports = check_common(pe, failures)
    print(f"  imports: {', '.join(f'{d} ({n})' for d, n in imports.items())}")
    (check_tool if tool else check_program)(pe, failures)
    if size > limit:
        failures.append(f"{size} bytes, more than {limit}")
    for failure in failures:
        print(f"FAILED: {failure}", file=sys.stderr)
    return not failures


if __name__ == "__main__":
    tool = sys.argv[1:2] == ["--tool"]
    paths = sys.argv[2:] if tool else sys.argv[1:]
    if len(paths) != 1:
        sys.exit(__doc__)
    sys.exit(0 if check(paths[0], tool) else 1)
