#!/usr/bin/python3
"""Checks the built KesOrvCleanup.exe for what a release engineer relies on.

usage: check_pe.py EXE VERSION [--signed]
  VERSION as in the version resource: 1.2.3.0. With --signed, EXE must carry
  an Authenticode signature; without, it must carry none.

One row per property; every row is checked and printed, and the exit
status is 1 when any of them fails. Uses Debian's python3-pefile.
"""
import sys
import xml.etree.ElementTree as ElementTree

try:
    import pefile
except ImportError:
    sys.exit("pefile is missing: install Debian's package python3-pefile (scripts/install-deps.sh)")

ALLOWED_DLLS = {"kernel32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll"}
REGISTRY_FUNCTIONS = {"RegCreateKeyExA", "RegOpenKeyExA", "RegQueryValueExA",
                      "RegDeleteValueA", "RegCloseKey"}
WIDE_TWINS = ["RegCreateKeyExW", "RegOpenKeyExW", "RegQueryValueExW",
              "RegDeleteValueW", "ShellExecuteW"]
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}


def main():
    exe, version = sys.argv[1], sys.argv[2]
    signed = sys.argv[3:] == ["--signed"]
    with open(exe, "rb") as f:
        raw = f.read()
    pe = pefile.PE(data=raw)
    header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER

    imports = {}
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        names = {i.name.decode() for i in entry.imports if i.name}
        imports.setdefault(entry.dll.decode().lower(), set()).update(names)
    delay_imports = {}
    for entry in getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", []):
        names = {i.name.decode() for i in entry.imports if i.name}
        delay_imports.setdefault(entry.dll.decode().lower(), set()).update(names)
    imported = set().union(*imports.values()) if imports else set()

    manifests = resources(pe, pefile.RESOURCE_TYPE["RT_MANIFEST"])
    manifest = ElementTree.fromstring(manifests[0][1]) if len(manifests) == 1 else None
    level = element(manifest, "requestedExecutionLevel")
    code_page = element(manifest, "activeCodePage")
    strings, fixed = version_info(pe)
    numbers = [int(n) for n in version.split(".")]
    packed = ((numbers[0] << 16) | numbers[1], (numbers[2] << 16) | numbers[3])
    sections = {s.Name.rstrip(b"\0").decode(): s for s in pe.sections}
    characteristics = optional.DllCharacteristics

    rows = [
        ("PE32, not PE32+", optional.Magic == 0x10B, hex(optional.Magic)),
        ("machine i386", header.Machine == 0x14C, hex(header.Machine)),
        ("console subsystem", optional.Subsystem == 3, optional.Subsystem),
        ("no timestamp in the header", header.TimeDateStamp == 0, header.TimeDateStamp),
        ("stripped: no symbols", header.NumberOfSymbols == 0, header.NumberOfSymbols),
        ("stripped: no debug information", b".debug_info" not in raw, None),
        ("DYNAMIC_BASE", bool(characteristics & 0x0040), hex(characteristics)),
        ("NX_COMPAT", bool(characteristics & 0x0100), hex(characteristics)),
        ("NO_SEH", bool(characteristics & 0x0400), hex(characteristics)),
        ("TERMINAL_SERVER_AWARE", bool(characteristics & 0x8000), hex(characteristics)),
        (".reloc section and relocation directory present", ".reloc" in sections and
         optional.DATA_DIRECTORY[5].Size > 0, optional.DATA_DIRECTORY[5].Size),
        ("one manifest, as resource type 24 id 1", [m[0] for m in manifests] == [1],
         [m[0] for m in manifests]),
        ("manifest: level asInvoker", level is not None and level.get("level") == "asInvoker",
         None if level is None else level.attrib),
        ("manifest: uiAccess false", level is not None and level.get("uiAccess") == "false",
         None if level is None else level.attrib),
        ("manifest: supportedOS Vista, 7, 8, 8.1, 10/11", supported_os(manifest) == SUPPORTED_OS,
         supported_os(manifest)),
        ("manifest: activeCodePage UTF-8", code_page is not None and code_page.text == "UTF-8",
         None if code_page is None else code_page.text),
    ]
    expected_strings = {
        "CompanyName": "Kestrova",
        "ProductName": "Orvane",
        "FileVersion": version,
        "ProductVersion": version,
        "InternalName": "KesOrvCleanup",
        "OriginalFilename": "KesOrvCleanup.exe",
    }
    for key, value in expected_strings.items():
        rows.append((f"version string {key} = {value}", strings.get(key) == value,
                     strings.get(key)))
    for key in ("FileDescription", "LegalCopyright"):
        rows.append((f"version string {key} present", bool(strings.get(key)), strings.get(key)))
    rows += [
        ("fixed FileVersion = " + version, fixed is not None and
         (fixed.FileVersionMS, fixed.FileVersionLS) == packed, fixed and
         (hex(fixed.FileVersionMS), hex(fixed.FileVersionLS))),
        ("fixed ProductVersion = " + version, fixed is not None and
         (fixed.ProductVersionMS, fixed.ProductVersionLS) == packed, None),
        ("fixed FILEOS NT Windows32, FILETYPE application", fixed is not None and
         fixed.FileOS == 0x40004 and fixed.FileType == 1, None),
        ("imports only Windows' own DLLs",
         set(imports) | set(delay_imports) <= ALLOWED_DLLS, sorted(set(imports) | set(delay_imports))),
        # Loading the shell brings the windowing libraries; only a launch needs it.
        ("shell32.dll is not loaded at start", "shell32.dll" not in imports, sorted(imports)),
        ("imports the registry's ANSI functions", REGISTRY_FUNCTIONS <= imported,
         sorted(REGISTRY_FUNCTIONS - imported)),
        ("reaches the shell through ShellExecuteA",
         "ShellExecuteA" in imported or "ShellExecuteA" in delay_imports.get("shell32.dll", set())
         or b"ShellExecuteA\0" in raw, None),
        ("no wide twin anywhere in the file",
         not any(name.encode() in raw for name in WIDE_TWINS),
         [name for name in WIDE_TWINS if name.encode() in raw]),
        ("PE checksum matches the file", optional.CheckSum == pe.generate_checksum(),
         (hex(optional.CheckSum), hex(pe.generate_checksum()))),
    ]
    security = optional.DATA_DIRECTORY[4]  # its VirtualAddress is a file offset
    if signed:
        rows.append(("signature: its certificate table ends the file, 8-byte aligned",
                     security.Size > 0 and security.VirtualAddress % 8 == 0 and
                     security.VirtualAddress + security.Size == len(raw),
                     (security.VirtualAddress, security.Size, len(raw))))
    else:
        # A signer pads the file to 8 bytes before the certificate table, and
        # removing the signature would then not give back this file.
        rows.append(("unsigned, and the file ends on an 8-byte boundary",
                     security.Size == 0 and len(raw) % 8 == 0, (security.Size, len(raw))))

    failed = 0
    for description, ok, detail in rows:
        print(("ok    " if ok else "FAIL  ") + description +
              ("" if ok else f"  (found: {detail})"))
        failed += not ok
    print(f"{len(rows) - failed} of {len(rows)} properties hold")
    print("imports: " + "; ".join(f"{dll}: {', '.join(sorted(names))}"
                                  for dll, names in sorted(imports.items())))
    if delay_imports:
        print("delay-loaded: " + "; ".join(f"{dll}: {', '.join(sorted(names))}"
                                           for dll, names in sorted(delay_imports.items())))
    return 1 if failed else 0


def resources(pe, type_id):
    """[(id, bytes)] of the resources of one type."""
    found = []
    for kind in getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None).entries:
        if kind.id != type_id:
            continue
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                found.append((name.id, pe.get_data(data.OffsetToData, data.Size)))
    return found


def element(root, local_name):
    if root is None:
        return None
    for node in root.iter():
        if node.tag.rsplit("}", 1)[-1] == local_name:
            return node
    return None


def supported_os(root):
    if root is None:
        return set()
    return {node.get("Id") for node in root.iter() if node.tag.endswith("}supportedOS")}


def version_info(pe):
    strings = {}
    for group in getattr(pe, "FileInfo", []):
        for info in group:
            if getattr(info, "Key", b"") == b"StringFileInfo":
                for table in info.StringTable:
                    strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
    return strings, fixed


if __name__ == "__main__":
    sys.exit(main())
