#!/bin/sh
# The test suite of the Windows build under wine, offscreen: ctest runs each test program through
# wine64 (CMAKE_CROSSCOMPILING_EMULATOR). The display of the device tests is a null-modem pair of
# COM ports: two pseudo-terminals linked by socat, mapped to COM ports in the build's own prefix.
#   tools/test-windows.sh [BUILD_FOLDER] [ctest options]
set -e
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-windows}")
[ $# -gt 0 ] && shift
wine_build=$build
. tools/wine-env.sh
start_com_pairs 4 11
trap 'stop_com_pairs; "${wine%64}server" -k 2>/dev/null || true' EXIT
# A wine server started once serves every test program, instead of one started and stopped by each.
"${wine%64}server" -p 60 2>/dev/null || true
# The prefix's own start-up (services, device manager) done before the first test is timed.
"$wine" cmd /c exit >/dev/null 2>&1 || true
cd "$build"
# One test at a time: they share the prefix, whose registry holds the user profile on Windows.
ctest --output-on-failure -LE bench --timeout 120 "$@"
