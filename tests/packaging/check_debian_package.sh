#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks its fields and its files,
# unpacks it into a scratch root and starts the program from there on a virtual
# display until its window is mapped.
#   check_debian_package.sh CPACK BUILD_DIR VERSION ARTIFACT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cpack=$1
build=$2
version=$3
artifacts=$4
for tool in dpkg-deb dpkg-shlibdeps lintian xvfb-run xwininfo import; do
    command -v $tool >/dev/null || { echo "$tool is missing" >&2; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "$*" >&2; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
deb=$scratch/out/quorwin_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$scratch/out")"

[ "$(dpkg-deb -f "$deb" Section)" = sound ] || fail "Section is not sound"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
# Depends comes from dpkg-shlibdeps: the C++ runtime and GTK among it.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libgtk-3-0; do
    [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done

# What a user needs and nothing more: no tests, benchmarks, GoogleTest or headers.
id=org.quorwin.Quorwin
expected="./usr/bin/quorwin
./usr/share/applications/$id.desktop
./usr/share/doc/quorwin/changelog.gz
./usr/share/doc/quorwin/copyright
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/64x64/apps/$id.png
./usr/share/man/man1/quorwin.1.gz
./usr/share/metainfo/$id.metainfo.xml"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$files" = "$expected" ] || fail "the package holds:
$files"
# Debian's own checks of a package: every remark they make at their default level counts.
lintian_report=$(lintian --fail-on error,warning "$deb") && [ -z "$lintian_report" ] ||
    fail "lintian on $(basename "$deb"):
$lintian_report"
dpkg-deb -x "$deb" "$scratch/root"
file "$scratch/root/usr/bin/quorwin" | grep -q ', stripped' || fail "the program is not stripped"

# Started from where the package put it, with a home of its own.
HOME=$scratch/home NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" \
    "$here/show_window.sh" "$artifacts/installed-linux.png" "$scratch/root/usr/bin/quorwin"
