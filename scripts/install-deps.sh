#!/bin/sh
# Installs the Debian packages that building, testing and running need; quick when all are
# already there. Uses sudo when not run as root.
set -eu

native="cmake ninja-build g++ clang clang-format libclang-rt-14-dev \
googletest libgtest-dev libgmock-dev libbenchmark-dev \
g++-mingw-w64-i686-posix wine xvfb xauth xdotool imagemagick qt6-base-dev python3 parallel"
foreign="wine32:i386"

missing=""
for p in $native $foreign; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $p" ;;
    esac
done
[ -z "$missing" ] && exit 0

echo "installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
