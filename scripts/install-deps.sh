#!/bin/sh
# Installs the Debian packages that a goal needs; quick when all are already there. Uses
# sudo when not run as root.
#
#   install-deps.sh native   what the Linux programs need to build and run (make run)
#   install-deps.sh all      that, and what every test needs: both MinGW compilers, Wine,
#                            Xvfb and the screen tools, clang for the fuzz targets
#
# The mirror can be half broken (an index served with the wrong size while it syncs): a
# failed index is a warning, an install that cannot be resolved is tried again with the
# release's own versions, and what still cannot be had is named with what it is for.
set -u

goal=${1:-all}

# Each line: a package and what it is needed for.
native_packages="
cmake                 building
ninja-build           building
g++                   building
qt6-base-dev          the Linux window
nlohmann-json3-dev    the match runner's records
googletest            the unit tests, built in every tree
libgtest-dev          the unit tests, built in every tree
libgmock-dev          the unit tests, built in every tree
libbenchmark-dev      the benchmarks
"
test_packages="
clang                      the fuzz targets
libclang-rt-14-dev         the fuzz targets
clang-format               make format
g++-mingw-w64-i686-posix   the shipped 32-bit Windows program
g++-mingw-w64-x86-64-posix the 64-bit Windows test build
wine                       the Windows tests
wine64                     the Windows tests
xvfb                       the window tests (a private display)
xauth                      the window tests (a private display)
xdotool                    the window tests (clicks and keys)
imagemagick                the window tests (screenshots)
python3                    the window tests
locales                    Wine's Russian texts
parallel                   the match runner's example of many hosts
"
# Only where the machine runs 32-bit code: the shipped program's own tests.
i386_packages="
wine32:i386                the 32-bit Windows tests
"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

packages_of() { printf '%s\n' "$1" | awk 'NF { print $1 }'; }
purpose_of() { printf '%s\n' "$2" | awk -v p="$1" '$1 == p { $1 = ""; sub(/^ /, ""); print }'; }
installed() {
    case "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" in
    *"install ok installed"*) return 0 ;;
    *) return 1 ;;
    esac
}

# Whether this kernel runs 32-bit x86 code: a 93-byte i386 program that only exits is
# started, rather than guessed from the machine's name (32-bit emulation can be off).
runs_32_bit() {
    probe=$(mktemp)
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
    printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
    printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
    printf '\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000' >>"$probe"
    printf '\000\020\000\000\270\001\000\000\000\061\333\315\200' >>"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    status=$?
    rm -f "$probe"
    return $status
}

table="$native_packages"
[ "$goal" = native ] || table="$table$test_packages"
with_i386=no
if [ "$goal" != native ] && runs_32_bit; then
    with_i386=yes
    table="$table$i386_packages"
fi

missing=""
for p in $(packages_of "$table"); do
    installed "$p" || missing="$missing $p"
done

if [ -n "$missing" ]; then
    echo "installing:$missing"
    if [ $with_i386 = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    if ! $sudo apt-get update -qq; then
        echo "install-deps: warning: some package indexes could not be read; going on with what there is" >&2
    fi
    apt_install() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"; }
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    # shellcheck disable=SC2086
    if ! apt_install $missing; then
        echo "install-deps: warning: the install could not be resolved; trying the release's own versions (-t $release)" >&2
        # shellcheck disable=SC2086
        if ! apt_install -t "$release" $missing; then
            # One package that cannot be had stops the whole install: get the others.
            echo "install-deps: warning: trying the packages one by one" >&2
            for p in $missing; do
                installed "$p" || apt_install "$p" || apt_install -t "$release" "$p" || true
            done
        fi
    fi
    lacking=""
    for p in $missing; do
        installed "$p" || lacking="$lacking$(printf '\n  %s (for %s)' "$p" "$(purpose_of "$p" "$table")")"
    done
    if [ -n "$lacking" ]; then
        echo "install-deps: error: these packages could not be installed:$lacking" >&2
        exit 1
    fi
fi

# Wine takes its code page from the locale: with LANG=ru_RU.UTF-8 it shows Windows-1251,
# but only where the system has that locale.
if [ "$goal" != native ] && ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
    echo "generating the locale ru_RU.UTF-8"
    $sudo localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || {
        echo "install-deps: error: the locale ru_RU.UTF-8 (for Wine's Russian texts) could not be made" >&2
        exit 1
    }
fi
