#!/bin/sh
# The Windows program, cross-built with MinGW-w64 against the Qt for Windows (tools/windows-qt.sh),
# then its test programs; leaves BUILD/Tavrix Editor, the program's folder as the installer lays it
# out, runnable as it is.
#   tools/build-windows.sh [BUILD_FOLDER]      JOBS: parallel compiles
set -e
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-windows}")
jobs=${JOBS:-2}
qt=$(tools/windows-qt.sh)
if [ ! -f "$build/CMakeCache.txt" ]; then
    "$qt/bin/qt-cmake" -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQT_HOST_PATH=/usr >/dev/null
fi
# The program first: it is what the installer needs, and the tests run it.
cmake --build "$build" -j "$jobs" --target tavrix-editor
rm -rf "$build/Tavrix Editor"
cmake --install "$build" --prefix "$build/Tavrix Editor" --strip >/dev/null
cmake --build "$build" -j "$jobs"
echo "windows: $build/Tavrix Editor"
