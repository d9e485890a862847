#!/bin/sh
# Runs a Windows program under Wine in a private prefix (first argument), so tests never
# touch the user's ~/.wine and need no desktop. The prefix is made once, under a lock,
# because several tests may start at the same moment on a fresh build tree.
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install prompts: the programs need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        [ -f "$prefix/system.reg" ] || { wineboot -i >/dev/null 2>&1 && wineserver -w; }
    ) 9>"$prefix.lock"
fi
exec wine "$@"
