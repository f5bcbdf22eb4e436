#!/bin/sh
# The Windows installer from the program's folder that tools/build-windows.sh leaves, then checked
# under wine in a prefix of its own: a silent install (/S) holds every file the program needs and
# registers .tvd for the user, the installed program answers --help, and a silent uninstall
# removes the program but keeps the user's settings and list of displays.
#   tools/package-windows.sh BUILD_FOLDER VERSION
set -e
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-windows}")
version=${2:?version}
stage="$build/Tavrix Editor"
setup="$build/tavrix-editor-$version-setup.exe"
max_bytes=$((25 * 1024 * 1024))
[ -x "$stage/Tavrix Editor.exe" ] || { echo "no program folder: make windows" >&2; exit 1; }

rm -f "$setup"
makensis -NOCONFIG -V2 -WX -DVERSION="$version" -DSOURCE="$PWD" -DSTAGE="$stage" \
    -DOUTFILE="$setup" app/tavrix-editor.nsi
size=$(stat -c %s "$setup")
echo "installer: $setup, $size bytes"
[ "$size" -le "$max_bytes" ] || { echo "installer over 25 MB" >&2; exit 1; }

export WINEPREFIX="$build/wine-install"
rm -rf "$WINEPREFIX"
wine_build=$build
. tools/wine-env.sh
trap '"${wine%64}server" -k 2>/dev/null || true' EXIT
fail() { echo "installer check: $*" >&2; exit 1; }
winpath() { "$wine" winepath -u "$1" 2>/dev/null; }

"$wine" "$setup" /S
"${wine%64}server" -w
appdata=$("$wine" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
dir=$(winpath "$appdata\\Programs\\Tavrix Editor")
[ -d "$dir" ] || fail "nothing installed in $appdata\\Programs\\Tavrix Editor"
for file in "Tavrix Editor.exe" tavrix-editor-cli.exe uninstall.exe qt.conf \
    Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll Qt6SerialPort.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll translations/qtbase_ru.qm; do
    [ -f "$dir/$file" ] || fail "missing $file"
done
for font in Fonts/*.brf; do
    [ -f "$dir/$font" ] || fail "missing $font"
done
"$wine" reg query 'HKCU\Software\Classes\.tvd' /ve 2>/dev/null | grep -q TavrixEditor.Document ||
    fail ".tvd not registered"
"$wine" "$dir/tavrix-editor-cli.exe" --help >"$build/installed-help.txt" 2>&1 ||
    fail "the installed program does not answer --help"
grep -q "send" "$build/installed-help.txt" || fail "--help printed no usage"

# The user's files survive an uninstall.
printf 'kept' >"$dir/Tavrix Editor.ini"
printf '[kept]\r\nport = COM1\r\n' >"$dir/displays.ini"
"$wine" "$dir/uninstall.exe" /S
"${wine%64}server" -w
# The uninstaller copies itself away and returns at once; its copy finishes the job.
tries=0
while [ -f "$dir/Tavrix Editor.exe" ] && [ "$tries" -lt 30 ]; do sleep 1; tries=$((tries + 1)); done
[ ! -f "$dir/Tavrix Editor.exe" ] || fail "uninstall left the program"
[ "$(cat "$dir/Tavrix Editor.ini")" = kept ] || fail "uninstall removed the settings file"
[ -f "$dir/displays.ini" ] || fail "uninstall removed the list of displays"
echo "installer check: passed (installed, --help answered, settings kept on uninstall)"
