#!/bin/sh
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -e
packages="cmake g++ make qt6-base-dev qt6-serialport-dev qt6-translations-l10n qt6-l10n-tools clang-format fonts-dejavu-core"
# The Debian package: its library dependencies, its check and the validation of its metadata.
packages="$packages dpkg-dev file desktop-file-utils appstream"
# Displays behind serial device servers: a server on loopback for the tests, socat for probes by
# hand.
packages="$packages ser2net socat"
# The site agent and publisher: libmosquitto's C API to build against; a broker, its password tool
# and the command-line clients, and openssl for certificates, for the tests.
packages="$packages libmosquitto-dev mosquitto mosquitto-clients openssl"
# The fuzz targets: clang with libFuzzer and the sanitizer runtimes.
packages="$packages clang libclang-rt-14-dev"
# Sets named on the command line. windows: the mingw-w64 compiler (make windows), wine to run the
# tests and the installer (make test-windows, make package-windows) and makensis.
for set in "$@"; do
    case "$set" in
    windows) packages="$packages g++-mingw-w64-x86-64-posix wine64 nsis" ;;
    *) echo "install-deps.sh: no package set named $set" >&2; exit 2 ;;
    esac
done
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends $missing
