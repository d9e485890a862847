#!/bin/sh
# Installs the Debian packages that building, testing and running need, and the Russian
# locale that Wine needs to show the program's Windows-1251 texts; quick when all are
# already there. Uses sudo when not run as root.
set -eu

native="cmake ninja-build g++ clang clang-format libclang-rt-14-dev \
googletest libgtest-dev libgmock-dev libbenchmark-dev \
g++-mingw-w64-i686-posix wine xvfb xauth xdotool imagemagick qt6-base-dev \
python3 locales parallel"
foreign="wine32:i386"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=""
for p in $native $foreign; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $p" ;;
    esac
done

if [ -n "$missing" ]; then
    echo "installing:$missing"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

# Wine takes its code page from the locale: with LANG=ru_RU.UTF-8 it shows Windows-1251,
# but only where the system has that locale.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
    echo "generating the locale ru_RU.UTF-8"
    $sudo localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
