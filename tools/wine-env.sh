# Sourced by the Windows scripts: a wine prefix of the build's own and its COM ports.
#   wine_build=BUILD_FOLDER; . tools/wine-env.sh
wine=${TAVRIX_WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
export WINEPREFIX=${WINEPREFIX:-${wine_build:?}/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No desktop integration: the prefix stays inside the build folder.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    "${wine%64}server" -w 2>/dev/null || wineserver -w 2>/dev/null || true
fi

# Maps COMn of the prefix to a device: wine opens COMn as dosdevices/comN.
map_com() {
    ln -sfn "$2" "$WINEPREFIX/dosdevices/$(echo "$1" | tr 'A-Z' 'a-z')"
}

# Starts COUNT null-modem pairs of COM ports from FIRST on (COM11:COM12,COM13:COM14, …): two
# pseudo-terminals linked by socat per pair. Sets TAVRIX_TEST_COM_PAIRS and com_pair_pids.
start_com_pairs() {
    count=$1 first=$2 pairs="" com_pair_pids=""
    links=$(mktemp -d)
    i=0
    while [ "$i" -lt "$count" ]; do
        near=$((first + 2 * i)) far=$((first + 2 * i + 1))
        socat pty,raw,echo=0,link="$links/$near" pty,raw,echo=0,link="$links/$far" &
        com_pair_pids="$com_pair_pids $!"
        pairs="$pairs${pairs:+,}COM$near:COM$far"
        i=$((i + 1))
    done
    for link in $(echo "$pairs" | tr ',:' '  '); do
        n=${link#COM}
        tries=0
        while [ ! -e "$links/$n" ] && [ "$tries" -lt 50 ]; do sleep 0.1; tries=$((tries + 1)); done
        map_com "$link" "$(readlink -f "$links/$n")"
    done
    export TAVRIX_TEST_COM_PAIRS=$pairs
}

stop_com_pairs() {
    for pid in $com_pair_pids; do kill "$pid" 2>/dev/null || true; done
    com_pair_pids=""
}
