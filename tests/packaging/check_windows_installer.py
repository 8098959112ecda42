#!/usr/bin/env python3
"""Checks the Windows installer's properties and the winget manifests; prints the MSI's
ProductCode.

    check_windows_installer.py MSI ZIP WINGET_ROOT VERSION SITE SCHEMA_DIR

SCHEMA_DIR holds winget's 1.12.0 schemas, which every manifest is checked against.
"""
import hashlib
import json
import os
import re
import subprocess
import sys

import jsonschema
import yaml

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir,
                                os.pardir, "packaging"))
from windows_release import msi_properties  # noqa: E402

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def check_msi(msi, version, site):
    # The rest of the MSI (the shortcut, upgrades, the refusal of an older version) is
    # checked by installing it under Wine.
    properties = msi_properties(msi)
    msi_version = ".".join((version.split(".") + ["0", "0"])[:3])
    expected = {"ProductName": "Quorwin", "ProductVersion": msi_version,
                "Manufacturer": "The Quorwin team", "ARPPRODUCTICON": "quorwin.ico",
                "ARPNOMODIFY": "1", "ARPNOREPAIR": "1", "ARPURLINFOABOUT": site}
    for name, value in expected.items():
        check(properties.get(name) == value, f"property {name} is {properties.get(name)!r}")
    # Per user: no ALLUSERS, and word count bit 8, "no elevation needed".
    check("ALLUSERS" not in properties, "the MSI sets ALLUSERS")
    summary = subprocess.run(["msiinfo", "suminfo", msi], check=True, capture_output=True,
                             text=True).stdout
    words = re.search(r"^Source: (\d+)", summary, re.M)
    check(words and int(words[1]) & 8, f"the MSI asks for elevation:\n{summary}")
    return properties


def check_manifests(root, msi, zip_path, version, schemas, properties):
    folder = os.path.join("manifests", "q", "Quorwin", "Quorwin", version)
    kinds = {"Quorwin.Quorwin.yaml": "version", "Quorwin.Quorwin.installer.yaml": "installer",
             "Quorwin.Quorwin.locale.en-US.yaml": "defaultLocale"}
    found = sorted(os.path.relpath(os.path.join(d, f), root)
                   for d, _, files in os.walk(root) for f in files)
    check(found == sorted(os.path.join(folder, name) for name in kinds), f"manifests {found}")
    documents = {}
    for name, kind in kinds.items():
        # winget reads every value as a string, as the BaseLoader does.
        with open(os.path.join(root, folder, name), encoding="utf-8") as file:
            document = documents[kind] = yaml.load(file, Loader=yaml.BaseLoader) or {}
        with open(os.path.join(schemas, f"manifest.{kind}.1.12.0.json")) as file:
            for error in jsonschema.Draft7Validator(json.load(file)).iter_errors(document):
                check(False, f"{name}: {list(error.absolute_path)}: {error.message}")
        for key, value in (("PackageIdentifier", "Quorwin.Quorwin"), ("PackageVersion", version),
                           ("ManifestVersion", "1.12.0"), ("ManifestType", kind)):
            check(document.get(key) == value, f"{name}: {key} {document.get(key)!r}")

    installers = {i.get("InstallerType"): i for i in documents["installer"].get("Installers", [])}
    check(sorted(installers) == ["msi", "zip"], f"installers {sorted(installers)}")
    for kind, path in (("msi", msi), ("zip", zip_path)):
        installer = installers.get(kind, {})
        check(installer.get("InstallerUrl", "").endswith("/" + os.path.basename(path)),
              f"{kind} InstallerUrl {installer.get('InstallerUrl')}")
        with open(path, "rb") as file:
            check(installer.get("InstallerSha256", "").lower() ==
                  hashlib.sha256(file.read()).hexdigest(), f"{kind} InstallerSha256")
    msi_installer = installers.get("msi", {})
    entry = (msi_installer.get("AppsAndFeaturesEntries") or [{}])[0]
    check(msi_installer.get("ProductCode") == entry.get("ProductCode") ==
          properties.get("ProductCode") and entry.get("UpgradeCode") ==
          properties.get("UpgradeCode"), "the manifest's codes are not the MSI's")


def main():
    msi, zip_path, root, version, site, schemas = sys.argv[1:7]
    properties = check_msi(msi, version, site)
    check_manifests(root, msi, zip_path, version, schemas, properties)
    for failure in failures:
        print(failure, file=sys.stderr)
    if failures:
        return 1
    print(properties["ProductCode"])
    return 0


if __name__ == "__main__":
    sys.exit(main())
