#!/usr/bin/env python3
"""Checks the Windows zip: its three files, and the program's manifest, version
details, icon and cursor calls, then unpacks it.

    check_windows_exe.py ZIP VERSION UNPACK_DIR
"""
import struct
import sys
import xml.etree.ElementTree as ET
import zipfile

import pefile

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def resources(pe):
    """{type: {name: bytes}}, first language of each."""
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            entry = name.directory.entries[0].data.struct
            found.setdefault(kind.id, {})[name.id] = pe.get_data(entry.OffsetToData, entry.Size)
    return found


def main():
    zip_path, version, unpack = sys.argv[1:4]
    with zipfile.ZipFile(zip_path) as archive:
        names = sorted(archive.namelist())
        check(names == ["LICENSE.txt", "README.txt", "quorwin.exe"], f"the zip holds {names}")
        archive.extractall(unpack)
        pe = pefile.PE(data=archive.read("quorwin.exe"))

    check(pe.FILE_HEADER.NumberOfSymbols == 0, "the program is not stripped")
    found = resources(pe)

    manifest = ET.fromstring(found.get(RT_MANIFEST, {}).get(1, b"<none/>"))
    text = {el.tag.split("}")[-1]: el for el in manifest.iter()}
    controls = [el.get("version") for el in manifest.iter()
                if el.get("name", "").endswith(".Common-Controls")]
    check(controls == ["6.0.0.0"], f"manifest 1 asks for common controls {controls}")
    oses = [el.get("Id") for el in manifest.iter() if el.tag.endswith("}supportedOS")]
    check(oses == [WINDOWS_10_AND_11], f"manifest supportedOS {oses}")
    check(text.get("gdiScaling") is not None and text["gdiScaling"].text == "true",
          "manifest lacks gdiScaling true")
    # Paths in every script: the UTF-8 process code page, and paths past MAX_PATH.
    settings = {el.tag: el.text for el in manifest.iter()}
    check(settings.get("{http://schemas.microsoft.com/SMI/2019/WindowsSettings}activeCodePage")
          == "UTF-8", "manifest lacks the UTF-8 activeCodePage (2019 namespace)")
    check(settings.get("{http://schemas.microsoft.com/SMI/2016/WindowsSettings}longPathAware")
          == "true", "manifest lacks longPathAware true (2016 namespace)")
    check("dpiAwareness" not in text
          and (text.get("dpiAware") is None or text["dpiAware"].text == "false"),
          "manifest makes the program DPI-aware")

    fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
    numbers = (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
               fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF) if fixed else None
    major, minor = (int(n) for n in version.split(".")[:2])
    check(numbers == (major, minor, 0, 0), f"file version {numbers}")
    strings = {}
    for info in getattr(pe, "FileInfo", [[]])[0]:
        for table in getattr(info, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    check(strings.get("ProductName") == "Quorwin", f"version strings {strings}")
    check("LegalCopyright" in strings and "FileDescription" in strings, "version strings lack "
          "copyright or description")

    # The first icon group, the one the desktop shell shows: every size from 16 to 256.
    groups = found.get(RT_GROUP_ICON, {})
    sizes = []
    if groups:
        group = groups[min(groups)]
        count = struct.unpack_from("<H", group, 4)[0]
        for n in range(count):
            width, _, _, _, _, _, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * n)
            if icon_id in found.get(RT_ICON, {}):
                sizes.append(width or 256)
    check(sorted(sizes) == [16, 24, 32, 48, 64, 128, 256], f"icon sizes {sizes}")

    # The wait cursor during long commands comes from the system's own user32.
    imported = {entry.dll.decode().lower(): {f.name.decode() for f in entry.imports if f.name}
                for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}
    check({"LoadCursorA", "SetCursor"} <= imported.get("user32.dll", set()),
          "the program does not take LoadCursorA and SetCursor from user32.dll")

    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
