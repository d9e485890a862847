#!/bin/bash
# make test: builds every tree and runs every suite, and says where the time went.
#
# A suite spends about half its time waiting on the engines, Wine and X, so each starts in
# the background as soon as its tree is built and runs while the next tree builds. The
# Windows suites, which run one case at a time (they share a Wine prefix), start first. Each
# suite's output goes to build/test-logs/SUITE.log and is shown whole when the suite fails.
# The exit code is 0 only when every suite passed.
set -u
cd "$(dirname "$0")/.."

make_goal() { make --no-print-directory STRICT=ON "$@"; }
logs=build/test-logs
rm -rf "$logs"
mkdir -p "$logs"

declare -A started outcome
failed=0
timings=""

now() { date +%s; }
note_time() { timings="$timings$(printf '%-24s %5d s' "$1" "$2")"$'\n'; }

# Runs a goal in the foreground, timed; a failed build stops the run, as nothing after it
# could be trusted.
build() {
    local name=$1
    shift
    local start
    start=$(now)
    echo "== building $name"
    if ! make_goal "$@"; then
        echo "make test: building $name failed" >&2
        exit 1
    fi
    note_time "build $name" $(($(now) - start))
}

# Starts a suite in the background: ctest over a tree, into its log.
start_suite() {
    local name=$1
    shift
    echo "== $name: started in the background (log: $logs/$name.log)"
    started[$name]=$(now)
    ("$@" >"$logs/$name.log" 2>&1; echo $? >"$logs/$name.status") &
}

# Runs a suite in the foreground, its output shown as it goes.
run_suite() {
    local name=$1
    shift
    local start
    start=$(now)
    echo "== $name"
    if "$@"; then
        outcome[$name]=passed
    else
        outcome[$name]=FAILED
        failed=1
    fi
    note_time "suite $name" $(($(now) - start))
}

# Waits for a background suite, then reports it: its summary, or its whole log on failure.
finish_suite() {
    local name=$1
    wait_for_file "$logs/$name.status"
    local status
    status=$(cat "$logs/$name.status")
    note_time "suite $name" $(($(stat -c %Y "$logs/$name.status") - started[$name]))
    if [ "$status" = 0 ]; then
        outcome[$name]=passed
        echo "== $name:"
        grep -E 'tests passed|Total Test time' "$logs/$name.log"
    else
        outcome[$name]=FAILED
        failed=1
        echo "== $name FAILED; its log:"
        cat "$logs/$name.log"
    fi
}

wait_for_file() {
    while [ ! -s "$1" ]; do
        wait -n 2>/dev/null || sleep 1
    done
}

total_start=$(now)

build win64 build-win64
start_suite win64 ctest --test-dir build/win64 --output-on-failure -j2

build linux build-linux
win32_runs=1
if why=$(scripts/wine32-runs.sh); then
    build win32 build-win32
    start_suite win32 ctest --test-dir build/win32 --output-on-failure -j2
else
    win32_runs=0
fi

start_suite native ctest --test-dir build/linux --output-on-failure -j2
build asan build-asan
start_suite asan env UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build/asan --output-on-failure -j2
build tsan build-tsan
# The last suite has the machine to itself but for the builds below, which no suite waits
# for: three cases at a time keep it busy while cases wait on their engines.
start_suite tsan env TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -j3
if [ $win32_runs = 0 ]; then
    build "win32 programs" build-win32-programs
    echo "make test: the 32-bit Windows suites (build/win32) were not run: $why"
fi
build fuzz build-fuzz
run_suite fuzz ctest --test-dir build/fuzz --output-on-failure -j2

for name in native asan tsan win64 win32; do
    [ -n "${started[$name]:-}" ] && finish_suite $name
done

echo
echo "== where the time went (each suite ran beside the builds after its own)"
printf '%s' "$timings"
printf '%-24s %5d s\n' "make test" $(($(now) - total_start))
for name in "${!outcome[@]}"; do
    printf '%-10s %s\n' "$name" "${outcome[$name]}"
done | sort
exit $failed
