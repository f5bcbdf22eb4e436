#!/bin/sh
# Prints the folder of the Qt for Windows (MinGW-w64) the Windows build uses, unpacking it into the
# build cache first when needed. It comes from $TAVRIX_WINDOWS_QT: an unpacked Qt (a folder with
# bin/qt-cmake) or its archive, or a folder holding qt6.4.2-mingw64.tar.xz; by default the shared
# folder beside the project. Without one it says how to build it.
set -e
cd "$(dirname "$0")/.."
name=qt6.4.2-mingw64
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tavrix-editor
source=${TAVRIX_WINDOWS_QT:-../shared/windows}
if [ -x "$source/bin/qt-cmake" ]; then
    realpath "$source"
    exit 0
fi
[ -d "$source" ] && source="$source/$name.tar.xz"
if [ ! -f "$source" ]; then
    cat >&2 <<TEXT
No Qt for Windows found at $source.
Build one (Qt $name from Debian's source, about an hour on two cores):
    tools/build-windows-qt.sh $cache/$name
then run again with TAVRIX_WINDOWS_QT=$cache/$name, or set TAVRIX_WINDOWS_QT to an
unpacked Qt for MinGW-w64 or to its archive (README, "Windows").
TEXT
    exit 1
fi
# Unpacked again when the archive changes: a stamp keeps the archive's size and time.
stamp=$(stat -c '%s %Y' "$source")
if [ ! -x "$cache/$name/bin/qt-cmake" ] || [ "$(cat "$cache/$name.stamp" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$cache/$name" "$cache/$name.tmp"
    mkdir -p "$cache/$name.tmp"
    tar -xJf "$source" -C "$cache/$name.tmp"
    top=$(ls "$cache/$name.tmp")
    mv "$cache/$name.tmp/$top" "$cache/$name"
    rmdir "$cache/$name.tmp"
    echo "$stamp" >"$cache/$name.stamp"
fi
echo "$cache/$name"
