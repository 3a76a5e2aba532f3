#!/bin/sh
# Runs the Windows test program's full-disk tests against a 256 KiB tmpfs that exists only
# in a private mount namespace, reached by Wine as Z:\tmp\full-disk. Needs root (CI runs as
# root); without it the test is reported as skipped (exit code 77).
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

# Inside: a private /tmp hides outside wineservers and displays, so this run starts its
# own of both; the wineserver is waited for so the namespace ends with the test.
exec unshare --mount --propagation private sh -c '
    set -eu
    mount -t tmpfs -o size=16m tmpfs /tmp
    mkdir /tmp/full-disk
    mount -t tmpfs -o size=256k tmpfs /tmp/full-disk
    unset DISPLAY
    status=0
    DRIFTPANE_FULL_DISK="Z:\\tmp\\full-disk" "$1/wine-run" "$1/driftpane_win_tests.exe" \
        --gtest_filter="FullDisk.*" || status=$?
    wineserver -w 2>/dev/null || true
    exit $status
' sh "$win_dir"
