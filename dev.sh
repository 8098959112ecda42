#!/usr/bin/env bash
# Developer entry points. Each command installs what it is missing first.
#   ./dev.sh run     build the program alone and start it in a window
#   ./dev.sh package build the release program and write the Debian package, the
#                    Windows zip and MSI, and the winget manifests into dist/
#   ./dev.sh test    build and run every test: native debug, sanitizers, and the
#                    Windows program under Wine
#   ./dev.sh fuzz [SECONDS]   run every fuzz target for a while (default 60 s each),
#                    then the conformance harness with 3000 random steps of a new seed
#   ./dev.sh bench   build optimised and run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtk-3-dev fonts-liberation python3)
PACKAGE_PACKAGES=(dpkg-dev file wixl msitools osslsigncode)
TEST_PACKAGES=(libgtest-dev libgmock-dev googletest xvfb xauth x11-utils dbus at-spi2-core
    python3-pyatspi python3-xlib python3-gi gir1.2-gtk-3.0 imagemagick desktop-file-utils appstream
    python3-pefile lintian mutter pipewire libglib2.0-bin strace python3-yaml python3-jsonschema
    openssl sshfs openssh-sftp-server)
WINDOWS_PACKAGES=(mingw-w64 wine wine64)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

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

build() { # PRESET [CONFIGURE ARGUMENTS...]
    cmake --preset "$@"
    cmake --build --preset "$1"
}

cmd_run() {
    ensure_packages "${BUILD_PACKAGES[@]}"
    build release >/dev/null
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display to open the window on: run it under a virtual display, for example: xvfb-run -a ./dev.sh run" >&2
        exit 1
    fi
    exec build/release/editor/quorwin
}

# The release programs, packed by CPack: dist/quorwin_VERSION_ARCH.deb,
# dist/quorwin-VERSION-windows-x64.zip, dist/quorwin-VERSION-x64.msi and the winget
# manifests in dist/winget. With a certificate (QUORWIN_SIGN_PKCS12, QUORWIN_SIGN_PASSWORD,
# optionally QUORWIN_SIGN_TIMESTAMP_URL) the Windows program and the MSI are signed.
# QUORWIN_RELEASE_URL is where the manifests have the files fetched from (unset: the
# project's site).
cmd_package() {
    ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" mingw-w64
    mkdir -p dist
    rm -rf dist/quorwin[-_]* dist/winget
    for preset in release windows-release; do
        echo "== $preset"
        local configure=()
        [ "$preset" = release ] || configure=(-DQUORWIN_RELEASE_URL="${QUORWIN_RELEASE_URL:-}")
        build "$preset" "${configure[@]}"
        rm -rf "build/$preset/packages"
        cpack --config "build/$preset/CPackConfig.cmake" -B "build/$preset/packages"
        find "build/$preset/packages" -maxdepth 1 -type f \
            \( -name '*.deb' -o -name '*.zip' -o -name '*.msi' \) -exec cp {} dist/ \;
        [ ! -d "build/$preset/packages/winget" ] || cp -r "build/$preset/packages/winget" dist/
    done
    ls -l dist
}

cmd_test() {
    ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "${TEST_PACKAGES[@]}" \
        "${WINDOWS_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
    # dev and asan replay the fuzz corpora; tsan runs the tests of the program on its
    # worker threads under the thread sanitizer; fuzz runs each target briefly under the
    # sanitizers. dev and windows also build and start the Debian package and the
    # Windows zip.
    for preset in dev asan tsan windows fuzz; do
        echo "== $preset"
        build "$preset"
        ctest --preset "$preset"
    done
}

cmd_fuzz() {
    local seconds=${1:-60}
    ensure_packages cmake ninja-build "${FUZZ_PACKAGES[@]}"
    build fuzz
    local status=0
    mkdir -p build/fuzz/findings
    # Every target the build made; new inputs gather in build/fuzz/work/TARGET,
    # findings in build/fuzz/findings.
    for fuzzer in build/fuzz/fuzz/*_fuzzer; do
        local target
        target=$(basename "$fuzzer" _fuzzer)
        (cd build/fuzz/findings &&
            ../../../fuzz/run_fuzzer.sh "../fuzz/${target}_fuzzer" "../../../fuzz/corpus/$target" \
                "$seconds" "../work/$target") || status=1
    done
    ls build/fuzz/findings/crash-* 2>/dev/null && echo "findings above" || echo "no findings"
    conformance_fuzz || status=1
    return $status
}

# The conformance harness at length: random scenarios of a new seed, against the
# Windows program under Wine where the Windows build has its runner, else the core
# alone (every script must run to its end).
conformance_fuzz() {
    ensure_packages "${BUILD_PACKAGES[@]}"
    build dev >/dev/null
    local seed=$RANDOM
    local args=(tests/conformance/scenarios.txt --headless build/dev/tests/conformance/conformance_headless
        --known tests/conformance/known_differences.txt --random "$seed" --steps 3000
        --work build/dev/artifacts/conformance-fuzz)
    local runner=build/windows/tests/conformance/conformance_wine.exe
    if [ -x "$runner" ]; then
        args+=(--wine-runner "$runner" --program build/windows/editor/quorwin.exe)
        export QUORWIN_WINEPREFIX=$PWD/build/windows/wineprefix
    fi
    echo "== conformance, seed $seed"
    /usr/bin/python3 "${args[@]}"
}

cmd_bench() {
    ensure_packages "${BUILD_PACKAGES[@]}" xvfb xauth dbus at-spi2-core python3-pyatspi \
        python3-xlib python3-gi gir1.2-gtk-3.0 sshfs openssh-sftp-server "${WINDOWS_PACKAGES[@]}"
    build bench
    for bench in build/bench/bench/*_bench; do
        echo "== $(basename "$bench")"
        if [ -z "${DISPLAY:-}" ]; then
            xvfb-run -a "$bench" # the window benchmark needs a display; the others ignore it
        else
            "$bench"
        fi
    done
    # Looking for messages between files must cost nothing measurable at any length.
    echo "== soak_bench at 100000 files"
    build/bench/bench/soak_bench 100000
    # A big folder dropped onto the window and cleared again, the window answering the
    # desktop throughout: natively, and the Windows program under Wine.
    echo "== gtk_big_drop"
    QUORWIN_PYTHON=/usr/bin/python3 tests/e2e/run_gtk_e2e.sh build/bench/editor/quorwin \
        build/bench/artifacts x11 bench/gtk_big_drop.py 20000 100000
    # Save To ALL and a dropped folder's walk on a slow network share, and a stall of
    # the share in a save, beside the bare calls of the same work.
    echo "== gtk_share_bench"
    QUORWIN_PYTHON=/usr/bin/python3 tests/e2e/run_gtk_e2e.sh build/bench/editor/quorwin \
        build/bench/artifacts x11 bench/gtk_share_bench.py build/bench/bench/share_loops
    build windows >/dev/null
    echo "== wine_big_drop"
    QUORWIN_WINEPREFIX=$PWD/build/windows/wineprefix bench/wine_big_drop.sh \
        build/windows/tests/wine/drop_test.exe build/windows/editor/quorwin.exe 20000 100000
}

case "${1:-}" in
run) cmd_run ;;
package) cmd_package ;;
fuzz) cmd_fuzz "${2:-60}" ;;
test) cmd_test ;;
bench) cmd_bench ;;
*)
    echo "usage: ./dev.sh run|package|test|fuzz [SECONDS]|bench" >&2
    exit 2
    ;;
esac
