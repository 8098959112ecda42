#!/usr/bin/env bash
# Configuring where GTK cannot be found stops with a message that says so, rather
# than quietly building no program.
#   check_without_gtk.sh CMAKE GENERATOR SOURCE_DIR
set -euo pipefail
cmake=$1
generator=$2
source=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/no-packages"
# pkg-config looks only in an empty folder: it finds no GTK.
if PKG_CONFIG_LIBDIR="$scratch/no-packages" PKG_CONFIG_PATH="" \
    "$cmake" -S "$source" -B "$scratch/build" -G "$generator" -DBUILD_TESTING=OFF \
    >"$scratch/log" 2>&1; then
    echo "configuring without GTK succeeded" >&2
    exit 1
fi
grep -q "GTK 3 was not found" "$scratch/log" || {
    cat "$scratch/log" >&2
    exit 1
}
