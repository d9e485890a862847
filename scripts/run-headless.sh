#!/bin/bash
# One game of dotbot against itself without a display: the Engine1.exe and Engine2.exe of
# RUN_DIR play it through fendrel-match, while fendrel-board shows its progress from the
# engine log; then the final board as text, the score and the winner, and the board
# picture in RUN_DIR/final.png.
#
# usage: run-headless.sh BUILD_DIR RUN_DIR [ENGINE_ARG...]
# ENGINE_ARG are given to both engines (default: --movetime 40, about a minute a game).
set -euo pipefail

build=$(realpath "$1")
run=$(realpath "$2")
shift 2
engine_args=("$@")
[ ${#engine_args[@]} -gt 0 ] || engine_args=(--movetime 40)

# Each engine's arguments as fendrel-match's arg= words.
args=()
for a in "${engine_args[@]}"; do args+=("arg=$a"); done

cd "$run"
rm -rf logs game.jsonl game.sgf match.txt match.err final.png
echo "No display: dotbot (${engine_args[*]}) plays both sides through fendrel-match."
# fendrel-match's own messages would break into the progress line: they are kept in
# match.err and shown only when it fails.
if ! "$build/fendrel-match" \
    --engine name=Engine1.exe cmd="$run/Engine1.exe" "${args[@]}" \
    --engine name=Engine2.exe cmd="$run/Engine2.exe" "${args[@]}" \
    --games 1 --concurrency 1 --opening empty \
    --results "$run/game.jsonl" --sgf "$run/game.sgf" --logs "$run/logs" 2>"$run/match.err" |
    tee "$run/match.txt" | "$build/fendrel-board" follow "$run/logs/game-0/log.txt"; then
    cat "$run/match.err" >&2
    exit 1
fi
"$build/fendrel-board" show "$run/game.jsonl" "$run/final.png"
