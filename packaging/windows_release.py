#!/usr/bin/env python3
"""The Windows release around the zip: signing, the MSI and the winget manifests.

    windows_release.py sign --url URL FILE...
        Signs each file in place with osslsigncode, naming the program and its site
        (URL) in the signature, with the certificate that
        QUORWIN_SIGN_PKCS12 names (a PKCS#12 file), its password in
        QUORWIN_SIGN_PASSWORD, and a timestamp from QUORWIN_SIGN_TIMESTAMP_URL if set.
    windows_release.py msi WXS FILES_DIR OUT.msi [NAME=VALUE...]
        Builds the MSI with wixl from the configured WiX source and the folder holding
        quorwin.exe, README.txt and LICENSE.txt. NAME=VALUE pairs are given to wixl as
        defines: Version and ProductCode build another version from the same source.
    windows_release.py manifests --msi M --zip Z --out ROOT --version V --site URL
            --release-url URL --publisher NAME
        Writes the version, default locale and installer manifests of winget under
        ROOT/manifests/<letter>/<publisher>/<name>/<version>/, with the codes read back
        from the MSI and the SHA-256 of both files. The descriptions come from the
        AppStream metadata and the release notes from the changelog, both beside this
        script.
"""
import argparse
import hashlib
import json
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
IDENTIFIER = "Quorwin.Quorwin"
MANIFEST_VERSION = "1.12.0"
LOCALE = "en-US"
TAGS = ["mp3", "id3", "tags", "music"]


def sign(paths, url):
    certificate = os.environ["QUORWIN_SIGN_PKCS12"]
    timestamp = os.environ.get("QUORWIN_SIGN_TIMESTAMP_URL", "")
    # The password goes through a pipe, never the command line that others can list.
    password = os.environ.get("QUORWIN_SIGN_PASSWORD", "").encode()
    for path in paths:
        signed = path + ".signed"
        command = ["osslsigncode", "sign", "-pkcs12", certificate, "-readpass", "/dev/stdin",
                   "-n", "Quorwin", "-i", url, "-h", "sha256"]
        if timestamp:
            command += ["-ts", timestamp]
        result = subprocess.run(command + ["-in", path, "-out", signed], input=password,
                                capture_output=True)
        if result.returncode != 0:
            if os.path.exists(signed):
                os.remove(signed)
            sys.exit(f"signing {path} failed:\n{result.stdout.decode()}{result.stderr.decode()}")
        os.replace(signed, path)
        print(f"signed {os.path.basename(path)}")


def build_msi(wxs, files, out, defines):
    # wixl reads sources relative to the WiX file and takes no absolute path.
    source = os.path.relpath(os.path.abspath(files), os.path.dirname(os.path.abspath(wxs)))
    command = ["wixl", "-a", "x64", "-D", f"SourceDir={source}"]
    for define in defines:
        command += ["-D", define]
    if subprocess.run(command + ["-o", out, wxs]).returncode != 0:
        sys.exit(f"wixl could not build {out} from {wxs}")


