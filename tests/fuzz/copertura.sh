#!/usr/bin/env bash
# How much of the reader and the compaction the fuzz corpus reaches: builds
# the fuzz target with source coverage, replays the corpus once (no fuzzing)
# and prints llvm-cov's summary for the units it exercises.
#   tests/fuzz/copertura.sh [CARTELLA_CORPUS...]   (default: the saved seeds and build/fuzz/corpus)
set -euo pipefail
cd "$(dirname "$0")/../.."
corpora=("$@")
if ((${#corpora[@]} == 0)); then
  corpora=(tests/fuzz/semi)
  [ -d build/fuzz/corpus ] && corpora+=(build/fuzz/corpus)
fi

build=build/copertura
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DCOMPATTATORE_FUZZ=ON -DCOMPATTATORE_PROVE=OFF -DCOMPATTATORE_WINDOWS=OFF \
  -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping -fsanitize=fuzzer-no-link" \
  -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" >/dev/null
cmake --build "$build" --target compattazione_fuzz -j2 >/dev/null

rm -f "$build"/*.profraw
LLVM_PROFILE_FILE="$build/corpus.profraw" \
  "$build/compattazione_fuzz" -runs=0 "${corpora[@]}" >/dev/null 2>&1
llvm-profdata-14 merge -sparse "$build/corpus.profraw" -o "$build/corpus.profdata"
llvm-cov-14 report "$build/compattazione_fuzz" -instr-profile="$build/corpus.profdata" \
  sources/ model/ output/
