#!/usr/bin/env bash
# Fuzzes the whole compaction for SECONDI seconds (default 60) with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, starting from the saved
# seeds (the built-in scenario, the tests' small one). Inputs that break an invariant are copied
# into tests/fuzz/regressioni/, which the test suite replays.
#   tests/fuzz/esegui.sh [SECONDI] [PROCESSI]
set -euo pipefail
cd "$(dirname "$0")/../.."
secondi=${1:-60}
processi=${2:-1}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

corpus=build/fuzz/corpus
mkdir -p "$corpus" tests/fuzz/regressioni

# One process reports on the terminal; several write fuzz-N.log each.
parallelo=()
if ((processi > 1)); then parallelo=(-jobs="$processi" -workers="$processi"); fi

stato=0
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  build/fuzz/compattazione_fuzz -max_total_time="$secondi" "${parallelo[@]}" \
  -dict=tests/fuzz/parole.dict -artifact_prefix=build/fuzz/ -print_final_stats=1 \
  "$corpus" tests/fuzz/semi || stato=$?

for f in build/fuzz/crash-* build/fuzz/leak-* build/fuzz/timeout-* build/fuzz/oom-*; do
  [ -e "$f" ] || continue
  cp "$f" tests/fuzz/regressioni/
  echo "da conservare: tests/fuzz/regressioni/$(basename "$f")"
done
exit "$stato"
