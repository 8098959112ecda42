#!/usr/bin/env bash
# Builds the Windows release from the build tree, signed with a throwaway certificate:
# the zip, the MSI and the winget manifests. Checks the zip and the program in it, the
# signatures, the MSI's tables and the manifests, and starts the zip's program under
# Wine on a virtual display until its window is mapped. Then, in a fresh Wine prefix,
# installs the MSI silently and finds the files, the Start menu shortcut and the Apps &
# features entry, starts the program from the shortcut's target, upgrades to the MSI a
# release of the next version would have, is refused the older one over it with the
# installer's message, and uninstalls, leaving the user's folders as they were.
#   check_windows_release.sh CMAKE CPACK BUILD_DIR VERSION ARTIFACT_DIR MSIEXEC_BOX
#       [SCHEMA_DIR]
# MSIEXEC_BOX is msiexec_box.exe. SCHEMA_DIR holds winget's published 1.12.0 schemas
# (default: ../shared/winget/schemas-1.12.0 beside the project); without them the test
# is skipped.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmake=$1
cpack=$2
build=$3
version=$4
artifacts=$5
msiexec_box=$6
schemas=${7:-$here/../../../shared/winget/schemas-1.12.0}
python=${QUORWIN_PYTHON:-python3}
[ -d "$schemas" ] ||
    { echo "winget's schemas are missing ($schemas): the release is not checked" >&2; exit 77; }
"$python" -c 'import pefile, yaml, jsonschema' 2>/dev/null ||
    { echo "pefile, yaml or jsonschema is missing" >&2; exit 77; }
for tool in xvfb-run xwininfo import wixl msiinfo osslsigncode openssl; do
    command -v $tool >/dev/null || { echo "$tool is missing" >&2; exit 77; }
done
# One virtual display for every Wine program the test starts.
if [ -z "${QUORWIN_RELEASE_DISPLAY:-}" ]; then
    exec env QUORWIN_RELEASE_DISPLAY=1 xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" \
        "$0" "$@"
