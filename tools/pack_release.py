#!/usr/bin/python3
"""Reproducible release archives: the same inputs give the same bytes.

  pack_release.py windows-zip OUT.zip PROGRAM TOOL README
      the Windows zip: the two programs and README (given with LF line
      ends, stored with CR LF), members sorted, times from SOURCE_DATE_EPOCH
  pack_release.py sort-tarball ARCHIVE.tar.gz
      rewrites a gzipped tarball with its members in name order; CPack
      lists them in the order the file system gives
"""
import gzip
import io
import os
import sys
import tarfile
import time
import zipfile


def source_date_epoch():
    return int(os.environ.get("SOURCE_DATE_EPOCH", "0"))


def windows_zip(out, program, tool, readme):
    stamp = time.gmtime(max(source_date_epoch(), 315532800))[:6]  # zip times start in 1980
    with open(readme, "rb") as f:
        readme_bytes = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    members = {
        "README.txt": (readme_bytes, 0o644),
        "Tolvaren.exe": (open(program, "rb").read(), 0o755),
        "tolvaren-cli.exe": (open(tool, "rb").read(), 0o755),
    }
    with zipfile.ZipFile(out, "w") as archive:
        for name in sorted(members):
            data, mode = members[name]
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 3  # Unix, so that the modes below count
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


def sort_tarball(path):
    with tarfile.open(path, "r:gz") as original:
        members = [(m, original.extractfile(m).read() if m.isfile() else None)
                   for m in original.getmembers()]
    out = io.BytesIO()
    with gzip.GzipFile(fileobj=out, mode="wb", mtime=source_date_epoch(), filename="") as packed:
        with tarfile.open(fileobj=packed, mode="w", format=tarfile.USTAR_FORMAT) as archive:
            for member, data in sorted(members, key=lambda m: m[0].name):
                archive.addfile(member, io.BytesIO(data) if data is not None else None)
    with open(path, "wb") as f:
        f.write(out.getvalue())


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "windows-zip" and len(args) == 4:
        windows_zip(*args)
    elif command == "sort-tarball" and len(args) == 1:
        sort_tarball(*args)
    else:
        sys.exit(__doc__)
