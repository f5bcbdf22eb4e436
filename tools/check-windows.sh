#!/bin/sh
# Compiles every product source for Windows, syntax only, so that the Windows branches cannot rot
# unseen. No Qt for Windows can be installed here, but Debian's mingw-w64 compiler reads the
# installed Qt headers, and they take Q_OS_WIN from the compiler's own _WIN32. Each source gets the
# definitions and include folders of the real build, from a CMake configure of its own. Any error
# fails; warnings are shown.
#   tools/check-windows.sh [BUILD_FOLDER]      WINDOWS_CXX: the compiler, JOBS: parallel runs
set -e
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-windows-check}")
cxx=${WINDOWS_CXX:-x86_64-w64-mingw32-g++-posix}
jobs=${JOBS:-2}
out="$build/windows-syntax"

cmake -S . -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake -DBUILD_DIR="$build" -DSOURCE_DIR="$PWD" -DOUT_DIR="$out" -P tools/windows-sources.cmake

# Without Q_OS_WIN every source would compile its POSIX half and pass for the wrong reason.
set -- "$out"/*.rsp
grep -v '\.cpp"$' "$1" >"$out/probe.opts"
printf '#include <QtGlobal>\n#ifndef Q_OS_WIN\n#error "Q_OS_WIN is not in force"\n#endif\n' \
    >"$out/probe.cpp"
"$cxx" -fsyntax-only @"$out/probe.opts" "$out/probe.cpp"

# One log per source; a failure leaves a .failed mark beside it.
find "$out" -name '*.rsp' -print0 | xargs -0 -n 1 -P "$jobs" sh -c \
    '"$0" -fsyntax-only @"$1" >"$1.log" 2>&1 || touch "$1.failed"' "$cxx"

failed=0
for rsp in "$out"/*.rsp; do
    if [ -e "$rsp.failed" ]; then
        failed=$((failed + 1))
        echo "FAILED: $(tail -n 1 "$rsp" | tr -d '"')"
    fi
    cat "$rsp.log"
done
echo "windows syntax: $# sources, $failed failed"
[ "$failed" -eq 0 ]