fi
wine_run=$here/../../cmake/wine-run.sh
scratch=$(mktemp -d)
finish() { # Wine's helper processes end with its servers rather than linger
    for prefix in "${QUORWIN_WINEPREFIX:-$PWD/wineprefix}" "$scratch/prefix"; do
        [ ! -d "$prefix" ] || WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap finish EXIT
step() { echo "== $* ($SECONDS s)"; }
fail() { echo "$*" >&2; exit 1; }

step signed release
(cd "$scratch" &&
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 1 \
        -subj "/CN=Quorwin test authority" &&
    openssl req -x509 -newkey rsa:2048 -nodes -keyout signer.key -out signer.pem -days 1 \
        -subj "/CN=Quorwin test signer" -CA ca.pem -CAkey ca.key -addext basicConstraints=CA:FALSE \
        -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning &&
    openssl pkcs12 -export -inkey signer.key -in signer.pem -passout pass:test -out signer.p12
) 2>/dev/null
QUORWIN_SIGN_PKCS12=$scratch/signer.p12 QUORWIN_SIGN_PASSWORD=test \
    "$cpack" --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
zip=$scratch/out/quorwin-$version-windows-x64.zip
msi=$scratch/out/quorwin-$version-x64.msi
release=$scratch/release
"$python" "$here/check_windows_exe.py" "$zip" "$version" "$release"
for signed in "$release/quorwin.exe" "$msi"; do
    osslsigncode verify -CAfile "$scratch/ca.pem" -in "$signed" >"$scratch/verify.log" 2>&1 ||
        { cat "$scratch/verify.log" >&2; fail "$signed is not signed"; }
done
site=$(sed -n 's/.*visit \(https:[^"]*\)".*/\1/p' "$here/../../resources/quorwin.rc")
product_code=$("$python" "$here/check_windows_installer.py" "$msi" "$zip" "$scratch/out/winget" \
    "$version" "$site" "$schemas")

step the program from the zip
"$here/show_window.sh" "$artifacts/release-wine.png" "$wine_run" "$release/quorwin.exe"

# The installer in a fresh prefix, where Wine's menu builder makes no desktop entries.
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
msiexec() { "$wine_run" msiexec "$1" "Z:${2//\//\\}" /qn; }
entries() { # Apps & features' entries named Quorwin, as "PRODUCT_CODE VERSION" lines
    "$wine_run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 |
        tr -d '\r' | awk -F '    ' '/^HKEY/ { n = split($0, key, "\\") }
            $2 == "DisplayName" && $4 == "Quorwin" { name[key[n]] = 1 }
            $2 == "DisplayVersion" { version[key[n]] = $4 }
            END { for (code in name) print code, version[code] }'
}
installed() { # PRODUCT_CODE VERSION: the zip's files, the shortcut, the one entry
    local folder link
    folder=$profile/Local/Programs/Quorwin
    link="$profile/Roaming/Microsoft/Windows/Start Menu/Programs/Quorwin.lnk"
    for file in quorwin.exe README.txt LICENSE.txt; do
        cmp -s "$release/$file" "$folder/$file" || fail "$folder/$file is not the zip's"
    done
    # The shortcut holds its target's path, C:\..., in the system's code page.
    target=$(tr -c '[:print:]' '\n' <"$link" | grep -x 'C:.*[.]exe') || fail "no shortcut $link"
    target=${target//\\//}
    target=$WINEPREFIX/drive_c/${target#C:/}
    [ "$target" -ef "$folder/quorwin.exe" ] || fail "the shortcut's target is $target"
    [ "$(entries)" = "$1 $2" ] || fail "Apps & features holds: $(entries)"
}

step install, fresh prefix
"$wine_run" cmd /c exit # makes the prefix
profile=$(echo "$WINEPREFIX"/drive_c/users/*/AppData)
user_folders() { # every name in the user's local application data and Start menu
    (cd "$profile" && find Local "Roaming/Microsoft/Windows/Start Menu" | LC_ALL=C sort)
}
before=$(user_folders)
msiexec /i "$msi" || fail "the MSI did not install"
IFS=. read -r major minor patch _ <<<"$version.0.0" # the MSI's version has three fields
installed "$product_code" "$major.$minor.$patch"

step the installed program, started from the shortcut
"$here/show_window.sh" "$artifacts/installed-wine.png" "$wine_run" "$target"

step upgrade
codes=$("$cmake" -DVERSION="$major.$minor.$((patch + 1))" \
    -P "$here/../../packaging/msi_codes.cmake") || fail "no codes for the next version"
read -r newer newer_code <<<"$codes"
"$python" "$here/../../packaging/windows_release.py" msi "$build/packaging/windows/quorwin.wxs" \
    "$release" "$scratch/newer.msi" "Version=$newer" "ProductCode=$newer_code"
msiexec /i "$scratch/newer.msi" || fail "the newer MSI did not install"
installed "$newer_code" "$newer"
# Refused by the launch condition, 1603 with its message, not for another reason. Wine
# shows that message in a box only (none with /qn, and not in msiexec's log): /qb.
refusal=$("$wine_run" "$msiexec_box" /i "Z:${msi//\//\\}" /qb | tr -d '\r') ||
    fail "msiexec_box failed: $refusal"
[[ $refusal == "box: A newer version of Quorwin is already installed."*$'\n'"exit code: 1603" ]] ||
    fail "the older MSI over the newer: $refusal"
installed "$newer_code" "$newer"

step uninstall
msiexec /x "$scratch/newer.msi" || fail "the MSI did not uninstall"
[ -z "$(entries)" ] || fail "Apps & features after uninstalling: $(entries)"
changed=$(diff <(echo "$before") <(user_folders)) ||
    fail "the user's folders after uninstalling, against before installing:
$changed"
left=$(find "$WINEPREFIX/drive_c" -iname '*quorwin*')
[ -z "$left" ] || fail "left after uninstalling: $left"
! "$wine_run" reg query 'HKCU\Software\Quorwin' >/dev/null 2>&1 ||
    fail "HKCU\\Software\\Quorwin is left after uninstalling"
step finished
