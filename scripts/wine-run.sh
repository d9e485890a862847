#!/bin/sh
# Runs a Windows program under Wine in a private prefix, so tests never touch the user's
# ~/.wine and need no desktop.
#
# usage: wine-run.sh win32|win64 PREFIX PROGRAM [ARG...]
#
# win32 starts the 32-bit Wine (Debian's wine32) in a 32-bit prefix, for the shipped
# program; win64 starts the 64-bit Wine (wine64) in a 64-bit prefix, for its test twin on
# machines that run no 32-bit code. The prefix is made once, under a lock, because several
# tests may start at the same moment on a fresh build tree.
set -eu
arch=$1
prefix=$2
shift 2
case "$arch" in
win32) loader=/usr/lib/wine/wine ;;
win64) loader=/usr/lib/wine/wine64 ;;
*)
    echo "wine-run.sh: the first argument is win32 or win64, not '$arch'" >&2
    exit 2
    ;;
esac
export WINEPREFIX="$prefix"
export WINEARCH="$arch"
export WINELOADER="$loader"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install prompts: the programs need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        [ -f "$prefix/system.reg" ] || { "$loader" wineboot -i >/dev/null 2>&1 && wineserver -w; }
    ) 9>"$prefix.lock"
fi
exec "$loader" "$@"
