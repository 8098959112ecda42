#!/usr/bin/env bash
# Developer entry points. Each command installs what it is missing first.
#   ./dev.sh test    build and run every test (native debug and sanitizer builds)
#   ./dev.sh bench   build optimised and run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev)

# Installs the Debian packages among "$@" that are not installed yet.
ensure_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

build() {
    cmake --preset "$1"
    cmake --build --preset "$1"
}

cmd_test() {
    ensure_packages "${BUILD_PACKAGES[@]}"
    for preset in dev asan; do
        echo "== $preset"
        build "$preset"
        ctest --preset "$preset"
    done
}

cmd_bench() {
    ensure_packages "${BUILD_PACKAGES[@]}"
    build release
    for bench in build/release/bench/*_bench; do
        echo "== $(basename "$bench")"
        "$bench"
    done
}

case "${1:-}" in
test) cmd_test ;;
bench) cmd_bench ;;
*)
    echo "usage: ./dev.sh test|bench" >&2
    exit 2
    ;;
esac
