#!/bin/sh
# Builds the Qt for Windows that `make windows` uses when none is given: Qt 6.4.2 (Core, Gui,
# Widgets, Network, Test, SerialPort; the windows, offscreen and minimal platforms) cross-built
# with Debian's MinGW-w64 from Debian's own sources of qt6-base and qt6-serialport, the version of
# the host Qt whose moc, rcc, uic and lrelease it uses. About an hour on two cores.
#   tools/build-windows-qt.sh PREFIX        then: TAVRIX_WINDOWS_QT=PREFIX make windows
# Needs deb-src lines for Debian's archive in the apt sources (apt-get source).
set -eu
prefix=$(realpath -m "${1:?usage: tools/build-windows-qt.sh PREFIX}")
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix cmake ninja-build \
    qt6-base-dev dpkg-dev
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq qt6-base qt6-serialport)
base=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
serial=$(find "$work" -maxdepth 1 -type d -name 'qt6-serialport-*' | head -n 1)
[ -n "$base" ] && [ -n "$serial" ] || { echo "no Qt sources unpacked in $work" >&2; exit 1; }

# The toolchain file goes into the prefix, where qt-cmake chains it (the folder may move later).
mkdir -p "$prefix/lib/cmake/Qt6"
toolchain="$prefix/lib/cmake/Qt6/mingw64.cmake"
cat >"$toolchain" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
# Qt 6.4.2's Windows platform plugin does not build without OpenGL unless this guard is added.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$base/src/plugins/platforms/windows/qwindowswindow.cpp"
host="-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake"
# shellcheck disable=SC2086
cmake -S "$base" -B "$work/base" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" $host -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
    -DCMAKE_BUILD_TYPE=Release -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_printsupport=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_openssl=OFF -DINPUT_openssl=no
cmake --build "$work/base" --parallel "$(nproc)"
cmake --install "$work/base"
# shellcheck disable=SC2086
cmake -S "$serial" -B "$work/serial" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_PREFIX_PATH="$prefix" $host -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
cmake --build "$work/serial" --parallel "$(nproc)"
cmake --install "$work/serial"
# The toolchain is found beside Qt's own, so the prefix may move.
sed -i "s|\"$toolchain\"|\"\${CMAKE_CURRENT_LIST_DIR}/mingw64.cmake\"|" \
    "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
echo "Qt for Windows in $prefix"
