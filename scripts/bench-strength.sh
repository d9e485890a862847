#!/bin/sh
# dotbot's strength, measured with fendrel-match under both rule sets: 200 games from the
# cross opening against the random engine and against the greedy engine, and under the
# standard rules also against dotbot as it was before it knew them (it plays ours whatever
# the rules), all at equal time: two games at a time, colours swapped every game, one
# search thread, a few milliseconds a move from the clock (a small increment that dotbot
# plans its time from, with time losses on). The summary at the end has one line a match;
# each match's games are kept in build/bench-strength/RULES-OPPONENT.jsonl, for
# fendrel-board show and fendrel-view.
#
# The earlier dotbot is built once from BASELINE_REV into build/dotbot-baseline/, or taken
# from BASELINE_DOTBOT. Override with environment variables, e.g.
#   GAMES=400 INCREMENT=20 RULES=standard BOARD=20x20 make bench-strength
set -eu
build=${BUILD:-build/linux}
games=${GAMES:-200}
increment=${INCREMENT:-10}
concurrency=${CONCURRENCY:-2}
board=${BOARD:-39x32}
rule_sets=${RULES:-"fendrel standard"}
random_engine=${RANDOM_ENGINE:-$build/random_engine}
greedy_engine=${GREEDY_ENGINE:-$build/greedy_engine}
# The last revision of main whose dotbot plays only our rules.
baseline_rev=${BASELINE_REV:-4cff40ba22909a30d4b5679098bcb221ac88626d}
baseline_tree=build/dotbot-baseline
baseline=${BASELINE_DOTBOT:-$baseline_tree/build/dotbot}
results=build/bench-strength

for program in "$build/fendrel-match" "$build/dotbot" "$random_engine" "$greedy_engine"; do
    if [ ! -x "$program" ]; then
        echo "bench-strength: $program is not built" >&2
        exit 1
    fi
done

case " $rule_sets " in
*" standard"*)
    if [ ! -x "$baseline" ]; then
        echo "bench-strength: building the earlier dotbot from $baseline_rev in $baseline_tree"
        rm -rf "$baseline_tree/src"
        mkdir -p "$baseline_tree/src"
        git archive "$baseline_rev" | tar -x -C "$baseline_tree/src"
        launcher=
        if command -v ccache >/dev/null 2>&1; then
            launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
        fi
        cmake -S "$baseline_tree/src" -B "$baseline_tree/build" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher >"$baseline_tree/configure.log"
        cmake --build "$baseline_tree/build" -j2 --target dotbot >"$baseline_tree/build.log"
    fi
    ;;
esac

mkdir -p "$results"
summary=$(mktemp)
trap 'rm -f "$summary" "$summary.match"' EXIT

# One match of dotbot against the engine NAME, started as the rest of the arguments.
match() {
    name=$1
    shift
    echo "dotbot against $name under $rules on $board: $games games, increment $increment ms"
    # A results file left from an earlier run would be resumed: each run plays anew.
    rm -f "$results/$rules-$name.jsonl"
    "$build/fendrel-match" \
        --engine name=dotbot cmd="$build/dotbot" arg=--threads arg=1 \
        --engine name="$name" "$@" \
        --games "$games" --concurrency "$concurrency" --opening cross \
        --increment "$increment" --rules "$rules" --board "$board" \
        --results "$results/$rules-$name.jsonl" | tee "$summary.match"
    score=$(grep '^Score of' "$summary.match")
    elo=$(grep '^Elo difference' "$summary.match")
    echo "$rules, against $name: ${score#Score of dotbot vs $name: }; ${elo#Elo difference: }" \
        >>"$summary"
}

for rules in $rule_sets; do
    match random cmd="$random_engine"
    match greedy cmd="$greedy_engine"
    case "$rules" in
    standard*) match dotbot-before cmd="$baseline" arg=--threads arg=1 ;;
    esac
done
echo
echo "dotbot on $board, $games games a match, increment $increment ms (wins - losses - draws):"
cat "$summary"
