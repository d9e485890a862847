#!/bin/sh
# dotbot's strength, measured with fendrel-match: 200 games from the cross opening against
# the random engine and against the greedy engine, two games at a time, colours swapped
# every game. A few milliseconds a move come from the clock: a small increment that dotbot
# plans its time from, with time losses on. Override with environment variables, e.g.
#   GAMES=400 INCREMENT=20 make bench-strength
set -eu
build=${BUILD:-build/linux}
games=${GAMES:-200}
increment=${INCREMENT:-10}
concurrency=${CONCURRENCY:-2}
random_engine=${RANDOM_ENGINE:-$build/random_engine}
greedy_engine=${GREEDY_ENGINE:-$build/greedy_engine}

for program in "$build/fendrel-match" "$build/dotbot" "$random_engine" "$greedy_engine"; do
    if [ ! -x "$program" ]; then
        echo "bench-strength: $program is not built" >&2
        exit 1
    fi
done

for opponent in "random=$random_engine" "greedy=$greedy_engine"; do
    name=${opponent%%=*}
    echo "dotbot against $name: $games games, increment $increment ms"
    "$build/fendrel-match" \
        --engine name=dotbot cmd="$build/dotbot" arg=--threads arg=1 \
        --engine name="$name" cmd="${opponent#*=}" \
        --games "$games" --concurrency "$concurrency" --opening cross \
        --increment "$increment"
done
