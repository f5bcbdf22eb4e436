#!/bin/sh
# Checks a built Debian package: the files an installed program needs, no file beside the
# executable that would make the installed copy portable, dependencies on the Qt 6 libraries, a
# desktop entry and AppStream metadata that validate, and the program's licence named in the
# copyright file and the AppStream metadata.
#   tools/check-package.sh build/tavrix-editor_1.0_amd64.deb
set -e
deb="$1"
[ -f "$deb" ] || { echo "no package: $deb" >&2; exit 1; }
failed=0
fail() { echo "package check: $*" >&2; failed=1; }

list=$(dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|')
for f in /usr/bin/tavrix-editor \
         /usr/share/applications/tavrix-editor.desktop \
         /usr/share/mime/packages/tavrix-editor-mime.xml \
         /usr/share/metainfo/tavrix-editor.metainfo.xml \
         /usr/share/doc/tavrix-editor/copyright \
         /usr/lib/systemd/system/tavrix-editor-agent@.service \
         /usr/libexec/tavrix-editor/tavrix-editor-agent; do
    echo "$list" | grep -qx "$f" || fail "missing $f"
done
for font in Arial Bold Decor Dos Elegant Italic Super Thin Times; do
    echo "$list" | grep -qx "/usr/share/tavrix-editor/Fonts/$font.brf" || fail "missing font $font"
done
for size in 16 24 32 48 64 128 256; do
    echo "$list" | grep -qx "/usr/share/icons/hicolor/${size}x$size/apps/tavrix-editor.png" ||
        fail "missing icon ${size}x$size"
done
beside=$(echo "$list" | grep '^/usr/bin/.' | grep -vx /usr/bin/tavrix-editor || true)
[ -z "$beside" ] || fail "unexpected beside the executable: $beside"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libmosquitto1 \
    qt6-translations-l10n; do
    echo "$depends" | grep -q "\b$lib\b" || fail "no dependency on $lib (Depends: $depends)"
done
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
file -b "$root/usr/bin/tavrix-editor" | grep -q '^ELF.*executable' || fail "executable is not ELF"
unit="$root/usr/lib/systemd/system/tavrix-editor-agent@.service"
grep -qx 'ExecStart=/usr/bin/tavrix-editor agent --site %i $OPTIONS' "$unit" &&
    grep -qx 'EnvironmentFile=/etc/tavrix-editor/agent-%i.conf' "$unit" || fail "agent unit"
desktop-file-validate "$root/usr/share/applications/tavrix-editor.desktop" || fail "desktop entry"
# The program has no web domain to build a reverse-domain identifier from; its identifier is the
# name of its desktop entry.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
    "$root/usr/share/metainfo/tavrix-editor.metainfo.xml" || fail "AppStream metadata"
# The copyright file in Debian's machine-readable form, whose GPL-3+ points at the licence text the
# system keeps.
copyright="$root/usr/share/doc/tavrix-editor/copyright"
head -n 1 "$copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright file not machine-readable"
grep -qx 'License: GPL-3+' "$copyright" && grep -q '/usr/share/common-licenses/GPL-3"' "$copyright" ||
    fail "copyright file names no GPL-3+ licence kept in /usr/share/common-licenses"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
    "$root/usr/share/metainfo/tavrix-editor.metainfo.xml" || fail "AppStream project licence"
[ "$failed" -eq 0 ] && echo "package check: $deb is complete"
exit "$failed"
