#!/bin/sh
# Runs the Windows test program's full-disk tests against a 256 KiB tmpfs that exists only
# in a private mount namespace, mounted in the build folder and reached by Wine through Z:.
# Needs root (CI runs as root); without it the test is reported as skipped (exit code 77).
set -eu
win_dir="$(cd "$1" && pwd)"
if [ "$(id -u)" != 0 ] || ! command -v unshare >/dev/null 2>&1; then
    echo "needs root and unshare: skipped"
    exit 77
fi
# A container without the right to mount cannot give the test its disk.
probe="$(mktemp -d)"
if ! unshare --mount --propagation private mount -t tmpfs -o size=64k tmpfs "$probe" \
    2>/dev/null; then
    rmdir "$probe"
    echo "no private mounts allowed here: skipped"
    exit 77
fi
rmdir "$probe"
export WINEPREFIX="${DRIFTPANE_WINEPREFIX:-$win_dir/wineprefix}"
# Wine's server opens the files; one left running outside the namespace from an earlier run
# would write to the real disk, so let it end first.
wineserver -w 2>/dev/null || true

# Inside: private copies of the folders where wineservers and X servers keep their sockets
# hide the outside ones, so this run starts its own of both; the small disk is mounted in
# the build folder (not under /tmp, which may hold the build itself). The wineserver is
# waited for so the namespace ends with the test.
disk="$win_dir/full-disk"
mkdir -p "$disk"
exec unshare --mount --propagation private sh -c '
    set -eu
    for dir in /tmp/.wine-$(id -u) /tmp/.X11-unix; do
        mkdir -p "$dir"
        mount -t tmpfs -o size=1m tmpfs "$dir"
    done
    chmod 1777 /tmp/.X11-unix
    chmod 700 /tmp/.wine-$(id -u)
    mount -t tmpfs -o size=256k tmpfs "$2"
    unset DISPLAY
    status=0
    DRIFTPANE_FULL_DISK="Z:$(printf %s "$2" | tr / "\\\\")" "$1/wine-run" \
        "$1/driftpane_win_tests.exe" --gtest_filter="FullDisk.*" || status=$?
    wineserver -w 2>/dev/null || true
    exit $status
' sh "$win_dir" "$disk"
