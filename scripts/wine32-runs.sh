#!/bin/sh
# Exits 0 when this machine can start the 32-bit Wine that the shipped program's tests
# need; otherwise prints why not and exits 1. It tries the start, since a 64-bit kernel
# may have its 32-bit emulation switched off.
loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
    echo "no 32-bit Wine is installed ($loader; Debian's wine32:i386, which make deps installs only where 32-bit code runs)"
    exit 1
fi
if ! error=$("$loader" --version 2>&1 >/dev/null); then
    echo "the 32-bit Wine cannot start here (${error:-no reason given}); this machine runs no 32-bit code"
    exit 1
fi
exit 0
