#!/bin/sh
# ctest driver of the download tests: sets up the private archive host (download_env.sh),
# runs the Windows test program's download tests inside its namespace, then the short test
# of tools/fetch_originals.py against the same server.
# Usage: tests/download_tests.sh WINDOWS_BUILD_DIR GTEST_FILTER [--with-tool]
# DRIFTPANE_LONG_TESTS=1 adds the tool's case that waits out its 60-second deadline.
# Exit 77 (skipped) without root.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(dirname "$here")"
win="$(cd "$1" && pwd)"
filter="$2"
. "$here/download_env.sh"

trap download_env_stop EXIT INT TERM
status=0
download_env_start "$win/download-test-$$" "$source_dir" "$win/wineprefix-download" ||
    status=$?
[ $status -eq 0 ] || exit $status

download_env_exec env DRIFTPANE_DOWNLOAD_TEST_DIR="$dl_dir" \
    "$win/wine-run" "$win/driftpane_win_tests.exe" --gtest_filter="$filter" || status=$?
if [ "${3:-}" = "--with-tool" ]; then
    download_env_exec env DRIFTPANE_DOWNLOAD_TEST_DIR="$dl_dir" \
        "$source_dir/tests/fetch_originals_test.py" || status=$?
fi
[ $status -ne 0 ] || rm -rf "$dl_dir"
exit $status