def msi_properties(msi):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True,
                           capture_output=True, text=True).stdout
    # Tab-separated rows after three header lines; msiinfo ends lines with "\r\n".
    rows = [line.rstrip("\r").split("\t", 1) for line in table.splitlines()[3:]]
    return {row[0]: row[1] for row in rows if len(row) == 2}


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as file:
        for block in iter(lambda: file.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest().upper()


def plain(text):
    return " ".join(text.split())


def locale_texts():
    """The short and long descriptions from the AppStream metadata, and the release
    notes from the newest entry of the changelog."""
    metainfo = ET.parse(os.path.join(HERE, "org.quorwin.Quorwin.metainfo.xml.in")).getroot()
    summary = plain(metainfo.findtext("summary"))
    description = "\n\n".join(plain("".join(p.itertext()))
                              for p in metainfo.find("description").iter("p"))
    notes, entry = [], None
    with open(os.path.join(HERE, "changelog.in"), encoding="utf-8") as changelog:
        for line in changelog:
            if line.startswith(" -- "):
                break
            if line.startswith("  * "):
                entry = [line[4:]]
                notes.append(entry)
            elif entry is not None and line.strip():
                entry.append(line)
    return summary, description, "\n".join("- " + plain(" ".join(e)) for e in notes)


def yaml_lines(value, indent=0):
    """YAML block lines for a mapping or list of strings: every string double-quoted
    (a bare {GUID} would be a mapping, a bare 1.2 a number), or a literal block where
    it spans lines."""
    pad = " " * indent
    lines = []
    if isinstance(value, dict):
        for key, item in value.items():
            if isinstance(item, (dict, list)):
                lines.append(f"{pad}{key}:")
                lines += yaml_lines(item, indent + 2)
            elif "\n" in item:
                lines.append(f"{pad}{key}: |-")
                lines += [f"{pad}  {line}".rstrip() for line in item.split("\n")]
            else:
                lines.append(f"{pad}{key}: {json.dumps(item, ensure_ascii=False)}")
    else:
        for item in value:
            if isinstance(item, dict):
                inner = yaml_lines(item, indent + 2)
                lines.append(f"{pad}- {inner[0].lstrip()}")
                lines += inner[1:]
            else:
                lines.append(f"{pad}- {json.dumps(item, ensure_ascii=False)}")
    return lines


def manifests(args):
    properties = msi_properties(args.msi)
    publisher_name, package_name = IDENTIFIER.split(".", 1)
    folder = os.path.join(args.out, "manifests", publisher_name[0].lower(), publisher_name,
                          package_name, args.version)
    os.makedirs(folder, exist_ok=True)
    common = {"PackageIdentifier": IDENTIFIER, "PackageVersion": args.version}
    closing = {"ManifestVersion": MANIFEST_VERSION}
    base = args.release_url.rstrip("/") + "/"

    entry = {"ProductCode": properties["ProductCode"], "UpgradeCode": properties["UpgradeCode"]}
    # Apps & features shows the MSI's three-field version: it maps to this package's.
    if properties["ProductVersion"] != args.version:
        entry = {"DisplayVersion": properties["ProductVersion"], **entry}
    installer = {**common, "MinimumOSVersion": "10.0.0.0", "Installers": [
        {"Architecture": "x64", "InstallerType": "msi", "Scope": "user",
         "InstallerUrl": base + os.path.basename(args.msi), "InstallerSha256": sha256(args.msi),
         "ProductCode": properties["ProductCode"], "AppsAndFeaturesEntries": [entry],
         "UpgradeBehavior": "install"},
        {"Architecture": "x64", "InstallerType": "zip", "NestedInstallerType": "portable",
         "NestedInstallerFiles": [{"RelativeFilePath": "quorwin.exe",
                                   "PortableCommandAlias": "quorwin"}],
         "InstallerUrl": base + os.path.basename(args.zip), "InstallerSha256": sha256(args.zip)},
    ], "ManifestType": "installer", **closing}

    summary, description, notes = locale_texts()
    locale = {**common, "PackageLocale": LOCALE, "Publisher": args.publisher,
              "PublisherUrl": args.site, "PackageName": "Quorwin", "PackageUrl": args.site,
              "License": "MIT", "LicenseUrl": args.site.rstrip("/") + "/license",
              "ShortDescription": summary, "Description": description, "Moniker": "quorwin",
              "Tags": TAGS, "ReleaseNotes": notes, "ManifestType": "defaultLocale", **closing}
    version = {**common, "DefaultLocale": LOCALE, "ManifestType": "version", **closing}

    for name, content in ((f"{IDENTIFIER}.yaml", version),
                          (f"{IDENTIFIER}.locale.{LOCALE}.yaml", locale),
                          (f"{IDENTIFIER}.installer.yaml", installer)):
        with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\n") as file:
            file.write(f"# {content['ManifestType']} manifest of {IDENTIFIER} "
                       f"{args.version}, written by the build\n")
            file.write("\n".join(yaml_lines(content)) + "\n")
    print(f"winget manifests in {folder}")


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    signing = commands.add_parser("sign")
    signing.add_argument("--url", required=True)
    signing.add_argument("files", nargs="+")
    msi = commands.add_parser("msi")
    msi.add_argument("wxs")
    msi.add_argument("files")
    msi.add_argument("out")
    msi.add_argument("defines", nargs="*")
    winget = commands.add_parser("manifests")
    for option in ("msi", "zip", "out", "version", "site", "release-url", "publisher"):
        winget.add_argument("--" + option, required=True)
    args = parser.parse_args()

    if args.command == "sign":
        sign(args.files, args.url)
    elif args.command == "msi":
        bad = [d for d in args.defines if not re.fullmatch(r"\w+=.*", d)]
        if bad:
            parser.error(f"defines are NAME=VALUE: {bad}")
        build_msi(args.wxs, args.files, args.out, args.defines)
    else:
        manifests(args)


if __name__ == "__main__":
    main()
